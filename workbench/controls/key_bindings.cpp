#include "workbench/controls/key_bindings.h"

#include <algorithm>

namespace {

const PageWay* page_way(const KeyBinding& binding) {
    for (const PageWay& way : PAGE_WAYS)
        if (std::string_view(way.action) == binding.action) return &way;
    return nullptr;
}

const char* also_of(const KeyBinding& binding, u8 front) {
    const PageWay* way = front == ON_PAGE ? page_way(binding) : nullptr;
    return way != nullptr && way->also != nullptr ? way->also : binding.also;
}

}  // namespace

std::vector<std::string> keys_of(const KeyBinding& binding, u8 front) {
    const PageWay* way = front == ON_PAGE ? page_way(binding) : nullptr;
    std::vector<std::string> keys;
    std::string_view rest(way != nullptr && way->keys != nullptr ? way->keys : binding.keys);
    while (!rest.empty()) {
        const size_t blank = rest.find(' ');
        if (blank != 0) keys.emplace_back(rest.substr(0, blank));
        if (blank == std::string_view::npos) break;
        rest.remove_prefix(blank + 1);
    }
    return keys;
}

const KeyBinding* find_binding(std::string_view action) {
    for (const KeyBinding& b : KEY_BINDINGS)
        if (action == b.action) return &b;
    return nullptr;
}

const KeyBinding* binding_of_key(std::string_view key, u8 front) {
    for (const KeyBinding& b : KEY_BINDINGS) {
        if ((b.fronts & front) == 0) continue;
        const std::vector<std::string> keys = keys_of(b, front);
        if (std::find(keys.begin(), keys.end(), key) != keys.end()) return &b;
    }
    return nullptr;
}

bool slider_keeps(std::string_view key) {
    return std::find(std::begin(SLIDER_KEYS), std::end(SLIDER_KEYS), key) != std::end(SLIDER_KEYS);
}

namespace {

// The arrows by the words on their keycaps.
std::string readable(const std::string& key) { return slider_keeps(key) ? key + " arrow" : key; }

// "a, b or c"
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " or " : ", ";
        text += items[i];
    }
    return text;
}

}  // namespace

std::string keys_text(const KeyBinding& binding, u8 front) {
    std::string text;
    for (const std::string& key : keys_of(binding, front))
        text += (text.empty() ? "" : ", ") + readable(key);
    const char* also = also_of(binding, front);
    if (also[0] != '\0') text += (text.empty() ? "" : ", ") + std::string(also);
    return text;
}

std::string tooltip(const Control& control, u8 front) {
    std::vector<std::string> ways;
    for (const KeyBinding& b : KEY_BINDINGS) {
        if ((b.fronts & front) == 0 || std::string_view(b.control) != control.role) continue;
        for (const std::string& key : keys_of(b, front))
            ways.push_back(readable(key));
        // A click on the control itself goes without saying.
        const std::string_view also(also_of(b, front));
        if (!also.empty() && also != "click") ways.emplace_back(also);
    }
    if (ways.empty()) return control.help;
    return std::string(control.help) + ": " + listed(ways);
}
