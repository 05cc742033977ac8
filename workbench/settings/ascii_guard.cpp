#include "workbench/settings/ascii_guard.h"

#include <cstddef>

// A TOML text is scanned as the parser would cut it: code, comments and the
// four kinds of string, each to its own end.
unsigned non_ascii_line(std::string_view text) {
    enum class In { Code, Comment, Basic, Literal, MultiBasic, MultiLiteral } in = In::Code;
    unsigned line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool triple = i + 2 < text.size() && text[i + 1] == c && text[i + 2] == c;
        if (c == '\n') ++line;
        if (static_cast<unsigned char>(c) >= 0x80 && in != In::Comment) return line;
        switch (in) {
            case In::Code:
                if (c == '#') in = In::Comment;
                if (c == '"' || c == '\'') {
                    const bool basic = c == '"';
                    in = triple ? (basic ? In::MultiBasic : In::MultiLiteral)
                                : (basic ? In::Basic : In::Literal);
                    if (triple) i += 2;
                }
                break;
            case In::Comment:
                if (c == '\n') in = In::Code;
                break;
            case In::Basic:
            case In::MultiBasic:
                if (c == '\\') {
                    // The escaped character is still checked on the next round
                    // if it is not plain.
                    if (i + 1 < text.size() && text[i + 1] == '\n') ++line;
                    if (i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80)
                        return line;
                    ++i;
                } else if (c == '"' && (in == In::Basic || triple)) {
                    if (in == In::MultiBasic) i += 2;
                    in = In::Code;
                } else if (c == '\n' && in == In::Basic) {
                    in = In::Code;  // unterminated: the parser says so
                }
                break;
            case In::Literal:
            case In::MultiLiteral:
                if (c == '\'' && (in == In::Literal || triple)) {
                    if (in == In::MultiLiteral) i += 2;
                    in = In::Code;
                } else if (c == '\n' && in == In::Literal) {
                    in = In::Code;
                }
                break;
        }
    }
    return 0;
}
