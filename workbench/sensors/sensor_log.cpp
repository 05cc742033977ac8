#include "workbench/sensors/sensor_log.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "workbench/files/input_file.h"

namespace {

constexpr const char* COLUMN_NAMES[] = {"time", "channel1", "channel2"};

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> split_cells(const std::string& text) {
    std::vector<std::string> cells;
    size_t at = 0;
    while (true) {
        const size_t comma = text.find(',', at);
        cells.push_back(trim(text.substr(at, comma == std::string::npos ? comma : comma - at)));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return cells;
}

// A plain decimal number ("12", "-4.5", "1e3"): no hexadecimal, no "inf" or
// "nan", nothing after it.
bool parse_decimal(const std::string& text, double& value) {
    if (text.empty() || text.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

SensorLogReader::SensorLogReader(std::istream& in, std::string name)
    : in_(in), name_(std::move(name)) {}

bool SensorLogReader::bad(const std::string& why) {
    error_ = name_ + ":" + std::to_string(line_) + ": " + why;
    ended_ = true;
    return false;
}

bool SensorLogReader::read_line() {
    if (!read_bounded_line(in_, SENSOR_LOG_LINE_MAX, text_, too_long_)) return false;
    ++line_;
    if (!text_.empty() && text_.back() == '\r') text_.pop_back();
    if (line_ == 1 && text_.rfind("\xEF\xBB\xBF", 0) == 0) text_.erase(0, 3);
    return true;
}

bool SensorLogReader::header() {
    const std::vector<std::string> cells = split_cells(text_);
    if (cells[0] != "time")
        return bad("the header starts with the column 'time', not " + quoted(cells[0]) +
                   " (time,channel1,channel2)");
    for (size_t i = 1; i < cells.size(); ++i) {
        int channel = -1;
        if (cells[i] == COLUMN_NAMES[1]) channel = 0;
        if (cells[i] == COLUMN_NAMES[2]) channel = 1;
        if (channel < 0)
            return bad("unknown column " + quoted(cells[i]) + " (time, channel1, channel2)");
        if (column_of_channel_[channel] != 0)
            return bad("the column " + quoted(cells[i]) + " twice");
        column_of_channel_[channel] = static_cast<int>(i);
    }
    if (cells.size() == 1) return bad("missing column: channel1, channel2 or both after 'time'");
    columns_ = static_cast<int>(cells.size());
    have_header_ = true;
    return true;
}

bool SensorLogReader::parse_row(SensorLogRow& row) {
    const std::vector<std::string> cells = split_cells(text_);
    if (static_cast<int>(cells.size()) != columns_)
        return bad(std::string(static_cast<int>(cells.size()) < columns_ ? "missing column: "
                                                                         : "too many cells: ") +
                   std::to_string(cells.size()) + " cells where the header has " +
                   std::to_string(columns_) + " columns");
    row = SensorLogRow{};
    row.line = line_;
    row.time_text = cells[0];
    if (cells[0].empty()) return bad("a row needs its time");
    if (!parse_decimal(cells[0], row.time)) return bad(quoted(cells[0]) + " is not a number");
    if (have_previous_ && !(row.time > previous_time_))
        return bad("time " + cells[0] + " is not after " + previous_text_);
    if (!have_previous_) first_time_ = row.time;
    if (row.time - first_time_ > SENSOR_LOG_SECONDS_MAX)
        return bad("time " + cells[0] + " is more than 1000000 s after the first row");
    for (int channel = 0; channel < 2; ++channel) {
        const int column = column_of_channel_[channel];
        if (column == 0) continue;
        const std::string& text = cells[static_cast<size_t>(column)];
        SensorLogCell& cell = row.cell[channel];
        if (text.empty()) {
            cell.kind = SensorLogCell::Kind::Empty;
        } else if (text == "open") {
            cell.kind = SensorLogCell::Kind::Open;
        } else if (text == "short") {
            cell.kind = SensorLogCell::Kind::Short;
        } else if (parse_decimal(text, cell.value)) {
            cell.kind = SensorLogCell::Kind::Number;
        } else {
            return bad(quoted(text) + " is not a number (nor open or short)");
        }
    }
    have_previous_ = true;
    previous_time_ = row.time;
    previous_text_ = cells[0];
    return true;
}

bool SensorLogReader::next(SensorLogRow& row) {
    while (!ended_) {
        if (!read_line()) {
            ended_ = true;
            if (!have_header_) {
                error_ = name_ + ": no header (time,channel1,channel2)";
            } else if (rows_ == 0) {
                error_ = name_ + ": a header but no rows";
            }
            return false;
        }
        if (too_long_)
            return bad("a line longer than " + std::to_string(SENSOR_LOG_LINE_MAX) + " bytes");
        const std::string text = trim(text_);
        if (text.empty() || text[0] == '#') continue;
        if (!have_header_) {
            if (!header()) return false;
            continue;
        }
        if (!parse_row(row)) return false;
        ++rows_;
        return true;
    }
    return false;
}

bool open_sensor_log(const std::string& path, std::unique_ptr<std::istream>& in,
                     std::string& error) {
    return open_input_file(path, "a sensor log", static_cast<std::uintmax_t>(SENSOR_LOG_SIZE_MAX),
                           "64 MB", in, error);
}

bool check_sensor_log(std::istream& in, const std::string& name, double& seconds,
                      std::string& error) {
    SensorLogReader reader(in, name);
    // The channels' ranges as they are set up now, worked out at the first
    // number each needs.
    bool known[2] = {false, false};
    bool shows[2] = {false, false};
    ValueRange range[2];
    std::string off[2];
    double first = 0.0;
    bool any = false;
    SensorLogRow row;
    while (reader.next(row)) {
        if (!any) first = row.time;
        any = true;
        seconds = row.time - first;
        for (u8 channel = 0; channel < 2; ++channel) {
            if (row.cell[channel].kind != SensorLogCell::Kind::Number) continue;
            if (!known[channel]) {
                known[channel] = true;
                shows[channel] = channel_value_range(channel, range[channel], off[channel]);
            }
            std::string why = off[channel];
            s32 target = 0;
            if (shows[channel] &&
                value_in_range(channel, range[channel], row.cell[channel].value, target, why))
                continue;
            error = name + ":" + std::to_string(row.line) + ": " + why;
            return false;
        }
    }
    error = reader.error();
    return error.empty();
}

bool SensorLogPlayer::start(std::unique_ptr<std::istream> in, std::string name, double seconds,
                            std::string& error) {
    in_ = std::move(in);
    name_ = std::move(name);
    seconds_ = seconds;
    reader_ = std::make_unique<SensorLogReader>(*in_, name_);
    steps_ = 0;
    position_ = 0.0;
    ended_ = false;
    applied_[0] = applied_[1] = false;
    pending_[0] = pending_[1] = SensorLogCell{};
    if (!reader_->next(row_)) {
        error = reader_->error();
        return false;
    }
    first_ = row_.time;
    have_next_ = reader_->next(next_);
    if (!have_next_ && !reader_->error().empty()) {
        error = reader_->error();
        return false;
    }
    return true;
}

// The rows around the step's time: row_ at or before it, next_ after it.
// Rows that fall between two steps are passed over; a value or a sender
// fault one of them gives a channel is still set at the step, unless a later
// row gives the channel something else before it.
bool SensorLogPlayer::fill(double at, std::string& error) {
    while (have_next_ && next_.time <= at + TIME_TOLERANCE) {
        for (int c = 0; c < 2; ++c) {
            if (next_.cell[c].kind != SensorLogCell::Kind::Empty)
                pending_[c] = SensorLogCell{};
            else if (!applied_[c] && row_.cell[c].kind != SensorLogCell::Kind::Empty)
                pending_[c] = row_.cell[c];
            applied_[c] = false;
        }
        row_ = std::move(next_);
        have_next_ = reader_->next(next_);
        if (!have_next_ && !reader_->error().empty()) {
            error = reader_->error();
            return false;
        }
    }
    return true;
}

bool SensorLogPlayer::set(int channel, const SensorLogCell& cell, double value, int line,
                          SensorCounts& counts, std::string& error) {
    using Kind = SensorLogCell::Kind;
    const auto c = static_cast<u8>(channel);
    if (cell.kind == Kind::Open || cell.kind == Kind::Short) {
        counts.count[c] =
            sender_fault_count(cell.kind == Kind::Open ? SenderFault::Open : SenderFault::Short);
    } else if (!counts_.count(c, value, counts.count[c], error)) {
        error = name_ + ":" + std::to_string(line) + ": " + error;
        return false;
    }
    counts.set[c] = true;
    return true;
}

bool SensorLogPlayer::channel_step(int channel, double at, SensorCounts& counts,
                                   std::string& error) {
    using Kind = SensorLogCell::Kind;
    const SensorLogCell& a = row_.cell[channel];
    if (a.kind == Kind::Number && have_next_ && next_.cell[channel].kind == Kind::Number &&
        at > row_.time + TIME_TOLERANCE) {
        const SensorLogCell& b = next_.cell[channel];
        const double share = (at - row_.time) / (next_.time - row_.time);
        applied_[channel] = true;
        return set(channel, b, a.value + (b.value - a.value) * share, next_.line, counts, error);
    }
    if (!applied_[channel] && a.kind != Kind::Empty) {
        applied_[channel] = true;
        pending_[channel] = SensorLogCell{};
        return set(channel, a, a.value, row_.line, counts, error);
    }
    if (pending_[channel].kind != Kind::Empty) {
        const SensorLogCell cell = pending_[channel];
        pending_[channel] = SensorLogCell{};
        return set(channel, cell, cell.value, row_.line, counts, error);
    }
    return true;
}

bool SensorLogPlayer::step(SensorCounts& counts, std::string& error) {
    counts = SensorCounts{};
    if (ended_) return true;
    // Counted in steps, not summed, so a day's log ends on its last row.
    double at = first_ + static_cast<double>(steps_) / 10.0;
    if (!fill(at, error)) {
        ended_ = true;
        return false;
    }
    if (!have_next_) {
        at = row_.time;
        ended_ = true;
    }
    ++steps_;
    position_ = at - first_;
    for (int channel = 0; channel < 2; ++channel) {
        if (!channel_step(channel, at, counts, error)) {
            ended_ = true;
            return false;
        }
    }
    return true;
}

std::unique_ptr<std::istream> ramp_as_log(int channel, const std::string& from,
                                          const std::string& to, const std::string& seconds) {
    const std::string column = channel == 0 ? "channel1" : "channel2";
    return std::make_unique<std::istringstream>("time," + column + "\n0," + from + "\n" + seconds +
                                                "," + to + "\n");
}
