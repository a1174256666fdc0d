// Console input of leia: the line reader and the conversion of a line to an
// integer or a real.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "check/CheckProgram.h"
#include "eval/EvalProgram.h"
#include "eval/Output.h"
#include "syntax/Failure.h"

namespace jox {

namespace {

bool allDigits(const Text& s, std::size_t from) {
    if (from >= s.size()) return false;
    for (std::size_t i = from; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// Where the number's body begins (after an optional "+" or "-"), and
// whether the sign was "-".
std::size_t signOf(const Text& line, bool& negative) {
    negative = !line.empty() && line[0] == '-';
    return !line.empty() && (line[0] == '-' || line[0] == '+') ? 1 : 0;
}

// Converts, or returns false for a text that is not an integer.
bool readInt(const Text& line, MemValue& out) {
    bool negative;
    std::size_t from = signOf(line, negative);
    if (!allDigits(line, from)) return false;
    Integer v;
    mpz_set_str(v.get_mpz_t(), line.c_str() + from, 10);
    if (negative) v = -v;
    out = MemValue{M_Int{std::move(v)}};
    return true;
}

// digits "." digits, with at least one digit on each side of the point.
bool readFloat(const Text& line, MemValue& out) {
    bool negative;
    std::size_t from = signOf(line, negative);
    std::size_t point = line.find('.', from);
    if (point == Text::npos || point == from || point + 1 >= line.size()) return false;
    for (std::size_t i = from; i < line.size(); ++i)
        if (i != point && (line[i] < '0' || line[i] > '9')) return false;
    // strtod rounds correctly and gives the infinity for a value beyond the
    // range of doubles; the text is plain decimal, so nothing else applies.
    double d = std::strtod(line.c_str() + from, nullptr);
    out = MemValue{M_Float{negative ? -d : d}};
    return true;
}

[[noreturn]] void failRead(const Text& shown) {
    fail("Tipo incorreto na leitura da vari\xE1vel " + shown + ".");
}

Text elementText(const Text& name, const Expression& index) {
    return name + "[" + fromExpExp(index) + "]";
}

}  // namespace

Text readInputLine() {
    static const bool interactive = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    if (interactive) flushOutput();
    Text line;
    int c;
    while ((c = std::getc(stdin)) != EOF) {
        if (c == '\n' || c == '\r') break;
        line.push_back(static_cast<char>(c));
    }
    return line;
}

MemValue getReadInt(const Text& line, const Text& name) {
    MemValue v{M_Garbage{}};
    if (!readInt(line, v)) failRead(name);
    return v;
}

MemValue getReadFloat(const Text& line, const Text& name) {
    MemValue v{M_Garbage{}};
    if (!readFloat(line, v)) failRead(name);
    return v;
}

MemValue getReadIntVector(const Text& line, const Text& name, const Expression& index) {
    MemValue v{M_Garbage{}};
    if (!readInt(line, v)) failRead(elementText(name, index));
    return v;
}

MemValue getReadFloatVector(const Text& line, const Text& name, const Expression& index) {
    MemValue v{M_Garbage{}};
    if (!readFloat(line, v)) failRead(elementText(name, index));
    return v;
}

}  // namespace jox
