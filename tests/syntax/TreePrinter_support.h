// Test-only text form of syntax trees, in the shape of the tree's own
// vocabulary: every node is its variant name followed by its fields, a
// compound field in parentheses, a sequence in brackets, texts quoted with
// non-printable bytes escaped.  For example the factor expression of 1 is
//   Factor (E_Int 1)
// and the assignment x <- -y is
//   Atrib (Simple "x") (Factor (E_Neg (E_Var "y")))
#pragma once

#include <string>

#include "syntax/JoxTypes.h"

namespace jox::test {

std::string show(const Program& p);
std::string show(const Declaration& d);
std::string show(const Variable& v);
std::string show(const Command& c);
std::string show(const Expression& e);
std::string show(const Factor& f);

// A text as it is shown: quoted, with \n, \t, \\, \" and \xNN escapes.
std::string quote(const std::string& text);

// A double in its shortest round-trip decimal form.
std::string real(double d);

}  // namespace jox::test
