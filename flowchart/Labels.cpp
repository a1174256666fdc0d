#include "flowchart/Labels.h"

#include "check/CheckProgram.h"
#include "check/ValueText.h"
#include "syntax/Failure.h"

namespace jox {

Text cutLabel(const Text& text, long width) {
    // Every line after the first is counted from this width, whatever the
    // label's own width.
    constexpr long lineWidth = 15;
    Text out;
    long count = width;
    for (char c : text) {
        if (count == 0) {
            out += "...";
            break;
        }
        if (c == '\n') {
            if (count != lineWidth) out += c;
            count = lineWidth;
        } else if (c == '\t') {
            out += "  ";
            count -= 2;
        } else {
            out += c;
            count -= 1;
        }
    }
    return out;
}

const Integer& getInt(const MemValue& value) { return std::get<M_Int>(value.v).value; }
double getFloat(const MemValue& value) { return std::get<M_Float>(value.v).value; }
const Text& getStr(const MemValue& value) { return std::get<M_Str>(value.v).value; }

Text printText(const ExpList& items, const Memory& memory) {
    Text out;
    for (const ExpPtr& e : items) {
        MemValue value = evalExp(*e, memory);
        TypeCheck t = checkMemType(value);
        if (equalType(t, T_INT))
            out += intText(getInt(value));
        else if (equalType(t, T_REAL))
            out += realText(getFloat(value));
        else if (equalType(t, T_STRING))
            out += getStr(value);
        else
            fail("Tipo n\xE3o permitido em impress\xE3o: " + fromExpExp(*e) + ".");
    }
    return out;
}

}  // namespace jox
