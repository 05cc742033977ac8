// A session in the window, recorded as it goes, then replayed headless by the
// scenario runner and played in the window again: every frame the window
// showed (at every splash frame and pass) must come back, in order, and the
// recording's closing expect-text must hold.
#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/headless/fake_host.h"
#include "app/headless/scenario_runner.h"
#include "app/window/controls.h"
#include "app/window/session.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/frame_keeping_form.h"
#include "tests/window/test_form.h"

namespace {

struct Step {
    int at_ms;
    std::function<void(FrameKeepingForm&)> act;
};

// Runs each step at its time after the start, from a timer of its own (a
// timer does not fire again while its own handler still runs the instrument),
// then waits until the window has closed and the instrument has stopped.
void drive(FrameKeepingForm& form, const std::vector<Step>& steps) {
    for (const Step& step : steps)
        QTimer::singleShot(step.at_ms, Qt::PreciseTimer, &form, [&form, &step] { step.act(form); });
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible() && instrument_running_depth() == 0,
                             steps.back().at_ms + 10000);
}

// A script written to a file of its own, as --play takes it.
std::string script(const QTemporaryDir& dir, const char* text) {
    const std::string path = dir.filePath(QStringLiteral("script.scn")).toStdString();
    std::ofstream(path) << text;
    return path;
}

// Shows the window and begins the session; closes it after `close_ms` (if
// not negative), then waits until it is closed and the instrument stopped.
void run_session(TestForm& form, SessionPlan& plan, int close_ms) {
    form.start_session(plan);
    form.show();
    form.begin_session();
    if (close_ms >= 0) QTimer::singleShot(close_ms, &form, [&form] { form.close(); });
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible() && instrument_running_depth() == 0, 10000);
}

