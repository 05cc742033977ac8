#include "workbench/settings/toml_table.h"

#include <cstdio>

const char* type_name(const toml::node& n) {
    switch (n.type()) {
        case toml::node_type::table: return "a table";
        case toml::node_type::array: return "an array";
        case toml::node_type::string: return "a string";
        case toml::node_type::integer: return "an integer";
        case toml::node_type::floating_point: return "a floating-point number";
        case toml::node_type::boolean: return "a boolean";
        default: return "a date or time";
    }
}

// Not toml++'s formatter: it writes a line feed as "\n", and errors have
// always shown every control character as its code ("\u000A"). Built piece
// by piece: the one-expression form trips a false -Wrestrict of GCC 12 in
// optimised builds.
std::string quoted(std::string_view text) {
    std::string q;
    q.reserve(text.size() + 2);
    q += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            q += '\\';
            q += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            q += escape;
        } else {
            q += c;
        }
    }
    q += '"';
    return q;
}

std::string joined(Names list) {
    std::string all;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i > 0) all += i + 1 == list.size() ? " or " : ", ";
        all += quoted(list[i]);
    }
    return all;
}

bool Reader::fail(const toml::source_region& at, const std::string& key, const std::string& what) {
    if (error_.empty()) {
        const unsigned line = at.begin.line > 0 ? at.begin.line : 1;
        error_ = file_ + ":" + std::to_string(line) + ": key '" + key + "': " + what;
    }
    return false;
}

bool Table::only(std::initializer_list<std::string_view> known) {
    for (auto&& [key, node] : table_) {
        bool found = false;
        for (std::string_view k : known)
            found = found || key.str() == k;
        if (!found) return reader_.fail(key.source(), full(key.str()), "unknown key");
    }
    return true;
}

const toml::node* Table::find(std::string_view key) {
    const toml::node* node = table_.get(key);
    // A missing key has no line of its own: name the table's.
    if (node == nullptr) reader_.fail(table_.source(), full(key), "missing");
    return node;
}

bool Table::integer(std::string_view key, std::int64_t low, std::int64_t high, std::int64_t& out,
                    const std::string& why) {
    const toml::node* node = find(key);
    if (node == nullptr) return false;
    if (!node->is_integer()) return wrong_type(key, *node, "an integer");
    const std::int64_t v = node->as_integer()->get();
    if (v < low || v > high) {
        std::string what =
            std::to_string(v) + " is outside " + std::to_string(low) + ".." + std::to_string(high);
        if (!why.empty()) what += " (" + why + ")";
        return reader_.fail(node->source(), full(key), what);
    }
    out = v;
    return true;
}

bool Table::text(std::string_view key, std::string_view& out) {
    const toml::node* node = find(key);
    if (node == nullptr) return false;
    if (!node->is_string()) return wrong_type(key, *node, "a string");
    out = node->as_string()->get();
    at_ = node->source();
    return true;
}

bool Table::sub(std::string_view key, const toml::table*& out) {
    const toml::node* node = find(key);
    if (node == nullptr) return false;
    if (!node->is_table()) return wrong_type(key, *node, "a table");
    out = node->as_table();
    return true;
}

bool Table::wrong_type(std::string_view key, const toml::node& node, const char* wanted) {
    return reader_.fail(node.source(), full(key),
                        std::string("must be ") + wanted + ", not " + type_name(node));
}
