#include "workbench/scenario/writer.h"

#include "firmware/lcd/lcd.h"

namespace {

std::string on_off(long a) { return a == 1 ? "on" : "off"; }

std::string channel_word(long index) { return std::to_string(index + 1); }

}  // namespace

std::string scenario_text(const ScenarioCommand& c) {
    using Op = ScenarioCommand::Op;
    std::string line;
    switch (c.op) {
        case Op::On: line = c.a == 1 ? "on splash" : "on"; break;
        case Op::Off: line = "off"; break;
        case Op::Key: {
            const char* name = scenario_key_name(static_cast<KeyCode>(c.a));
            line = "key " + (name != nullptr ? std::string(name) : std::to_string(c.a));
            break;
        }
        case Op::Slider: line = "slider " + channel_word(c.a) + " " + std::to_string(c.b); break;
        case Op::Calibrate: line = "calibrate " + on_off(c.a); break;
        case Op::KeyFast: line = "keyfast " + on_off(c.a); break;
        case Op::Ticks: line = "ticks " + std::to_string(c.a); break;
        case Op::Passes: line = "passes " + std::to_string(c.a); break;
        case Op::Wait: line = "wait " + std::to_string(c.a); break;
        case Op::Expect: line = "expect " + c.word + " " + c.value; break;
        case Op::ExpectGolden: line = "expect-golden " + c.word; break;
        case Op::ExpectText:
            line = "expect-text " + std::to_string(c.a) + " " + std::to_string(c.b);
            for (const std::string& row : c.rows)
                line += "\n| " + row;
            break;
        case Op::Shot: line = "shot " + c.word + " " + std::to_string(c.a); break;
        case Op::Record: line = "record " + c.word + " " + std::to_string(c.a); break;
        case Op::StopRecord: line = "stop-record"; break;
        case Op::Dump: line = "dump"; break;
        case Op::SaveSettings: line = "save-settings " + c.word; break;
        case Op::LoadSettings: line = "load-settings " + c.word; break;
        case Op::PowerOnSettings: line = "power-on-settings " + c.word; break;
        case Op::Value: line = "value " + channel_word(c.a) + " " + c.word; break;
        case Op::Sender:
            line = "sender " + channel_word(c.a) + (c.b == 0 ? " short" : " open");
            break;
    }
    return line + "\n";
}

std::string whole_frame_expectation() {
    ScenarioCommand c;
    c.op = ScenarioCommand::Op::ExpectText;
    for (u8 y = 0; y < LCD_HEIGHT; ++y) {
        std::string row;
        for (u8 x = 0; x < LCD_WIDTH; ++x)
            row += lcd_get_pixel(x, y) ? '#' : '.';
        c.rows.push_back(row);
    }
    return scenario_text(c);
}
