// The command line of dg2. Parsed before any window or display exists, so
// --help, --version and every mistake are answered without one.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
    bool power_on = false;         // --on
    QString settings_path;         // --settings FILE
    QString record_path;           // --record FILE
    QString play_path;             // --play FILE
    bool exit_after_play = false;  // --exit
    bool platform_given = false;   // Qt's -platform NAME
    QString speed_text;            // --speed F, as given
    double speed = 1.0;            // ... as a factor
    int zoom = 0;                  // --zoom N: the LCD window at N x (0: not opened)
};

// Wrong use of the command line or a file that cannot be used: exit status.
constexpr int EXIT_BAD_USE = 2;

struct CommandLineOutcome {
    // -1: open the window. Otherwise the program ends at once with this status
    // after printing `message` (to standard output for status 0).
    int exit_status = -1;
    QString message;
};

// `arguments` as QCoreApplication::arguments() has them (program name first).
CommandLineOutcome parse_command_line(const QStringList& arguments, CommandLine& options);

// Without a display Qt cannot open the window (and aborts): say so plainly,
// and how to run without one. `environment_has_display`: see below.
CommandLineOutcome check_display(const CommandLine& options, bool environment_has_display);

// With the X display to be used (DISPLAY set; no -platform, no WAYLAND_DISPLAY,
// QT_QPA_PLATFORM unset or xcb): whether it answers. If not, the program
// ends with one line naming it and status 1, as without a display.
CommandLineOutcome check_x_display(const CommandLine& options);

// DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM set and not empty.
bool has_display_environment();
