// The run-time messages that several parts of the evaluator raise, and the
// internal errors of states that a checked program cannot reach.
#pragma once

#include <string>

#include "eval/Numbers.h"
#include "syntax/JoxTypes.h"

namespace jox {

// "Vari\xE1vel NAME n\xE3o inicializada."
std::string unsetMessage(const Text& name);
[[noreturn]] void failUnset(const Text& name);
// "Vari\xE1vel NAME[INDEX] n\xE3o inicializada."
[[noreturn]] void failUnsetElement(const Text& name, IntVal index);
// "Vetor NAME[INDEX] indexado fora dos limites."
[[noreturn]] void failOutOfBounds(const Text& name, IntVal index);

// The first line of an internal error followed by a line break and the
// request to contact the developers.
std::string withContactLine(const std::string& first);

// The internal errors of the evaluator.
enum InternalError : int {
    kNoSuchVariable = 101,    // "Erro Interno No. 101." + contact line
    kNoSuchVector = 102,      // "Erro Interno No. 102." + contact line
    kNoVectorToStore = 103,   // "Erro Interno N0. 103." + contact line
    kOperands = 140,          // operands outside the tables of an operation
    kIndexNotInteger = 141,   // a vector index that is not an integer
    kSizeNotInteger = 142,    // a declared size that is not an integer
    kNoText = 143,            // the text of a value that has none
    kAbsOperand = 145,        // abs of something that is no number
    kCommandKind = 146,       // a command the console run does not run
    kLeiaTarget = 147,        // a leia target that is no variable
    kWrongType = 148,         // a value of another type than its variable's
    kWholeVector = 149,       // a whole vector used as a value
};
// The internal error `number` in the wording of its kind (101 to 103 have
// their own; the rest "Erro interno No. N." + contact line).
std::string internalMessage(InternalError number);
[[noreturn]] void failInternal(InternalError number);

}  // namespace jox
