// "ON", the paced main loop, "OFF" and closing the window, driven the way a
// user drives them: clicks arrive from timers while the instrument runs
// inside the "ON" click.
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "app/window/controls.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/test_form.h"
#include "workbench/scenario/scenario.h"

namespace {

// The window, counting the passes of the main loop: each one hides the LCD
// picture once (the splash frames do not).
class CountingForm : public TestForm {
public:
    void hide_lcd_picture() override {
        ++passes;
        drawing = current_page;
        TForm1::hide_lcd_picture();
    }
    void show_lcd_picture() override {
        TForm1::show_lcd_picture();
        if (drawing == page_main_menu && menu_shown_at < 0) menu_shown_at = clock.nsecsElapsed();
    }
    u32 passes = 0;
    PageHandler drawing = nullptr;
    QElapsedTimer clock;
    qint64 menu_shown_at = -1;  // ns on clock when a pass first showed the main menu
};

}  // namespace

class Form1PowerTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        form = new CountingForm;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void cleanup() {
        delete form;
        QCOMPARE(instrument_running_depth(), 0);
    }

    void on_slider_off() {
        QElapsedTimer clock;
        qint64 main_loop_began = -1;
        u32 passes_at_start = 0;
        int depth_while_on = -1;
        QString echo;
        u32 input_seen = 0;
        qint64 off_at = 0;

        clock.start();
        // The splash is 80 frames; then the main loop's passes begin. Watch
        // for the first in small steps.
        const u32 passes_before = form->passes;
        std::function<void()> watch = [&] {
            if (form->passes == passes_before) {
                QTimer::singleShot(5, form, watch);
                return;
            }
            main_loop_began = clock.elapsed();
            passes_at_start = form->passes;
            QTimer::singleShot(500, form, [&] {
                depth_while_on = instrument_running_depth();
                const u32 ran = form->passes - passes_at_start;
                // Paced, not spinning: at most one pass per period.
                QVERIFY2(ran <= 500 / PASS_PERIOD_MS + 2, qPrintable(QString::number(ran)));
                QVERIFY(ran >= 3);
                form->TrackBar1->setValue(2000);
                echo = form->Label13->text();
                input_seen = input_a;
                off_at = clock.elapsed();
                QTest::mouseClick(form->Button2, Qt::LeftButton);
            });
        };
        QTimer::singleShot(0, form, watch);
        arm_safety_off();

        QTest::mouseClick(form->Button1, Qt::LeftButton);

        QCOMPARE(instrument_running_depth(), 0);
        QCOMPARE(depth_while_on, 1);
        QCOMPARE(echo, QStringLiteral("2000"));
        QCOMPARE(input_seen, 2000u);
        // 80 splash frames of at least one pass period each.
        QVERIFY2(main_loop_began >= SPLASH_FRAMES * PASS_PERIOD_MS - 20,
                 qPrintable(QString::number(main_loop_began)));
        // "OFF" ends the loop after the pass under way.
        QVERIFY(clock.elapsed() - off_at < 1000);
        QCOMPARE(power_off_requested, 1);
        // The picture keeps the last frame after "OFF".
        QVERIFY(form->Image1->drawn());
    }

    // A second "ON" while on powers up again inside the running loop; one
    // "OFF" then ends both loops. Both clicks wait for a main loop to run.
    void on_while_on_nests() {
        int deepest = 0;
        u32 mark = form->passes;
        bool nested_clicked = false;
        std::function<void()> watch = [&] {
            deepest = std::max(deepest, instrument_running_depth());
            const bool main_loop_running = form->passes > mark;
            if (!nested_clicked && main_loop_running) {
                nested_clicked = true;
                QTimer::singleShot(0, form, [&] {
                    mark = form->passes;
                    QTest::mouseClick(form->Button1, Qt::LeftButton);
                });
            } else if (nested_clicked && deepest == 2 && main_loop_running) {
                QTest::mouseClick(form->Button2, Qt::LeftButton);
                return;
            }
            QTimer::singleShot(20, form, watch);
        };
        QTimer::singleShot(0, form, watch);
        arm_safety_off();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(deepest, 2);
        QCOMPARE(instrument_running_depth(), 0);
    }

    // "ON" clicked again while the first one's splash runs, as a double click
    // does, and "OFF" once the inner one runs: both end at once and no frame
    // is drawn after it. The status bar tells the depth meanwhile.
    void one_off_ends_every_nested_on() {
        QLabel* field = nullptr;
        for (QLabel* label : form->StatusBar1->findChildren<QLabel*>())
            if (label->text() == QStringLiteral("Off")) field = label;
        QVERIFY(field != nullptr);
        QStringList states;
        std::string frame_at_off;
        u32 serial_at_off = 0;
        QTimer::singleShot(60, form, [&] { QTest::mouseClick(form->Button1, Qt::LeftButton); });
        std::function<void()> watch = [&] {
            if (instrument_running_depth() < 2 || form->passes < 10) {
                QTimer::singleShot(10, form, watch);
                return;
            }
            states << field->text();
            form->set_paused(true);
            states << field->text();
            form->set_paused(false);
            frame_at_off = frame_as_text();
            serial_at_off = lcd_picture_serial();
            QTest::mouseClick(form->Button2, Qt::LeftButton);
        };
        QTimer::singleShot(0, form, watch);
        arm_safety_off();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(instrument_running_depth(), 0);
        QCOMPARE(states, QStringList({QStringLiteral("On (2 deep)"), QStringLiteral("Paused")}));
        QCOMPARE(field->text(), QStringLiteral("Off"));
        QVERIFY(current_page == page_run_screen);
        QCOMPARE(lcd_picture_serial(), serial_at_off);
        QVERIFY(frame_as_text() == frame_at_off);
    }

    // The centre key on the run screen: the next pass takes it, and the pass
    // after that, run without waiting, shows the main menu.
    void key_shows_without_waiting_for_the_next_period() {
        form->clock.start();
        qint64 clicked_at = -1;
        const u32 passes_before = form->passes;
        std::function<void()> watch = [&] {
            if (form->passes < passes_before + 10) {
                QTimer::singleShot(5, form, watch);
                return;
            }
            if (form->passes < passes_before + 20) {
                // Within the alarm limits, so the key is not taken as an acknowledgement.
                form->TrackBar1->setValue(300);
                form->TrackBar2->setValue(300);
                QTimer::singleShot(5, form, watch);
                return;
            }
            QCOMPARE(alarm_active, 0);
            clicked_at = form->clock.nsecsElapsed();
            QTest::mouseClick(form->Image5, Qt::LeftButton, {}, QPoint(24, 24));
            QTimer::singleShot(200, form,
                               [&] { QTest::mouseClick(form->Button2, Qt::LeftButton); });
        };
        QTimer::singleShot(0, form, watch);
        arm_safety_off();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QVERIFY(form->menu_shown_at > clicked_at);
        const qint64 latency_us = (form->menu_shown_at - clicked_at) / 1000;
        qInfo("centre key to main menu on screen: %lld us", latency_us);
        // Without the early pass this is at least one full pass period.
        QVERIFY2(latency_us < 1000 * PASS_PERIOD_MS * 3 / 4,
                 qPrintable(QString::number(latency_us)));
    }

    void close_while_on_ends_the_loop_data() {
        QTest::addColumn<int>("close_after_ms");
        QTest::newRow("during the splash") << 300;
        QTest::newRow("in the main loop") << 2500;
    }

    // Closing counts as "OFF" and stays in force, during the splash as in the
    // main loop.
    void close_while_on_ends_the_loop() {
        QFETCH(int, close_after_ms);
        QElapsedTimer clock;
        qint64 closed_at = -1;
        int depth_at_close = -1;
        QTimer::singleShot(close_after_ms, form, [&] {
            depth_at_close = instrument_running_depth();
            closed_at = clock.elapsed();
            form->close();
        });
        arm_safety_off();
        clock.start();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(depth_at_close, 1);
        QVERIFY(!form->isVisible());
        QCOMPARE(instrument_running_depth(), 0);
        QVERIFY2(clock.elapsed() - closed_at < 1000,
                 qPrintable(QString::number(clock.elapsed() - closed_at)));
    }

private:
    // A broken loop must fail the test, not hang it.
    void arm_safety_off() {
        QTimer::singleShot(20000, form, [] {
            if (instrument_running_depth() > 0) {
                request_power_off();
                QFAIL("the instrument was still running after 20 s");
            }
        });
    }

    CountingForm* form = nullptr;
};

QTEST_MAIN(Form1PowerTest)
#include "form1_power_test.moc"
