// The run-time messages that several parts of the evaluator raise.
#include "eval/Messages.h"

#include "syntax/Failure.h"

namespace jox {

std::string unsetMessage(const Text& name) { return "Vari\xE1vel " + name + " n\xE3o inicializada."; }

void failUnset(const Text& name) { fail(unsetMessage(name)); }

void failUnsetElement(const Text& name, IntVal index) {
    fail("Vari\xE1vel " + name + "[" + intValText(index) + "] n\xE3o inicializada.");
}

void failOutOfBounds(const Text& name, IntVal index) {
    fail("Vetor " + name + "[" + intValText(index) + "] indexado fora dos limites.");
}

std::string withContactLine(const std::string& first) {
    return first + "\nPor favor, entre em contato com os desenvolvedores do sistema.";
}

std::string internalMessage(InternalError number) {
    switch (number) {
        case kNoSuchVariable: return withContactLine("Erro Interno No. 101.");
        case kNoSuchVector: return withContactLine("Erro Interno No. 102.");
        case kNoVectorToStore: return withContactLine("Erro Interno N0. 103.");
        default: return internalError(number);
    }
}

void failInternal(InternalError number) { fail(internalMessage(number)); }

}  // namespace jox
