#include "workbench/scenario/reader.h"

#include <cstring>
#include <fstream>
#include <istream>

#include "firmware/lcd/lcd.h"
#include "workbench/files/input_file.h"

ScenarioReader::ScenarioReader(std::istream& in, std::string path)
    : in_(in), path_(std::move(path)), directory_(scenario_directory(path_)) {}

bool ScenarioReader::bad(int line, const std::string& why) {
    error_ = path_ + ":" + std::to_string(line) + ": " + why;
    ended_ = true;
    return false;
}

bool ScenarioReader::read_line(ScenarioLine& kind, ScenarioCommand& command, std::string& row,
                               std::string& why) {
    bool too_long = false;
    if (!read_bounded_line(in_, MAX_LINE_LENGTH, text_, too_long)) return false;
    ++line_;
    if (too_long) {
        why = "a line longer than " + std::to_string(MAX_LINE_LENGTH) + " bytes";
        kind = ScenarioLine::Bad;
        return true;
    }
    // A UTF-8 byte-order mark, as some editors write, is no part of the script.
    if (line_ == 1 && text_.rfind("\xEF\xBB\xBF", 0) == 0) text_.erase(0, 3);
    kind = parse_scenario_line(text_, command, row, why);
    return true;
}

bool ScenarioReader::next(ScenarioCommand& command) {
    using Op = ScenarioCommand::Op;
    while (!ended_) {
        ScenarioLine kind = ScenarioLine::Blank;
        int line = line_;
        std::string why;
        if (have_ahead_) {
            have_ahead_ = false;
            kind = ScenarioLine::Command;
            line = ahead_line_;
            command = std::move(ahead_command_);
        } else if (read_line(kind, command, row_, why)) {
            line = line_;
        } else {
            ended_ = true;
            if (commands_ > 0) return false;
            error_ = path_ + ": an empty script (no commands)";
            return false;
        }
        if (kind == ScenarioLine::Blank) continue;
        if (kind == ScenarioLine::Bad) return bad(line, why);
        if (kind == ScenarioLine::Row) return bad(line, "picture row outside expect-text");
        command.line = line;
        ++commands_;
        if (command.op != Op::ExpectText) return true;

        // Its picture rows follow; the first other line ends them and is
        // kept for the next call if it is a command.
        while (read_line(kind, ahead_command_, row_, why)) {
            if (kind == ScenarioLine::Bad) return bad(line_, why);
            if (kind != ScenarioLine::Row) {
                have_ahead_ = kind == ScenarioLine::Command;
                ahead_line_ = line_;
                break;
            }
            if (!command.rows.empty() && row_.size() != command.rows[0].size())
                return bad(line_, "picture rows differ in width");
            if (command.a + static_cast<long>(row_.size()) > LCD_WIDTH ||
                command.b + static_cast<long>(command.rows.size()) >= LCD_HEIGHT)
                return bad(line_, "picture runs off the LCD");
            command.rows.push_back(row_);
        }
        if (command.rows.empty())
            return bad(command.line,
                       "expect-text needs picture rows ('| ..##..') on the lines after it");
        return true;
    }
    return false;
}

bool parse_scenario(std::istream& in, const std::string& path, Scenario& scenario,
                    std::string& error) {
    scenario.path = path;
    scenario.directory = scenario_directory(path);
    scenario.commands.clear();
    ScenarioReader reader(in, path);
    for (ScenarioCommand c; reader.next(c);)
        scenario.commands.push_back(c);
    error = reader.error();
    return error.empty();
}

std::string scenario_directory(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string scenario_file(const std::string& directory, const std::string& name) {
    return !name.empty() && name[0] == '/' ? name : directory + "/" + name;
}

bool open_scenario_file(const std::string& path, std::unique_ptr<std::istream>& in,
                        std::string& error) {
    return open_input_file(path, "a scenario", 0, "", in, error);
}
