// Sensor logs in the window: the entries and their shortcut, a bad log
// refused whole, a log stepping the sliders at the window's ticks (here one
// at a time, paused) with its progress in the status bar, and its end.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <string>

#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/counting_form.h"
#include "tests/window/dialogs.h"
#include "tests/window/test_form.h"
#include "workbench/sensors/sensor_value.h"

namespace {

const QString LOGS = QStringLiteral(DG2_SOURCE_DIR "/tests/scenarios/");

QString progress(const TestForm& form) {
    for (const QLabel* label : form.StatusBar1->findChildren<QLabel*>())
        if (label->isVisible() && label->text().contains(" s")) return label->text();
    return {};
}

QAction* entry(const TestForm& form, const QString& text) {
    for (QAction* a : form.ContextMenu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

}  // namespace

class Form1SensorLogTest : public QObject {
    Q_OBJECT

private slots:
    void plays_at_the_window_ticks() {
        CountingForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(entry(form, "Play sensor log...") != nullptr);
        QCOMPARE(entry(form, "Play sensor log...")->shortcut().toString(), QString("Ctrl+G"));
        QVERIFY(!entry(form, "Stop sensor log")->isEnabled());
        QString error;
        QVERIFY(!form.play_sensor_log(LOGS + "logs/sender_open.csv", error));
        QVERIFY2(error.contains("Switch the instrument on first"), qPrintable(error));

        bool checked = false;
        std::function<void()> step = [&] {
            if (form.passes < 2) {
                QTimer::singleShot(10, &form, step);
                return;
            }
            form.set_paused(true);
            const int before = form.TrackBar1->value();
            QString e;
            QVERIFY(!form.play_sensor_log(LOGS + "bad/logs/warm_up.csv", e));
            QVERIFY2(e.contains("warm_up.csv:17: time 12.0 is not after 12.0"), qPrintable(e));
            QCOMPARE(form.TrackBar1->value(), before);
            QVERIFY(!form.sensor_log_playing());

            // time,channel1: 0 4.0, 1.5 2.5, 2 open.
            QVERIFY2(form.play_sensor_log(LOGS + "logs/sender_open.csv", e), qPrintable(e));
            u32 count = 0;
            std::string why;
            QVERIFY(count_for_value(0, 4.0, count, why));
            QCOMPARE(form.TrackBar1->value(), static_cast<int>(count));
            QCOMPARE(form.Label13->text(), QString::number(count));
            QCOMPARE(progress(form), QString("sender_open.csv 0.0 / 2.0 s"));
            QVERIFY(entry(form, "Stop sensor log")->isEnabled());
            // Paused, the log stands still; each single tick is a step.
            QTest::qWait(300);
            QCOMPARE(progress(form), QString("sender_open.csv 0.0 / 2.0 s"));
            for (int i = 0; i < 15; ++i)
                form.single_tick();
            QVERIFY(count_for_value(0, 2.5, count, why));
            QCOMPARE(input_a, count);
            QCOMPARE(progress(form), QString("sender_open.csv 1.5 / 2.0 s"));
            for (int i = 0; i < 5; ++i)
                form.single_tick();
            QCOMPARE(form.TrackBar1->value(), 4096);
            QVERIFY(!form.sensor_log_playing());
            QCOMPARE(progress(form), QString());
            QCOMPARE(form.StatusBar1->currentMessage(), QString("Played sender_open.csv"));

            // Stopped halfway, the values it set stay.
            QVERIFY(form.play_sensor_log(LOGS + "logs/sender_open.csv", e));
            form.single_tick();
            const int halfway = form.TrackBar1->value();
            entry(form, "Stop sensor log")->trigger();
            form.single_tick();
            QCOMPARE(form.TrackBar1->value(), halfway);
            QCOMPARE(form.StatusBar1->currentMessage(), QString("Stopped sender_open.csv"));

            // Through the entry's file dialog: a bad log is refused in a box,
            // a good one plays, and the same entry (its shortcut) stops it.
            const QString refused = use_entry(form, form.ContextMenu, "Play sensor log...",
                                              LOGS + "bad/logs/warm_up.csv");
            QVERIFY2(
                refused.contains("warm_up.csv:17: ") && refused.contains("No value has been set."),
                qPrintable(refused));
            QVERIFY(!form.sensor_log_playing());
            use_entry(form, form.ContextMenu, "Play sensor log...", LOGS + "logs/sender_open.csv");
            QVERIFY(form.sensor_log_playing());
            entry(form, "Play sensor log...")->trigger();
            QVERIFY(!form.sensor_log_playing());
            QCOMPARE(form.StatusBar1->currentMessage(), QString("Stopped sender_open.csv"));

            // A log changed on disk while it plays: the line found bad stops
            // it with a box, and the values it set stay. The rows after the
            // comments are past what the player has read at its start.
            QTemporaryDir dir;
            const std::string changed = dir.filePath("changed.csv").toStdString();
            std::string text = "time,channel1\n0,1.0\n0.1,2.0\n";
            for (int i = 0; i < 5; ++i)
                text += "#" + std::string(4000, '-') + "\n";
            std::ofstream(changed) << text << "0.2,3.0\n";
            QVERIFY2(form.play_sensor_log(QString::fromStdString(changed), e), qPrintable(e));
            {
                std::fstream file(changed, std::ios::in | std::ios::out);
                file.seekp(static_cast<std::streamoff>(text.size() + 4));
                file << 'x';
            }
            for (int i = 0; i < 3; ++i)
                form.single_tick();
            QVERIFY(!form.sensor_log_playing());
            QVERIFY(count_for_value(0, 1.0, count, why));  // 0.1 waited for the row after it
            QCOMPARE(input_a, count);
            QMessageBox* box = form.findChild<QMessageBox*>();
            QVERIFY(box != nullptr);
            QVERIFY2(box->text().startsWith("changed.csv:9: 'x.0' is not a number") &&
                         box->text().endsWith("the values it set stay."),
                     qPrintable(box->text()));
            box->close();
            checked = true;
            form.set_paused(false);
            form.Button2Click();
        };
        QTimer::singleShot(0, &form, step);
        QTimer::singleShot(30000, &form, [&] { form.Button2Click(); });
        form.Button1Click();
        QVERIFY(checked);
    }
};

QTEST_MAIN(Form1SensorLogTest)
#include "form1_sensor_log_test.moc"
