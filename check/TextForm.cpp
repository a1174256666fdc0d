// The text form of expressions and factors, written into one buffer so that
// long operator chains cost linear time.
#include "check/CheckProgram.h"
#include "check/ValueText.h"
#include "syntax/Failure.h"

namespace jox {

namespace {

void writeExp(const Expression& exp, Text& out);
void writeFactor(const Factor& factor, Text& out);

void write(const ExpPtr& e, Text& out) { writeExp(*e, out); }
void write(const FactorPtr& f, Text& out) { writeFactor(*f, out); }

template <class Bin>
void writeBin(const Bin& b, const char* op, Text& out) {
    write(b.left, out);
    out += op;
    write(b.right, out);
}

template <class Arg>
void writeCall(const char* name, const Arg& arg, Text& out) {
    out += name;
    out += '(';
    write(arg, out);
    out += ')';
}

template <class A, class B>
void writeCall2(const char* name, const A& first, const B& second, Text& out) {
    out += name;
    out += '(';
    write(first, out);
    out += ',';
    write(second, out);
    out += ')';
}

void writeExp(const Expression& exp, Text& out) {
    checkStack();
    std::visit(overloaded{
                   [&](const E_Factor& x) { write(x.factor, out); },
                   [&](const E_Mais& x) { writeBin(x, "+", out); },
                   [&](const E_Menos& x) { writeBin(x, "-", out); },
                   [&](const E_Prod& x) { writeBin(x, "*", out); },
                   [&](const E_Div& x) { writeBin(x, "/", out); },
                   [&](const E_IDiv& x) { writeBin(x, "div", out); },
                   [&](const E_Igual& x) { writeBin(x, "=", out); },
                   [&](const E_Maior& x) { writeBin(x, ">", out); },
                   [&](const E_Menor& x) { writeBin(x, "<", out); },
                   [&](const E_Maiorig& x) { writeBin(x, ">=", out); },
                   [&](const E_Menorig& x) { writeBin(x, "<=", out); },
                   [&](const E_Dif& x) { writeBin(x, "<>", out); },
                   [&](const E_E& x) { writeBin(x, "&&", out); },
                   [&](const E_Ou& x) { writeBin(x, "||", out); },
                   [&](const E_Nao& x) {
                       out += '!';
                       write(x.arg, out);
                   },
                   [&](const E_Resto& x) { writeBin(x, "%", out); },
                   [&](const E_Pot& x) { writeBin(x, "**", out); },
                   [&](const E_IPot& x) { writeBin(x, "^", out); },
               },
               exp.v);
}

void writeFactor(const Factor& factor, Text& out) {
    checkStack();
    std::visit(overloaded{
                   [&](const E_Int& x) { out += intText(x.value); },
                   [&](const E_Boolean& x) { out += x.value ? "True" : "False"; },
                   [&](const E_Var& x) { out += x.name; },
                   [&](const E_Vector& x) {
                       out += x.name;
                       out += '[';
                       write(x.index, out);
                       out += ']';
                   },
                   [&](const E_Float& x) { out += realText(x.value); },
                   [&](const E_Str& x) { out += x.value; },
                   [&](const E_Par& x) {
                       out += '(';
                       write(x.arg, out);
                       out += ')';
                   },
                   // Signs are not written.
                   [&](const E_Pos& x) { write(x.arg, out); },
                   [&](const E_Neg& x) { write(x.arg, out); },
                   [&](const E_StrComp& x) { writeCall("strtam", x.arg, out); },
                   [&](const E_StrConcat& x) { writeCall2("strconcat", x.first, x.second, out); },
                   [&](const E_StrCompara& x) { writeCall2("strcompara", x.first, x.second, out); },
                   [&](const E_StrNPrim& x) { writeCall2("strnprim", x.first, x.second, out); },
                   [&](const E_StrNResto& x) {
                       writeCall2("strnresto", x.first, x.second, out);
                       out += ' ';
                   },
                   [&](const E_StrUlt& x) { writeCall("strult", x.arg, out); },
                   [&](const E_StrCopia& x) { writeCall("strcopia", x.arg, out); },
                   [&](const E_StrPrim& x) { writeCall("strprim", x.arg, out); },
                   [&](const E_StrCalda& x) { writeCall("strresto", x.arg, out); },
                   [&](const E_StrElem& x) { writeCall2("strelem", x.first, x.second, out); },
                   [&](const E_RaizQuad& x) { writeCall("raiz", x.arg, out); },
                   [&](const E_Seno& x) { writeCall("sen", x.arg, out); },
                   [&](const E_Coseno& x) { writeCall("cos", x.arg, out); },
                   [&](const E_Tangente& x) { writeCall("tan", x.arg, out); },
                   [&](const E_Exp& x) { writeCall("exp", x.arg, out); },
                   [&](const E_Log& x) { writeCall("log", x.arg, out); },
                   [&](const E_Pi&) { out += "pi"; },
                   [&](const E_Abs& x) { writeCall("abs", x.arg, out); },
                   [&](const E_RealInt& x) { writeCall("realint", x.arg, out); },
                   [&](const E_IntReal& x) { writeCall("intreal", x.arg, out); },
                   [&](const E_Formatar& x) { writeCall2("formatar", x.number, x.count, out); },
               },
               factor.v);
}

}  // namespace

Text fromExpExp(const Expression& exp) {
    Text out;
    writeExp(exp, out);
    return out;
}

Text fromFactor(const Factor& factor) {
    Text out;
    writeFactor(factor, out);
    return out;
}

}  // namespace jox
