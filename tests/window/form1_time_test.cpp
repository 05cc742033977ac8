// Time on the workbench (pause, single pass, single tick, speed) and the cap
// on nested "ON", driven through the window as a user drives them.
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/counting_form.h"
#include "tests/window/dialogs.h"
#include "tests/window/test_form.h"

namespace {

// tick_count runs 0..19 and starts again, so ticks are counted modulo 20.
int ticks_since(u8 before) { return (tick_count + 20 - before) % 20; }

bool status_shows(const TestForm& form, const QString& text) {
    for (const QLabel* label : form.StatusBar1->findChildren<QLabel*>())
        if (label->text() == text) return true;
    return false;
}

}  // namespace

class Form1TimeTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        form = new CountingForm;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTimer::singleShot(20000, form, [] {
            if (instrument_running_depth() > 0) request_power_off();
        });
    }
    void cleanup() {
        delete form;
        QCOMPARE(instrument_running_depth(), 0);
    }

    // 5,000 clicks on "ON", each from a timer of its own as a user's clicks
    // come: eight power-ons nest, the rest are ignored with a word in the
    // status bar, and one "OFF" ends them all.
    void on_nests_only_to_its_cap() {
        int clicks = 0;
        int deepest = 0;
        QString message;
        std::function<void()> click = [&] {
            if (++clicks == 5000) {
                deepest = instrument_running_depth();
                message = form->StatusBar1->currentMessage();
                form->Button2->click();
                return;
            }
            QTimer::singleShot(0, form, click);
            form->Button1->click();
        };
        click();
        QCOMPARE(deepest, MAX_POWER_ON_DEPTH);
        QVERIFY2(message.contains(QStringLiteral("\"ON\" ignored")), qPrintable(message));
        QCOMPARE(form->passes, 0);  // "OFF" during the splashes: none came up
    }

    // Paused, neither passes nor the tick run; a click still waits as the one
    // pending key; single pass runs exactly one pass, single tick one tick.
    void pause_single_pass_single_tick() {
        int paused_passes = -1;
        int ticks_while_paused = 0;
        int stepped_passes = -1;
        int ticks_after_resume = 0;  // on, the pace of the passes gives the tick
        KeyCode key_while_paused = KeyNone;
        bool status_paused = false;
        std::function<void()> watch = [&] {
            if (form->passes < 5) {
                QTimer::singleShot(5, form, watch);
                return;
            }
            form->set_paused(true);
            status_paused = status_shows(*form, QStringLiteral("Paused (1x)"));
            const int passes = form->passes;
            const u8 ticks = tick_count;
            form->Image5Click();
            QTimer::singleShot(400, form, [&, passes, ticks] {
                paused_passes = form->passes - passes;
                key_while_paused = pending_key;
                form->single_tick();
                ticks_while_paused = ticks_since(ticks);
                form->single_pass();
                QTimer::singleShot(200, form, [&, passes] {
                    stepped_passes = form->passes - passes;
                    form->set_paused(false);
                    const u8 resumed_at = tick_count;
                    QTimer::singleShot(350, form, [&, resumed_at] {
                        ticks_after_resume = ticks_since(resumed_at);
                        form->Button2->click();
                    });
                });
            });
        };
        // Within the alarm limits, so the key is not taken as an acknowledgement.
        form->TrackBar1->setValue(300);
        form->TrackBar2->setValue(300);
        QTimer::singleShot(0, form, watch);
        form->Button1->click();
        QVERIFY(status_paused);
        QCOMPARE(paused_passes, 0);
        QCOMPARE(key_while_paused, KeyCentre);
        QCOMPARE(ticks_while_paused, 1);
        QCOMPARE(stepped_passes, 1);
        QVERIFY(ticks_after_resume >= 1);
        QVERIFY(current_page == page_main_menu);  // the single pass took the key
        QVERIFY(status_shows(*form, QStringLiteral("1x")));
    }

    // Unpaused, the steps do nothing; a speed chosen while paused leaves the
    // tick stopped until the instrument resumes.
    void steps_only_while_paused() {
        const u8 ticks = tick_count;
        form->single_tick();
        QCOMPARE(ticks_since(ticks), 0);
        QVERIFY(trigger(form->ContextMenu, QStringLiteral("Pause")));
        QVERIFY(trigger(form->ContextMenu, QStringLiteral("4x")));
        form->set_paused(true);
        QVERIFY(!form->Timer1->isActive());
        QVERIFY(status_shows(*form, QStringLiteral("Paused (4x)")));
        QVERIFY(trigger(form->ContextMenu, QStringLiteral("Single tick")));
        QCOMPARE(ticks_since(ticks), 1);
        QVERIFY(trigger(form->ContextMenu, QStringLiteral("Resume")));
        QCOMPARE(form->Timer1->interval(), TICK_MS / 4);
        QVERIFY(form->Timer1->isActive());
    }

    // 4x runs the splash in a quarter of its time at 1x. The bounds leave room
    // for a loaded machine, which stretches every frame by about as much.
    void speed_scales_the_splash() {
        QVERIFY(!form->set_speed(3));
        const qint64 at_1x = splash_ms();
        QVERIFY(form->set_speed(4));
        QVERIFY(status_shows(*form, QStringLiteral("4x")));
        const qint64 at_4x = splash_ms();
        qInfo("splash: %lld ms at 1x, %lld ms at 4x", at_1x, at_4x);
        QVERIFY(at_4x >= SPLASH_FRAMES * PASS_PERIOD_MS / 4 * 8 / 10);
        QVERIFY2(at_4x * 5 <= at_1x * 2, qPrintable(QString::number(at_4x)));
    }

private:
    // From "ON" to the first pass of the main loop.
    qint64 splash_ms() {
        QElapsedTimer clock;
        qint64 took = -1;
        const int before = form->passes;
        std::function<void()> watch = [&] {
            if (form->passes == before) {
                QTimer::singleShot(1, form, watch);
                return;
            }
            took = clock.elapsed();
            form->Button2->click();
        };
        QTimer::singleShot(0, form, watch);
        clock.start();
        form->Button1->click();
        return took;
    }

    CountingForm* form = nullptr;
};

QTEST_MAIN(Form1TimeTest)
#include "form1_time_test.moc"
