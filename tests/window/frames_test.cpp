// One scenario (DG2_SCENARIO) played by the headless runner and then in the
// window at 10x through the same driver: the window shows, at every message
// point, the frame the headless runner has there.
#include <QTest>
#include <sstream>

#include "app/headless/fake_host.h"
#include "app/headless/scenario_runner.h"
#include "app/window/session.h"
#include "runtime/instrument.h"
#include "tests/window/frame_keeping_form.h"

class FramesTest : public QObject {
    Q_OBJECT

private slots:
    void window_shows_the_headless_frames() {
        const QString path = qEnvironmentVariable("DG2_SCENARIO");
        QVERIFY(!path.isEmpty());

        reset_all_state();
        std::vector<std::string> headless;
        std::ostringstream out, err;
        RunnerOptions options;
        options.out = &out;
        options.err = &err;
        options.at_message_point = [&] { headless.push_back(frame_as_text()); };
        QVERIFY2(run_scenario_file(path.toStdString(), options) == SCENARIO_OK, err.str().c_str());

        reset_all_state();
        FrameKeepingForm form;
        QVERIFY(form.set_speed(10));
        CommandLine command_line;
        command_line.play_path = path;
        command_line.exit_after_play = true;
        SessionPlan plan;
        QCOMPARE(prepare_session(command_line, plan).exit_status, -1);  // go on
        form.start_session(plan);
        form.show();
        form.begin_session();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible() && instrument_running_depth() == 0, 60000);
        QCOMPARE(form.finish_session(0), SCENARIO_OK);

        QCOMPARE(form.frames.size(), headless.size());
        for (size_t i = 0; i < headless.size(); ++i)
            QVERIFY2(form.frames[i] == headless[i],
                     qPrintable(QStringLiteral("frame %1 differs").arg(i)));
    }
};

QTEST_MAIN(FramesTest)
#include "frames_test.moc"
