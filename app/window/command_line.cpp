#include "app/window/command_line.h"

#include <xcb/xcb.h>

#include <QCommandLineParser>
#include <QFileInfo>
#include <functional>
#include <vector>

#include "app/window/form1.h"
#include "runtime/instrument.h"

namespace {

constexpr int EXIT_NO_DISPLAY = 1;

// One option: how it is declared, and what its value does to the options.
// A new option is one more entry in options_table().
struct OptionEntry {
    QCommandLineOption option;
    std::function<void(CommandLine&, const QString&)> take;
    bool reads_file = false;  // its value names a file that must be readable now
};

std::vector<OptionEntry> options_table() {
    const QString file = QStringLiteral("FILE");
    std::vector<OptionEntry> table;
    table.push_back({QCommandLineOption(QStringLiteral("on"),
                                        QStringLiteral("Power the instrument on as soon as the "
                                                       "window is shown.")),
                     [](CommandLine& o, const QString&) { o.power_on = true; }});
    table.push_back({QCommandLineOption(QStringLiteral("settings"),
                                        QStringLiteral("Every power-on ends with the settings of "
                                                       "FILE instead of the factory ones."),
                                        file),
                     [](CommandLine& o, const QString& v) { o.settings_path = v; }, true});
    table.push_back({QCommandLineOption(QStringLiteral("record"),
                                        QStringLiteral("Write the session to FILE as a scenario, "
                                                       "as it goes; it ends with the last frame."),
                                        file),
                     [](CommandLine& o, const QString& v) { o.record_path = v; }});
    table.push_back({QCommandLineOption(QStringLiteral("play"),
                                        QStringLiteral("Run the scenario FILE in the window at the "
                                                       "instrument's own pace."),
                                        file),
                     [](CommandLine& o, const QString& v) { o.play_path = v; }, true});
    table.push_back({QCommandLineOption(QStringLiteral("exit"),
                                        QStringLiteral("With --play: close the window after the "
                                                       "last line; the exit status is the "
                                                       "scenario's (0 ok, 1 failed, 2 bad "
                                                       "script).")),
                     [](CommandLine& o, const QString&) { o.exit_after_play = true; }});
    table.push_back({QCommandLineOption(QStringLiteral("speed"),
                                        QStringLiteral("Start at speed F: 0.25, 0.5, 1, 2, 4 or 10 "
                                                       "(the pass period and the 100 ms tick "
                                                       "scale together)."),
                                        QStringLiteral("F")),
                     [](CommandLine& o, const QString& v) { o.speed_text = v; }});
    table.push_back({QCommandLineOption(QStringLiteral("zoom"),
                                        QStringLiteral("Open the LCD window at N x (2 to 12)."),
                                        QStringLiteral("N")),
                     [](CommandLine& o, const QString& v) {
                         bool ok = false;
                         const int zoom = v.toInt(&ok);
                         o.zoom = ok && zoom >= 2 && zoom <= 12 ? zoom : -1;
                     }});
    return table;
}

// "4", "4x", "0.25" and "1/4" all name a speed.
bool parse_speed(QString text, double& factor) {
    if (text.endsWith(QLatin1Char('x'))) text.chop(1);
    bool ok = false;
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        bool ok_den = false;
        const double num = text.left(slash).toDouble(&ok);
        const double den = text.mid(slash + 1).toDouble(&ok_den);
        ok = ok && ok_den && den != 0;
        if (ok) factor = num / den;
    } else {
        factor = text.toDouble(&ok);
    }
    return ok && speed_supported(factor);
}

CommandLineOutcome fail(int status, const QString& message) {
    return CommandLineOutcome{status, QStringLiteral("dg2: ") + message};
}

}  // namespace

bool has_display_environment() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name)) return true;
    return false;
}

CommandLineOutcome parse_command_line(const QStringList& arguments, CommandLine& options) {
    QCommandLineParser parser;
    // Qt's own -platform takes one dash, like the toolkit's other options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("The Corvanta Meridial DG-2 engine gauge, simulated in a window."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption platform(QStringLiteral("platform"),
                                      QStringLiteral("Qt's display platform, e.g. offscreen."),
                                      QStringLiteral("NAME"));
    parser.addOption(platform);
    std::vector<OptionEntry> table = options_table();
    for (const OptionEntry& entry : table)
        parser.addOption(entry.option);

    if (!parser.parse(arguments)) return fail(EXIT_BAD_USE, parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))
        return CommandLineOutcome{0, parser.helpText()};
    if (parser.isSet(version))
        return CommandLineOutcome{0, QStringLiteral("dg2 ") + QLatin1String(FIRMWARE_VERSION)};
    if (!parser.positionalArguments().isEmpty())
        return fail(EXIT_BAD_USE, QStringLiteral("unexpected argument '%1' (see --help)")
                                      .arg(parser.positionalArguments().constFirst()));

    for (const OptionEntry& entry : table) {
        if (!parser.isSet(entry.option)) continue;
        const QString value =
            entry.option.valueName().isEmpty() ? QString() : parser.value(entry.option);
        const QFileInfo info(value);
        if (entry.reads_file && (!info.isFile() || !info.isReadable()))
            return fail(EXIT_BAD_USE, QStringLiteral("cannot read '%1' (--%2)")
                                          .arg(value, entry.option.names().constFirst()));
        entry.take(options, value);
    }
    if (!options.speed_text.isEmpty() && !parse_speed(options.speed_text, options.speed))
        return fail(EXIT_BAD_USE, QStringLiteral("--speed takes 0.25, 0.5, 1, 2, 4 or 10, not '%1'")
                                      .arg(options.speed_text));
    if (options.zoom < 0)
        return fail(EXIT_BAD_USE,
                    QStringLiteral("--zoom takes a whole number from 2 to 12, not '%1'")
                        .arg(parser.value(QStringLiteral("zoom"))));
    if (options.exit_after_play && options.play_path.isEmpty())
        return fail(EXIT_BAD_USE, QStringLiteral("--exit goes with --play FILE"));
    options.platform_given = parser.isSet(platform);
    return CommandLineOutcome{};
}

CommandLineOutcome check_display(const CommandLine& options, bool environment_has_display) {
    if (environment_has_display || options.platform_given) return CommandLineOutcome{};
    return fail(EXIT_NO_DISPLAY,
                QStringLiteral("no display (DISPLAY and WAYLAND_DISPLAY are not set); to run "
                               "without one, start it as QT_QPA_PLATFORM=offscreen dg2"));
}

// Qt takes the X display when none of these says otherwise; if that display
// does not answer, Qt aborts saying only that no platform plugin could be
// loaded. The question is asked here first, the way Qt asks it.
CommandLineOutcome check_x_display(const CommandLine& options) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    if (options.platform_given || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !(platform.isEmpty() || platform.startsWith("xcb")) || display.isEmpty())
        return CommandLineOutcome{};
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (answers) return CommandLineOutcome{};
    return fail(EXIT_NO_DISPLAY,
                QStringLiteral("cannot open the display '%1' (DISPLAY): nothing answers there; "
                               "to run without one, start it as QT_QPA_PLATFORM=offscreen dg2")
                    .arg(QString::fromLocal8Bit(display)));
}