std::string read_file(const QString& path) {
    std::ifstream in(path.toStdString());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

class SessionTest : public QObject {
    Q_OBJECT

private slots:
    void recorded_session_replays_to_the_same_frames() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session.scn"));

        // 1. A user's session: clicks during the splash, menus, check boxes,
        // an "ON" while on, "OFF" during that splash, a slider moved while
        // off, a new power-on and another in its splash, "OFF" once that one
        // runs, and closing the window while on.
        reset_all_state();
        std::vector<std::string> shown;
        std::string midway;  // the file while the session goes on
        {
            FrameKeepingForm form;
            SessionPlan plan;
            std::string start_error;
            QVERIFY2(plan.recorder.start(path.toStdString(), start_error), start_error.c_str());
            form.start_session(plan);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            auto click = [](QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); };
            drive(form, {
                            {0, [&](auto& f) { click(f.Button1); }},
                            {300, [](auto& f) { f.TrackBar1->setValue(2000); }},
                            {700, [](auto& f) { f.Image5Click(); }},
                            {2000, [](auto& f) { f.Image5Click(); }},
                            {2150, [](auto& f) { f.Button3Click(); }},
                            {2300, [](auto& f) { f.CheckBox2->setChecked(true); }},
                            {2350, [](auto& f) { f.CheckBox3->setChecked(true); }},
                            {2400, [&](auto&) { midway = read_file(path); }},
                            {2450, [&](auto& f) { click(f.Button1); }},
                            {2700, [&](auto& f) { click(f.Button2); }},
                            {4500, [](auto& f) { f.TrackBar2->setValue(3500); }},
                            {4700, [](auto& f) { f.Image3Click(); }},
                            {5000, [&](auto& f) { click(f.Button2); }},
                            {5200, [](auto& f) { f.TrackBar1->setValue(100); }},
                            {5500, [&](auto& f) { click(f.Button1); }},
                            {5560, [&](auto& f) { click(f.Button1); }},
                            {7600, [](auto& f) { f.TrackBar1->setValue(3000); }},
                            {7900, [&](auto& f) { click(f.Button2); }},
                            {8000, [&](auto& f) { click(f.Button1); }},
                            {8200, [](auto& f) { f.close(); }},
                        });
            QCOMPARE(form.finish_session(0), 0);
            shown = form.frames;
        }
        const std::string recording = read_file(path);
        // Complete at any moment: the events so far are in the file already.
        QVERIFY(midway.find("keyfast on\n") != std::string::npos);
        // Only its last two lines (counts of ticks and passes) may grow since.
        size_t kept = midway.rfind('\n', midway.size() - 2);
        kept = midway.rfind('\n', kept - 1);
        QCOMPARE(recording.substr(0, kept), midway.substr(0, kept));
        QVERIFY(recording.find("\noff\n") != std::string::npos);
        QVERIFY(recording.find("expect-text 0 0\n") != std::string::npos);

        // 2. Replayed headless: the same frames, and its own check holds.
        reset_all_state();
        std::istringstream in(recording);
        Scenario scenario;
        std::string error;
        QVERIFY2(parse_scenario(in, path.toStdString(), scenario, error), error.c_str());
        std::vector<std::string> replayed;
        std::ostringstream failures;
        RunnerOptions options;
        options.err = &failures;
        options.at_message_point = [&] { replayed.push_back(frame_as_text()); };
        std::istringstream script(recording);
        QVERIFY2(run_scenario(script, path.toStdString(), options) == SCENARIO_OK,
                 failures.str().c_str());
        compare_frames(shown, replayed);

        // 3. Played in the window, to the end and closing.
        reset_all_state();
        FrameKeepingForm form;
        SessionPlan plan;
        plan.play = path.toStdString();
        plan.exit_after_play = true;
        form.start_session(plan);
        form.show();
        form.begin_session();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible() && instrument_running_depth() == 0, 30000);
        QCOMPARE(form.finish_session(0), SCENARIO_OK);
        compare_frames(shown, form.frames);
    }

    // The session's other ends and the exit status each leaves. The tick
    // runs except while a script plays (the script gives the ticks).
    void session_ends() {
        QTemporaryDir dir;
        const struct {
            bool power_on;
            const char* play;
            const char* record;
            int status;
            bool ticking;               // between 0.3 and 0.6 s
            const char* log = nullptr;  // --log
            int slider = 0;             // where the first slider stood before the start
        } rows[] = {
            {true, nullptr, "on.scn", 0, true},  // --on alone
            // Closed meanwhile: the script's failure stands for the lost recording's.
            {false, "on\npasses 100000\n", "gone/c.scn", SCENARIO_FAILED, false},
            // Played to the end; the recording's folder vanished meanwhile.
            {false, "ticks 1\n", "gone/s.scn", EXIT_BAD_USE, true},
            // A log that is gone by the first pass is told in a box; a
            // slider moved before the start is where the recording begins.
            {true, nullptr, "moved.scn", 0, true, "gone.csv", 2000},
        };
        for (const auto& row : rows) {
            reset_all_state();
            TestForm form;
            SessionPlan plan;
            plan.power_on = row.power_on;
            if (row.play != nullptr) plan.play = script(dir, row.play);
            std::string error;
            QDir(dir.path()).mkdir(QStringLiteral("gone"));
            if (row.record != nullptr)
                QVERIFY(plan.recorder.start(dir.filePath(row.record).toStdString(), error));
            QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively();
            if (row.log != nullptr) {
                plan.log = dir.filePath(row.log).toStdString();
                form.set_speed(10);  // the splash over before the close
            }
            if (row.slider != 0) form.TrackBar1->setValue(row.slider);
            u8 ticks = 0;
            bool ticking = !row.ticking;
            QTimer::singleShot(300, &form, [&] { ticks = tick_count; });
            QStringList boxes;  // open before the window closes
            QTimer::singleShot(600, &form, [&] {
                ticking = tick_count != ticks;
                for (const QMessageBox* box : form.findChildren<QMessageBox*>())
                    boxes << box->text();
            });
            run_session(form, plan, 650);
            QCOMPARE(ticking, row.ticking);
            QCOMPARE(form.finish_session(0), row.status);
            if (row.log == nullptr) continue;
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].contains(QLatin1String(row.log)), qPrintable(boxes[0]));
        }
        QVERIFY(read_file(dir.filePath(QStringLiteral("moved.scn")))
                    .find("\nslider 1 2000\non splash\n") != std::string::npos);
        QVERIFY(read_file(dir.filePath(QStringLiteral("on.scn"))).find("\non splash\n") !=
                std::string::npos);
        CommandLine options;
        options.play_path = dir.filePath(QStringLiteral("none.scn"));
        SessionPlan plan;
        QCOMPARE(prepare_session(options, plan).exit_status, SCENARIO_BAD);
    }

private:
    void compare_frames(const std::vector<std::string>& expected,
                        const std::vector<std::string>& actual) {
        QCOMPARE(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(actual[i] == expected[i],
                     qPrintable(QStringLiteral("frame %1 differs").arg(i)));
    }
};

QTEST_MAIN(SessionTest)
#include "session_test.moc"
