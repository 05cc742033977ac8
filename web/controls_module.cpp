// Writes the page's tables of controls and keys, controls.js, from the tables
// the window is built from, when the page is built:
//
//   controls_module OUTPUT.js
//
// Built with Emscripten for node, so the page's build needs no other
// compiler. The page places, captions and binds its controls from the module
// and the key table; nothing of either is written in the page by hand.
#include <cstdio>
#include <string>

#include "runtime/instrument.h"
#include "workbench/controls/key_bindings.h"
#include "workbench/files/atomic_file.h"

namespace {

// A JavaScript string literal. The tables hold ASCII text; anything else is
// escaped all the same.
std::string quoted(std::string_view text) {
    std::string out = "'";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '\'' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (byte < 0x20 || byte > 0x7E) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "'";
}

const char* kind_name(ControlKind kind) {
    switch (kind) {
        case ControlKind::Picture: return "picture";
        case ControlKind::Shape: return "shape";
        case ControlKind::Panel: return "panel";
        case ControlKind::Lcd: return "lcd";
        case ControlKind::KeyArea: return "key_area";
        case ControlKind::Button: return "button";
        case ControlKind::Label: return "label";
        case ControlKind::Slider: return "slider";
        case ControlKind::CheckBox: return "check_box";
        case ControlKind::StatusBar: return "status_bar";
    }
    return "";
}

std::string module_text() {
    std::string js =
        "// The window's controls and the keyboard's bindings, written from the\n"
        "// simulator's own tables (workbench/controls/) when the page is built.\n"
        "// Not to be edited: a change goes into the tables.\n\n";
    js += "export const CLIENT_WIDTH = " + std::to_string(CLIENT_WIDTH) + ";\n";
    js += "export const CLIENT_HEIGHT = " + std::to_string(CLIENT_HEIGHT) + ";\n";
    js += "export const SIMULATOR_VERSION = " + quoted(DG2_VERSION) + ";\n";
    js += "export const FIRMWARE_VERSION = " + quoted(FIRMWARE_VERSION) + ";\n\n";
    // The tooltip is the page's: the keys that work a control on the page.
    js += "export const CONTROLS = [\n";
    for (const Control& c : CONTROLS)
        js += "  { name: " + quoted(c.name) + ", role: " + quoted(c.role) +
              ", kind: " + quoted(kind_name(c.kind)) + ", parent: " + quoted(c.parent) +
              ",\n    left: " + std::to_string(c.left) + ", top: " + std::to_string(c.top) +
              ", width: " + std::to_string(c.width) + ", height: " + std::to_string(c.height) +
              ", caption: " + quoted(c.caption) + ", initial: " + std::to_string(c.initial) +
              ", maximum: " + std::to_string(c.maximum) + ", key: " + std::to_string(c.key) +
              ",\n    tooltip: " + quoted(tooltip(c, ON_PAGE)) + " },\n";
    js += "];\n\n";
    // Keys by Qt's portable names ("F1", "Up", "Space", "Ctrl+C").
    js += "export const KEY_BINDINGS = [\n";
    for (const KeyBinding& b : KEY_BINDINGS) {
        if ((b.fronts & ON_PAGE) == 0) continue;
        std::string keys;
        for (const std::string& key : keys_of(b, ON_PAGE))
            keys += (keys.empty() ? "" : ", ") + quoted(key);
        js += "  { action: " + quoted(b.action) + ", control: " + quoted(b.control) + ", keys: [" +
              keys + "],\n    text: " + quoted(keys_text(b, ON_PAGE)) +
              ", help: " + quoted(b.help) + " },\n";
    }
    js += "];\n\n";
    std::string slider_keys;
    for (const char* key : SLIDER_KEYS)
        slider_keys += (slider_keys.empty() ? "" : ", ") + quoted(key);
    js += "// The keys a focused slider keeps for itself.\n";
    js += "export const SLIDER_KEYS = [" + slider_keys + "];\n";
    return js;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: controls_module OUTPUT.js\n");
        return 2;
    }
    std::string error;
    if (!write_file_atomically(argv[1], module_text(), error)) {
        std::fprintf(stderr, "controls_module: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
