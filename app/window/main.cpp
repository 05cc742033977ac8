#include <QApplication>
#include <cstdio>

#include "app/window/command_line.h"
#include "app/window/form1.h"
#include "app/window/session.h"

namespace {

// --help and --version to standard output, everything else to standard error.
int report(const CommandLineOutcome& outcome) {
    const QByteArray text = outcome.message.toLocal8Bit();
    std::FILE* to = outcome.exit_status == 0 ? stdout : stderr;
    std::fputs(text.constData(), to);
    if (!text.endsWith('\n')) std::fputc('\n', to);
    return outcome.exit_status;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine options;
    SessionPlan plan;
    {
        // The command line is answered before the toolkit looks for a
        // display: --help, --version and mistakes need none.
        QCoreApplication parsing(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("dg2"));
        CommandLineOutcome outcome = parse_command_line(QCoreApplication::arguments(), options);
        if (outcome.exit_status < 0) outcome = prepare_session(options, plan);
        if (outcome.exit_status < 0) outcome = check_display(options, has_display_environment());
        if (outcome.exit_status < 0) outcome = check_x_display(options);
        if (outcome.exit_status < 0) outcome = start_recording(options, plan);
        if (outcome.exit_status >= 0) return report(outcome);
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dg2"));
    QGuiApplication::setDesktopFileName(QStringLiteral("dg2"));
    TForm1 form;
    form.set_speed(options.speed);
    form.start_session(plan);
    form.centre_on_screen();
    form.show();
    if (options.zoom > 0) form.open_lcd_window(options.zoom);
    form.begin_session();
    const int status = QApplication::exec();
    return form.finish_session(status);
}
