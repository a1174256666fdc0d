// The texts of flowchart labels: shortening to a width, and the text of the
// values an imprima shows in its node.
#pragma once

#include "eval/EvalExp.h"
#include "syntax/JoxTypes.h"

namespace jox {

// The widths labels are cut to.
constexpr long indexWidth = 4;       // index text of a vector target in the drawn flowchart
constexpr long conditionWidth = 6;   // condition of a rhombus node
constexpr long valueWidth = 7;       // value written into a node after a store
constexpr long expressionWidth = 8;  // right-hand side of a drawn assignment
constexpr long listWidth = 15;       // imprima list drawn, and values read or printed

// The text shortened to `width`: kept whole when it fits, otherwise its first
// `width` characters and "...", dropping the rest and every later line.  A
// tab counts two and is written as two blanks; every line after a line break
// is counted from 15; a line break met with a count of exactly 15 (at the
// start of a width-15 label or right after another line break) is dropped.
// A count that a tab takes below zero is never exhausted again on that line.
Text cutLabel(const Text& text, long width);

// The texts of the values of `items` run together without separator, each
// evaluated in order; an integer in decimal, a real in the value text, a
// text as it is.  Any other value ends the run with
// "Tipo n\xE3o permitido em impress\xE3o: " + the expression's text + ".".
Text printText(const ExpList& items, const Memory& memory);

// The payload of a value whose type was tested before.
const Integer& getInt(const MemValue& value);
double getFloat(const MemValue& value);
const Text& getStr(const MemValue& value);

}  // namespace jox
