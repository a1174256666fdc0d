// Declaration lookups and the small helpers over type tags and values.
#include "check/CheckProgram.h"
#include "check/Declared.h"
#include "syntax/Failure.h"

namespace jox {

namespace {

// Internal error numbers of the checker (100 is the lookup miss, whose text
// has no line break).
constexpr int kErrConv = 121;
constexpr int kErrMemType = 124;
constexpr int kErrFromMtoT = 125;

template <int Tag>
TypeCheck declaredType(const DeclOf<Tag>&, bool vector) {
    static constexpr TypeCheck simple[] = {T_INT, T_REAL, T_BOOL, T_STRING};
    static constexpr TypeCheck vectors[] = {T_INTVECTOR, T_REALVECTOR, T_BOOLVECTOR,
                                            T_STRINGVECTOR};
    return vector ? vectors[Tag] : simple[Tag];
}

const std::vector<Variable>& varsOf(const Declaration& d) {
    return std::visit([](const auto& x) -> const std::vector<Variable>& { return x.vars; }, d);
}

}  // namespace

void failUndeclared(const Text& name) { fail("Vari\xE1vel " + name + " n\xE3o declarada!"); }

void failWrongForm(const Text& shown) { fail("Vari\xE1vel " + shown + " n\xE3o declarada."); }

std::vector<Variable> removeVar(const DeclList& decls) {
    std::vector<Variable> all;
    for (const Declaration& d : decls) {
        const auto& vars = varsOf(d);
        all.insert(all.end(), vars.begin(), vars.end());
    }
    return all;
}

TypeCheck getType(const Text& name, const std::vector<Variable>& vars) {
    for (const Variable& v : vars)
        if (varName(v) == name) return std::holds_alternative<Vector>(v) ? T_VECTOR : T_SIMPLE;
    fail("Erro interno No. 100. Por favor, entre em contato com os desenvolvedores do sistema.");
}

TypeCheck getVarType(const Text& name, const DeclList& decls) {
    const Variable probe = Simple{name};
    for (const Declaration& d : decls) {
        const auto& vars = varsOf(d);
        if (!elemVar(probe, vars)) continue;
        bool vector = getType(name, vars) == T_VECTOR;
        return std::visit([&](const auto& x) { return declaredType(x, vector); }, d);
    }
    failUndeclared(name);
}

bool elemVar(const Variable& var, const std::vector<Variable>& vars) {
    const Text& name = varName(var);
    for (const Variable& v : vars)
        if (varName(v) == name) return true;
    return false;
}

Declared::Declared(const DeclList& decls) : decls_(decls) {
    for (const Declaration& d : decls)
        std::visit(
            [&](const auto& x) {
                for (const Variable& v : x.vars)
                    types_.try_emplace(varName(v),
                                       declaredType(x, std::holds_alternative<Vector>(v)));
            },
            d);
}

TypeCheck Declared::varType(const Text& name) const {
    auto it = types_.find(name);
    if (it == types_.end()) failUndeclared(name);
    return it->second;
}

TypeCheck conv(TypeCheck vectorType) {
    switch (vectorType) {
        case T_INTVECTOR:
            return T_INT;
        case T_BOOLVECTOR:
            return T_BOOL;
        case T_REALVECTOR:
            return T_REAL;
        case T_STRINGVECTOR:
            return T_STRING;
        default:
            fail(internalError(kErrConv));
    }
}

TypeCheck typeMinus(TypeCheck left, TypeCheck right) {
    bool numeric = (left == T_INT || left == T_REAL) && (right == T_INT || right == T_REAL);
    if (!numeric) return T_WRONG;
    return left == T_INT && right == T_INT ? T_INT : T_REAL;
}

bool equalType(TypeCheck a, TypeCheck b) {
    auto formOrUnset = [](TypeCheck t) { return t == T_SIMPLE || t == T_VECTOR || t == T_GARBAGE; };
    return !formOrUnset(a) && !formOrUnset(b) && a == b;
}

TypeCheck checkMemType(const MemValue& value) {
    return std::visit(overloaded{
                          [](const M_Int&) { return T_INT; },
                          [](const M_Boolean&) { return T_BOOL; },
                          [](const M_Float&) { return T_REAL; },
                          [](const M_Str&) { return T_STRING; },
                          [](const M_Garbage&) { return T_GARBAGE; },
                          [](const M_Var&) -> TypeCheck { fail(internalError(kErrMemType)); },
                          [](const M_Vector&) -> TypeCheck { fail(internalError(kErrMemType)); },
                      },
                      value.v);
}

FactorPtr fromMtoT(const MemValue& value) {
    return std::visit(overloaded{
                          [](const M_Int& x) { return mkFactor(E_Int{x.value}); },
                          [](const M_Boolean& x) { return mkFactor(E_Boolean{x.value}); },
                          [](const M_Float& x) { return mkFactor(E_Float{x.value}); },
                          [](const M_Str& x) { return mkFactor(E_Str{x.value}); },
                          [](const auto&) -> FactorPtr { fail(internalError(kErrFromMtoT)); },
                      },
                      value.v);
}

bool isVector(TypeCheck t) { return t == T_VECTOR; }
bool isSimple(TypeCheck t) { return t == T_SIMPLE; }

}  // namespace jox
