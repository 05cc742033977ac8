// Reading a parsed TOML text against a fixed schema, with errors people can
// act on: "FILE:LINE: key 'channel1.pressure.span': what is wrong", the first
// error only. Every key a table holds must be one the schema has, every key
// the schema has must be there, and each value must have the right type and
// lie in its range or list of names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "workbench/settings/setting_spellings.h"
#include "workbench/settings/toml.h"

// "a table", "an integer", ... as an error names a node's type.
const char* type_name(const toml::node& n);

// A text as a TOML string says it, so an error names a value the way it is
// written in the file ("\"Hg") and stays on one line whatever the value holds.
std::string quoted(std::string_view text);

// "\"A\", \"B\" or \"C\"".
std::string joined(Names list);

// The first error of one file.
class Reader {
public:
    explicit Reader(const std::string& file) : file_(file) {}

    bool fail(const toml::source_region& at, const std::string& key, const std::string& what);
    const std::string& error() const { return error_; }

private:
    const std::string& file_;
    std::string error_;
};

// One table of the file; `path` is its dotted name ("" for the root).
class Table {
public:
    Table(Reader& reader, const toml::table& table, std::string path)
        : reader_(reader), table_(table), path_(std::move(path)) {}

    // Every key of the table is one of `known`.
    bool only(std::initializer_list<std::string_view> known);
    // The key's node; a missing key is an error.
    const toml::node* find(std::string_view key);

    bool integer(std::string_view key, std::int64_t low, std::int64_t high, std::int64_t& out,
                 const std::string& why = "");
    bool text(std::string_view key, std::string_view& out);
    bool sub(std::string_view key, const toml::table*& out);

    // A string that must be one of `list`; `out` becomes its index.
    template <typename T>
    bool name(std::string_view key, Names list, T& out) {
        std::string_view t;
        if (!text(key, t)) return false;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] == t) {
                out = static_cast<T>(i);
                return true;
            }
        }
        return bad_value(key, quoted(t) + " is not one of " + joined(list));
    }

    // A bad value of the key text() or name() last read.
    bool bad_value(std::string_view key, const std::string& what) {
        return reader_.fail(at_, full(key), what);
    }

    std::string full(std::string_view key) const {
        return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
    }
    Reader& reader() { return reader_; }

private:
    bool wrong_type(std::string_view key, const toml::node& node, const char* wanted);

    Reader& reader_;
    const toml::table& table_;
    std::string path_;
    toml::source_region at_{};
};
