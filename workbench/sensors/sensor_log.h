// Sensor logs: the two channels' values over time, as a CSV file, played
// into the instrument a tick at a time.
//
//   # coolant warm-up            comment lines start with '#'
//   time,channel1,channel2       the header: time, then one or both channels
//   0,6.5,20                     seconds from any start, strictly increasing;
//   10,,21                       values in the channel's unit as it is set up
//   20,6.1,open                  when the row is reached; an empty cell leaves
//                                the channel alone, open/short is the sender
//
// A UTF-8 byte-order mark, CRLF line ends and blanks around cells are taken
// as they come. Between two rows that both give a channel a number, the
// channel moves linearly, a step at every tick (a tenth of a second of the
// log's time); a row with an empty cell or a sender fault ends the move, and
// the channel stays where it is until a row gives it something again. The
// log is read as it plays, two rows at a time, so a day-long log costs no
// more memory than a minute-long one.
//
// A ramp (`ramp 1 20 90 60`) is the same thing as a log of two rows.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "firmware/core/types.h"
#include "workbench/sensors/sensor_value.h"

// A line of a log longer than this is a bad line, and a file longer than this
// is no log: both keep a mistaken file from being read into memory.
constexpr size_t SENSOR_LOG_LINE_MAX = 4096;
constexpr long long SENSOR_LOG_SIZE_MAX = 64LL * 1024 * 1024;
// The longest stretch of time a log may cover: as many ticks as a `wait`.
constexpr double SENSOR_LOG_SECONDS_MAX = 1000000.0;
// The log's own time between two steps: the instrument's tick.
constexpr double SENSOR_LOG_STEP_SECONDS = 0.1;

// One cell of a row.
struct SensorLogCell {
    enum class Kind : u8 { Empty, Number, Open, Short };
    Kind kind = Kind::Empty;
    double value = 0.0;
};

// One row: its time, and the cells of channel 1 and 2 (Empty for a channel
// the log has no column for).
struct SensorLogRow {
    double time = 0.0;
    std::string time_text;  // as written, for messages
    SensorLogCell cell[2];
    int line = 0;
};

// Reads a log's header and rows from a stream, one line at a time.
class SensorLogReader {
public:
    // `name` stands for the log in messages ("warm_up.csv:17: ...").
    SensorLogReader(std::istream& in, std::string name);

    // The next row, checked on its own and against the row before it. False
    // at the end of the log, or at a bad line with error() set to
    // "<name>:<line>: <what is wrong>". A log without a header or without a
    // row is bad too.
    bool next(SensorLogRow& row);

    const std::string& error() const { return error_; }
    bool has_channel(int channel) const { return column_of_channel_[channel] > 0; }

private:
    bool read_line();  // into text_; false at the end
    bool header();
    bool parse_row(SensorLogRow& row);
    bool bad(const std::string& why);

    std::istream& in_;
    std::string name_;
    std::string text_;
    int line_ = 0;
    bool too_long_ = false;
    int columns_ = 0;                    // in the header
    int column_of_channel_[2] = {0, 0};  // 0: none
    bool have_header_ = false;
    bool have_previous_ = false;
    double previous_time_ = 0.0;
    std::string previous_text_;
    double first_time_ = 0.0;
    long rows_ = 0;
    bool ended_ = false;
    std::string error_;
};

// Opens a log file. It must be a regular file of at most
// SENSOR_LOG_SIZE_MAX bytes: a directory, a device or a pipe is refused
// before anything is read. False with "<path> is a directory, not a sensor
// log", "cannot read <path>: <reason>" or "<path> is over 64 MB".
bool open_sensor_log(const std::string& path, std::unique_ptr<std::istream>& in,
                     std::string& error);

// Reads a whole log and checks every line, the values against what the
// channels show as they are set up now. On success `seconds` is the time
// from its first row to its last.
bool check_sensor_log(std::istream& in, const std::string& name, double& seconds,
                      std::string& error);

// The counts a step sets: for each channel, whether it moves and where to.
struct SensorCounts {
    bool set[2] = {false, false};
    u32 count[2] = {0, 0};
};

// Plays a log a step at a time: the values at the log's first row, then one
// tick's worth of the log's time later at every step, the last step at its
// last row. Values become counts through count_for_value, with the channels
// as they are set up at that step.
class SensorLogPlayer {
public:
    // Reads the header and the first row. `seconds` is the log's length if
    // it is known (a checked file), or negative.
    bool start(std::unique_ptr<std::istream> in, std::string name, double seconds,
               std::string& error);

    // The counts of the next step; false with "<name>:<line>: ..." at a bad
    // line (the log stops there). ended() is true once the step at the
    // last row has been given.
    bool step(SensorCounts& counts, std::string& error);
    bool ended() const { return ended_; }

    const std::string& name() const { return name_; }
    // Seconds from the first row to the step given last, and the log's
    // length (negative while unknown).
    double position() const { return position_; }
    double length() const { return seconds_; }

private:
    // Times closer than this are the same time: a step's time is counted
    // in tenths from the first row, a row's written in decimals.
    static constexpr double TIME_TOLERANCE = 1e-6;

    bool fill(double at, std::string& error);  // rows up to time `at`
    bool channel_step(int channel, double at, SensorCounts& counts, std::string& error);
    bool set(int channel, const SensorLogCell& cell, double value, int line, SensorCounts& counts,
             std::string& error);

    std::unique_ptr<std::istream> in_;
    std::unique_ptr<SensorLogReader> reader_;
    std::string name_;
    double seconds_ = -1.0;
    SensorLogRow row_;   // the latest row at or before the step's time
    SensorLogRow next_;  // the row after it
    bool have_next_ = false;
    double first_ = 0.0;                // the first row's time
    bool applied_[2] = {false, false};  // row_'s cell has been set
    SensorLogCell pending_[2];          // from a row passed over between two steps
    long steps_ = 0;
    double position_ = 0.0;
    bool ended_ = false;
    CountForValue counts_;
};

// A ramp of `channel` (0 or 1) from `from` to `to` over `seconds`, as a log
// of two rows for SensorLogPlayer::start.
std::unique_ptr<std::istream> ramp_as_log(int channel, const std::string& from,
                                          const std::string& to, const std::string& seconds);
