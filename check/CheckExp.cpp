// Typing of expressions and factors.  Work goes left to right and innermost
// first: an operand is typed completely before it is tested, and an operator
// whose left operand fails its test never types its right operand.
#include "check/CheckProgram.h"
#include "check/Declared.h"
#include "syntax/Failure.h"

namespace jox {

namespace {

bool numeric(TypeCheck t) { return t == T_INT || t == T_REAL; }

TypeCheck typeOf(const ExpPtr& e, const Declared& d) { return expType(*e, d); }
TypeCheck typeOf(const FactorPtr& f, const Declared& d) { return factorType(*f, d); }

Text textOf(const ExpPtr& e) { return fromExpExp(*e); }
Text textOf(const FactorPtr& f) { return fromFactor(*f); }

// "prefix" L " op " R "."
template <class Bin>
[[noreturn]] void failBin(const char* prefix, const Bin& b, const char* op) {
    fail(prefix + textOf(b.left) + op + textOf(b.right) + ".");
}

// An operator over two operand types: `leftOk` tests the left type before the
// right operand is typed, `rightOk` the right type given the left one.
template <class Bin, class LeftOk, class RightOk>
std::pair<TypeCheck, TypeCheck> operands(const Bin& b, const Declared& d, const char* prefix,
                                         const char* op, LeftOk leftOk, RightOk rightOk) {
    TypeCheck l = typeOf(b.left, d);
    if (!leftOk(l)) failBin(prefix, b, op);
    TypeCheck r = typeOf(b.right, d);
    if (!rightOk(l, r)) failBin(prefix, b, op);
    return {l, r};
}

template <class Bin>
std::pair<TypeCheck, TypeCheck> numericOperands(const Bin& b, const Declared& d, const char* prefix,
                                                const char* op) {
    return operands(b, d, prefix, op, numeric, [](TypeCheck, TypeCheck r) { return numeric(r); });
}

TypeCheck intOrReal(std::pair<TypeCheck, TypeCheck> t) {
    return t.first == T_INT && t.second == T_INT ? T_INT : T_REAL;
}

// A comparison: the left type among `accepted`, the right one the same.
template <class Bin, class Accepted>
TypeCheck comparison(const Bin& b, const Declared& d, const char* op, Accepted accepted) {
    operands(b, d, "Tipo incorreto em compara\xE7\xE3o: ", op, accepted,
             [](TypeCheck l, TypeCheck r) { return l == r; });
    return T_BOOL;
}

bool ordered(TypeCheck t) { return t == T_INT || t == T_REAL || t == T_STRING; }
bool anyBase(TypeCheck t) { return ordered(t) || t == T_BOOL; }

template <class Bin>
TypeCheck logical(const Bin& b, const Declared& d, const char* prefix, const char* op) {
    auto isBool = [](TypeCheck t) { return t == T_BOOL; };
    operands(b, d, prefix, op, isBool, [](TypeCheck, TypeCheck r) { return r == T_BOOL; });
    return T_BOOL;
}

[[noreturn]] void failFunction(const char* keyword) {
    fail(Text("Tipo incorreto na funcao ") + keyword + ".");
}

// A function of one argument of exactly type `want`.
template <class Arg>
TypeCheck unary(const Arg& arg, const Declared& d, TypeCheck want, TypeCheck result,
                const char* keyword) {
    if (typeOf(arg, d) != want) failFunction(keyword);
    return result;
}

// A function of two arguments: the first is typed and tested before the
// second is typed at all.
template <class Fn>
TypeCheck binary(const Fn& f, const Declared& d, TypeCheck first, TypeCheck second,
                 TypeCheck result, const char* keyword) {
    if (typeOf(f.first, d) != first) failFunction(keyword);
    if (typeOf(f.second, d) != second) failFunction(keyword);
    return result;
}

// raiz, sen, cos, tan, exp, log: an int or a real gives a real.
TypeCheck numericFunction(const ExpPtr& arg, const Declared& d, const char* keyword) {
    if (!numeric(typeOf(arg, d))) failFunction(keyword);
    return T_REAL;
}

}  // namespace

TypeCheck expType(const Expression& exp, const Declared& d) {
    checkStack();
    return std::visit(
        overloaded{
            [&](const E_Factor& x) { return typeOf(x.factor, d); },
            [&](const E_Mais& x) {
                return intOrReal(numericOperands(x, d, "Tipo incorreto em adi\xE7\xE3o: ", " + "));
            },
            [&](const E_Menos& x) {
                auto t = numericOperands(x, d, "Tipo incorreto em subtra\xE7\xE3o: ", " - ");
                return typeMinus(t.first, t.second);
            },
            [&](const E_Prod& x) {
                return intOrReal(
                    numericOperands(x, d, "Tipo incorreto em multiplica\xE7\xE3o: ", " * "));
            },
            [&](const E_Div& x) {
                numericOperands(x, d, "Tipo incorreto em divis\xE3o: ", " / ");
                return T_REAL;
            },
            [&](const E_IDiv& x) {
                numericOperands(x, d, "Tipo incorreto em divis\xE3o: ", " div ");
                return T_INT;
            },
            [&](const E_Igual& x) { return comparison(x, d, " = ", anyBase); },
            [&](const E_Maior& x) { return comparison(x, d, " > ", ordered); },
            [&](const E_Menor& x) { return comparison(x, d, " < ", ordered); },
            [&](const E_Maiorig& x) { return comparison(x, d, " >= ", ordered); },
            [&](const E_Menorig& x) { return comparison(x, d, " <= ", ordered); },
            [&](const E_Dif& x) { return comparison(x, d, " <> ", ordered); },
            [&](const E_E& x) {
                return logical(x, d, "Tipo incorreto em conjun\xE7\xE3o: ", " && ");
            },
            [&](const E_Ou& x) {
                return logical(x, d, "Tipo incorreto em disjun\xE7\xE3o: ", " || ");
            },
            [&](const E_Nao& x) {
                if (typeOf(x.arg, d) != T_BOOL)
                    fail("Tipo incorreto em nega\xE7\xE3o: !" + textOf(x.arg));
                return T_BOOL;
            },
            [&](const E_Resto& x) {
                auto isInt = [](TypeCheck t) { return t == T_INT; };
                operands(x, d, "Tipo incorreto em modulo: ", " % ", isInt,
                         [](TypeCheck, TypeCheck r) { return r == T_INT; });
                return T_INT;
            },
            [&](const E_Pot& x) {
                numericOperands(x, d, "Tipo incorreto em potenciacao: ", " ** ");
                return T_REAL;
            },
            [&](const E_IPot& x) {
                numericOperands(x, d, "Tipo incorreto em potenciacao: ", " ^ ");
                return T_INT;
            },
        },
        exp.v);
}

TypeCheck factorType(const Factor& factor, const Declared& d) {
    checkStack();
    return std::visit(
        overloaded{
            [&](const E_Int&) { return T_INT; },
            [&](const E_Boolean&) { return T_BOOL; },
            [&](const E_Float&) { return T_REAL; },
            [&](const E_Str&) { return T_STRING; },
            [&](const E_Pi&) { return T_REAL; },
            [&](const E_Par& x) { return typeOf(x.arg, d); },
            // A sign puts no demand on its operand.
            [&](const E_Pos& x) { return typeOf(x.arg, d); },
            [&](const E_Neg& x) { return typeOf(x.arg, d); },
            [&](const E_Var& x) {
                TypeCheck t = d.varType(x.name);
                if (!simpleType(t)) failWrongForm(x.name);
                return t;
            },
            [&](const E_Vector& x) {
                TypeCheck t = d.varType(x.name);
                if (!vectorType(t)) failWrongForm(x.name);
                if (typeOf(x.index, d) != T_INT)
                    fail("\xCDndice incorreto no vetor " + x.name + ".");
                return conv(t);
            },
            [&](const E_StrComp& x) { return unary(x.arg, d, T_STRING, T_INT, "strtam"); },
            [&](const E_StrConcat& x) {
                return binary(x, d, T_STRING, T_STRING, T_STRING, "strconcat");
            },
            [&](const E_StrCompara& x) {
                return binary(x, d, T_STRING, T_STRING, T_STRING, "strcomp");
            },
            [&](const E_StrNPrim& x) {
                return binary(x, d, T_STRING, T_INT, T_STRING, "strnprim");
            },
            [&](const E_StrNResto& x) {
                return binary(x, d, T_STRING, T_INT, T_STRING, "strnresto");
            },
            [&](const E_StrUlt& x) { return unary(x.arg, d, T_STRING, T_STRING, "strult"); },
            [&](const E_StrCopia& x) { return unary(x.arg, d, T_STRING, T_STRING, "strcopia"); },
            [&](const E_StrPrim& x) { return unary(x.arg, d, T_STRING, T_STRING, "strprim"); },
            [&](const E_StrCalda& x) { return unary(x.arg, d, T_STRING, T_STRING, "strresto"); },
            [&](const E_StrElem& x) { return binary(x, d, T_STRING, T_INT, T_STRING, "strelem"); },
            [&](const E_RaizQuad& x) { return numericFunction(x.arg, d, "raiz"); },
            [&](const E_Seno& x) { return numericFunction(x.arg, d, "sen"); },
            [&](const E_Coseno& x) { return numericFunction(x.arg, d, "cos"); },
            [&](const E_Tangente& x) { return numericFunction(x.arg, d, "tan"); },
            [&](const E_Exp& x) { return numericFunction(x.arg, d, "exp"); },
            [&](const E_Log& x) { return numericFunction(x.arg, d, "log"); },
            [&](const E_Abs& x) {
                TypeCheck t = typeOf(x.arg, d);
                if (!numeric(t)) failFunction("abs");
                return t;
            },
            [&](const E_RealInt& x) { return unary(x.arg, d, T_REAL, T_INT, "realint"); },
            [&](const E_IntReal& x) { return unary(x.arg, d, T_INT, T_REAL, "intreal"); },
            [&](const E_Formatar& x) {
                if (typeOf(x.number, d) != T_REAL) failFunction("formatar");
                if (typeOf(x.count, d) != T_INT) failFunction("formatar");
                return T_STRING;
            },
        },
        factor.v);
}

TypeCheck checkExpType(const Expression& exp, const DeclList& decls) {
    return expType(exp, Declared(decls));
}

TypeCheck checkFactorType(const Factor& factor, const DeclList& decls) {
    return factorType(factor, Declared(decls));
}

}  // namespace jox
