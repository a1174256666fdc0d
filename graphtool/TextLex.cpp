#include "graphtool/TextLex.h"

#include <cstring>

namespace jox::dv::lex {

bool isBlank(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13) || c == 160; }

bool isLetter(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    // Latin-1 letters: ordinal indicators, micro sign, and the accented
    // letters except the multiplication and division signs.
    if (c == 170 || c == 181 || c == 186) return true;
    return c >= 192 && c != 215 && c != 247;
}

std::size_t skipBlanks(std::string_view s, std::size_t pos) {
    while (pos < s.size() && isBlank(static_cast<unsigned char>(s[pos]))) ++pos;
    return pos;
}

std::size_t wordLength(std::string_view s, std::size_t pos) {
    if (pos >= s.size() || !isLetter(static_cast<unsigned char>(s[pos]))) return 0;
    std::size_t end = pos + 1;
    while (end < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[end]);
        if (!(isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '\'')) break;
        ++end;
    }
    return end - pos;
}

namespace {

// ASCII control names, the longer of two that share a prefix first ("SOH"
// before "SO").
struct ControlName {
    const char* name;
    int code;
};
const ControlName kNames[] = {
    {"NUL", 0},  {"SOH", 1},  {"STX", 2},  {"ETX", 3},  {"EOT", 4},  {"ENQ", 5},  {"ACK", 6},
    {"BEL", 7},  {"BS", 8},   {"HT", 9},   {"LF", 10},  {"VT", 11},  {"FF", 12},  {"CR", 13},
    {"SO", 14},  {"SI", 15},  {"DLE", 16}, {"DC1", 17}, {"DC2", 18}, {"DC3", 19}, {"DC4", 20},
    {"NAK", 21}, {"SYN", 22}, {"ETB", 23}, {"CAN", 24}, {"EM", 25},  {"SUB", 26}, {"ESC", 27},
    {"FS", 28},  {"GS", 29},  {"RS", 30},  {"US", 31},  {"SP", 32},  {"DEL", 127}};

int digitValue(char c, int base) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return -1;
    return d < base ? d : -1;
}

// Reads the digits of a numeric escape at `pos`; false when there is none or
// the code leaves the 8-bit range.
bool readCode(std::string_view s, std::size_t& pos, int base, std::string& out) {
    std::size_t start = pos;
    unsigned long code = 0;
    while (pos < s.size()) {
        int d = digitValue(s[pos], base);
        if (d < 0) break;
        code = code * base + d;
        if (code > 255) return false;
        ++pos;
    }
    if (pos == start) return false;
    out += static_cast<char>(code);
    return true;
}

}  // namespace

bool readStringLiteral(std::string_view s, std::size_t& pos, std::string& out) {
    std::size_t i = pos + 1;  // past the opening quote
    while (true) {
        if (i >= s.size()) return false;
        char c = s[i];
        if (c == '"') break;
        if (c != '\\') {
            out += c;
            ++i;
            continue;
        }
        ++i;  // past the backslash
        if (i >= s.size()) return false;
        char e = s[i];
        const char* simple = std::strchr("abfnrtv\\\"'", e);
        if (simple != nullptr && e != '\0') {
            static const char decoded[] = "\a\b\f\n\r\t\v\\\"'";
            out += decoded[simple - "abfnrtv\\\"'"];
            ++i;
        } else if (e >= '0' && e <= '9') {
            if (!readCode(s, i, 10, out)) return false;
        } else if (e == 'o') {
            ++i;
            if (!readCode(s, i, 8, out)) return false;
        } else if (e == 'x') {
            ++i;
            if (!readCode(s, i, 16, out)) return false;
        } else if (e == '^') {
            if (i + 1 >= s.size() || s[i + 1] < '@' || s[i + 1] > '_') return false;
            out += static_cast<char>(s[i + 1] - 64);
            i += 2;
        } else if (e == '&') {
            ++i;
        } else if (isBlank(static_cast<unsigned char>(e))) {
            while (i < s.size() && isBlank(static_cast<unsigned char>(s[i]))) ++i;
            if (i >= s.size() || s[i] != '\\') return false;
            ++i;
        } else {
            bool found = false;
            for (const ControlName& n : kNames) {
                std::size_t len = std::strlen(n.name);
                if (s.substr(i, len) == n.name) {
                    out += static_cast<char>(n.code);
                    i += len;
                    found = true;
                    break;
                }
            }
            if (!found) return false;
        }
    }
    pos = i + 1;
    return true;
}

}  // namespace jox::dv::lex
