// Internal to the checker: the declarations of one program with its names
// indexed once, so that every name a command uses is looked up in constant
// time.  The answers are those of getVarType: the first declaration that holds
// a name decides its type, and the first variable of that name in that
// declaration its form.
#pragma once

#include <string_view>
#include <unordered_map>

#include "syntax/JoxTypes.h"

namespace jox {

class Declared {
public:
    // `decls` must outlive this object: the index refers to its names.
    explicit Declared(const DeclList& decls);

    const DeclList& decls() const { return decls_; }

    // As getVarType(name, decls()), including its failure.
    TypeCheck varType(const Text& name) const;

private:
    const DeclList& decls_;
    std::unordered_map<std::string_view, TypeCheck> types_;
};

// The typings behind checkExpType / checkFactorType, over indexed names.
TypeCheck expType(const Expression& exp, const Declared& d);
TypeCheck factorType(const Factor& factor, const Declared& d);

// The four simple types and the four vector types.
inline bool simpleType(TypeCheck t) {
    return t == T_INT || t == T_BOOL || t == T_REAL || t == T_STRING;
}
inline bool vectorType(TypeCheck t) {
    return t == T_INTVECTOR || t == T_BOOLVECTOR || t == T_REALVECTOR || t == T_STRINGVECTOR;
}

// The messages for a name declared nowhere and for a name used in the wrong
// form.
[[noreturn]] void failUndeclared(const Text& name);  // "... n\xE3o declarada!"
[[noreturn]] void failWrongForm(const Text& shown);  // "... n\xE3o declarada."

}  // namespace jox
