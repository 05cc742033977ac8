// What the command line asks of a window session (--settings, --record,
// --play, --on), read and checked before the window opens, so a bad file
// ends the program with one line and no window.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/window/command_line.h"
#include "firmware/core/settings.h"
#include "workbench/scenario/scenario.h"
#include "workbench/session/recorder.h"

struct SessionPlan {
    bool power_on = false;
    std::optional<InstrumentSettings> power_on_settings;
    // --play: the script, read through once and found without a bad line,
    // and its number of lines.
    std::optional<std::string> play;
    int play_lines = 0;
    bool exit_after_play = false;
    SessionRecorder recorder;  // started by start_recording
};

// Reads the settings file and the scenario named on the command line.
CommandLineOutcome prepare_session(const CommandLine& options, SessionPlan& plan);

// Starts the recording (--record), so a file that cannot be written is known
// before the window opens.
CommandLineOutcome start_recording(const CommandLine& options, SessionPlan& plan);
