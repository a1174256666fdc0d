// The text of numbers as the system shows them: in messages that quote a
// literal, in the output of imprima, in flowchart labels and as the input of
// formatar.  One conversion, used by the checker's text form and by the
// evaluator's value text alike.
#pragma once

#include "syntax/JoxTypes.h"

namespace jox {

// Plain decimal digits of an integer of any size, "-" in front when negative:
// 0, -42, 123456789012345678901234567890.
Text intText(const Integer& value);

// The shortest digit string that reads back as the same double, written
//  - plainly when 0.1 <= |x| < 10^7 and for zero: 0.0, -0.0, 0.5, 100.0,
//    9999999.9 (always a digit on each side of the point);
//  - otherwise as one digit, ".", at least one more digit, "e" and the decimal
//    exponent: 5.0e-2, 1.0e7, 1.00000005e7, 1.5e300;
// with "-" in front of a negative value, and Infinity, -Infinity, NaN.
Text realText(double value);

}  // namespace jox
