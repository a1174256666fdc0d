// Expressions evaluated as the parser builds them (unchecked, so the tables
// also reach what only the evaluator's own guards refuse): each case gives
// the value text, or the message the run ends with.
#include <gtest/gtest.h>

#include <string>

#include "RunSupport.h"
#include "eval/EvalExp.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

struct Case {
    const char* exp;
    std::string expected;  // the value text, or the failure message
};

const std::string contact = "\nPor favor, entre em contato com os desenvolvedores do sistema.";

// x and y unset; i = 5; n = -1; big = 10^20; s = "abc"; e = ""; t a text
// vector ["a", "b"]; v an int vector [7, unset, 9].
Memory sampleMemory() {
    Memory m;
    for (const char* name : {"x", "y"}) evalUpdate(m, name, MemValue{M_Garbage{}});
    evalUpdate(m, "i", MemValue{M_Int{5}});
    evalUpdate(m, "n", MemValue{M_Int{-1}});
    evalUpdate(m, "big", MemValue{M_Int{Integer("100000000000000000000")}});
    evalUpdate(m, "s", MemValue{M_Str{"abc"}});
    evalUpdate(m, "e", MemValue{M_Str{""}});
    evalUpdate(m, "t", MemValue{M_Vector{{MemValue{M_Str{"a"}}, MemValue{M_Str{"b"}}}}});
    evalUpdate(m, "v", MemValue{M_Vector{{MemValue{M_Int{7}}, MemValue{M_Garbage{}}, MemValue{M_Int{9}}}}});
    return m;
}

std::string outcome(const char* text, const Memory& m) {
    ExpPtr e = test::parseExp(text);
    try {
        return fromMem(evalExp(*e, m));
    } catch (const JoxError& err) {
        return err.what();
    }
}

void runTable(const Case* begin, const Case* end) {
    Memory m = sampleMemory();
    for (const Case* c = begin; c != end; ++c) EXPECT_EQ(outcome(c->exp, m), c->expected) << c->exp;
}

TEST(Expressions, Arithmetic) {
    const Case cases[] = {
        {"3 + 2", "5"},
        {"3 + 0.5", "3.5"},
        {"0.5 + 3", "3.5"},
        {"2 ^ 100", "1267650600228229401496703205376"},
        {"123456789012345678901234567890 * 987654321098765432109876543210",
         "121932631137021795226185032733622923332237463801111263526900"},
        {"1 - 3", "-2"},
        {"1 / 2", "0.5"},
        {"1 / 0", "Infinity"},
        {"-1 / 0", "-Infinity"},
        {"0 / 0", "NaN"},
        {"1.5 / 0", "Infinity"},
        {"7 div 2", "3"},
        {"-7 div 2", "-4"},
        {"7 div -2", "-4"},
        {"-7 div -2", "3"},
        {"7 % 2", "1"},
        {"-7 % 2", "1"},
        {"7 % -2", "-1"},
        {"-7 % -2", "-1"},
        {"7.0 div 2.0", "4"},
        {"5.0 div 2.0", "2"},
        {"-7.0 div 2.0", "-4"},
        {"7 div 2.0", "4"},
        {"7.5 div 2", "4"},
        {"2 ** 3", "8.0"},
        {"2 ** -1", "0.5"},
        {"10 ** -2", "1.0e-2"},
        {"(0 - 8) ** (1 / 3)", "NaN"},
        {"2 ^ 3", "8"},
        {"2.0 ^ 3", "8"},
        {"2 ^ 0.5", "1"},
        {"0 ^ 0", "1"},
        {"0 ^ 5", "0"},
        {"-2 ^ 3", "-8"},
        {"-1 ^ 100000000000000000001", "-1"},
        {"1 ^ 100000000000000000000", "1"},
        // real(i) rounds to the nearest double (ties to even), not toward 0.
        {"(2 ^ 53 + 3) + 0.0", "9.007199254740996e15"},
        {"(2 ^ 1024) + 0.0", "Infinity"},
        {"0.0 - 2 ^ 1024", "-Infinity"},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(Expressions, ArithmeticFailures) {
    const Case cases[] = {
        {"1 div 0", "Divis\xE3o por zero."},
        {"1 % 0", "Divis\xE3o por zero."},
        {"2 ^ -1", "Expoente negativo na potencia\xE7\xE3o."},
        {"1.0 div 0.0", "Valor real sem inteiro correspondente."},
        {"0.0 div 0.0", "Valor real sem inteiro correspondente."},
        {"2.0 ^ 2000", "Valor real sem inteiro correspondente."},
        {"1 + \"a\"", "Erro interno No. 140." + contact},
        {"1.5 % 2", "Erro interno No. 140." + contact},
        {"1 == 1.0", "Erro interno No. 140." + contact},
        // Both operands are evaluated, the left one first.
        {"x + y", "Vari\xE1vel x n\xE3o inicializada."},
        {"falso && x > 0", "Vari\xE1vel x n\xE3o inicializada."},
        {"verdadeiro || x > 0", "Vari\xE1vel x n\xE3o inicializada."},
        {"1 div 0 + x", "Divis\xE3o por zero."},
    };
    for (const Case& c : cases) EXPECT_EQ(outcome(c.exp, sampleMemory()), c.expected) << c.exp;
}

TEST(Expressions, ComparisonsAndLogic) {
    const Case cases[] = {
        {"verdadeiro <> falso", "verdadeiro"},
        {"verdadeiro <> verdadeiro", "falso"},
        {"verdadeiro == verdadeiro", "verdadeiro"},
        {"\"abc\" < \"abd\"", "verdadeiro"},
        {"\"ab\" < \"abc\"", "verdadeiro"},
        {"\"B\" < \"a\"", "verdadeiro"},
        {"\"\" < \"a\"", "verdadeiro"},
        {"\"\" == \"\"", "verdadeiro"},
        {"\"abc\" <> \"abC\"", "verdadeiro"},
        {"\"\xE9\" > \"z\"", "verdadeiro"},  // Latin-1 codes above 127 sort last
        {"\"abc\" >= \"abc\"", "verdadeiro"},
        {"\"abc\" <= \"ab\"", "falso"},
        {"10 ^ 30 > 10 ^ 29", "verdadeiro"},
        {"0 - 10 ^ 30 < 1", "verdadeiro"},
        {"2.5 >= 2.5", "verdadeiro"},
        {"0.0 / 0.0 == 0.0 / 0.0", "falso"},
        {"0.0 / 0.0 <> 0.0 / 0.0", "verdadeiro"},
        {"0.0 / 0.0 < 1.0", "falso"},
        {"0.0 / 0.0 >= 1.0", "falso"},
        {"0.0 / 0.0 <= 1.0", "falso"},
        {"0.0 / 0.0 > 1.0", "falso"},
        {"falso && verdadeiro", "falso"},
        {"falso || verdadeiro", "verdadeiro"},
        {"!falso", "verdadeiro"},
        {"!(1 < 2)", "falso"},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(Expressions, VariablesAndElements) {
    const Case cases[] = {
        {"i + v[0]", "12"},
        {"v[i - 3]", "9"},
        {"v[1]", "Vari\xE1vel v[1] n\xE3o inicializada."},
        {"v[3]", "Vetor v[3] indexado fora dos limites."},
        {"v[n]", "Vetor v[-1] indexado fora dos limites."},
        // A huge index is out of bounds and written in full, never wrapped.
        {"v[big]", "Vetor v[100000000000000000000] indexado fora dos limites."},
        {"v[2 ^ 32]", "Vetor v[4294967296] indexado fora dos limites."},
        {"v[1.5]", "Erro interno No. 141." + contact},
        {"x", "Vari\xE1vel x n\xE3o inicializada."},
        {"zz", "Erro Interno No. 101." + contact},
        {"qq[0]", "Erro Interno No. 102." + contact},
        {"i[0]", "Erro Interno No. 102." + contact},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(Expressions, Signs) {
    const Case cases[] = {
        {"-5", "-5"},
        {"-2.5", "-2.5"},
        {"+5", "5"},
        {"-i", "-5"},
        {"-v[0]", "-7"},
        {"-(1 + 2)", "Operador negativo atribuido incorretamente. "},
        {"-pi", "Operador negativo atribuido incorretamente. "},
        {"-sen(1.0)", "Operador negativo atribuido incorretamente. "},
        {"- -1", "Operador negativo atribuido incorretamente. "},
        {"+(1)", "Operador positivo atribuido incorretamente. "},
        {"-s", "Operador negativo atribuido incorretamente a variavel s."},
        {"+s", "Operador positivo atribuido incorretamente a variavel s."},
        {"-t[1]", "Operador negativo atribuido incorretamente a variavel t."},
        {"-x", "Vari\xE1vel x n\xE3o inicializada."},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(Expressions, TextFunctions) {
    const Case cases[] = {
        {"strnprim(\"abc\", 5)", "abc"},
        {"strnresto(\"abc\", 5)", ""},
        {"strnprim(\"abc\", 0)", ""},
        {"strnresto(\"abc\", 0)", "abc"},
        {"strnprim(\"abc\", big)", "abc"},
        {"strnresto(s, 1)", "bc"},
        {"strnprim(s, -1)", "Argumento com valor invalido."},
        {"strnprim(s, (1))", "Argumento com valor invalido."},
        {"strnprim(s, n)", "Indice inexistente na funcao strenprim."},
        {"strnresto(s, n)", "Indice inexistente na funcao strnresto."},
        {"strelem(\"abc\", 0)", "a"},
        {"strelem(t[1], 0)", "b"},
        {"strelem(\"abc\", 3)", "String com tamanho inferior ao indice na funcao strelem."},
        {"strelem(\"abc\", big)", "String com tamanho inferior ao indice na funcao strelem."},
        {"strelem(\"abc\", n)", "Indice inexistente na funcao strelem."},
        {"strtam(e)", "0"},
        {"strtam(s)", "3"},
        {"strprim(e)", "String vazia na funcao strprim."},
        {"strresto(e)", "String vazia na funcao strresto."},
        {"strult(e)", "String vazia na funcao strult."},
        {"strresto(\"a\")", ""},
        {"strprim(s)", "a"},
        {"strult(s)", "c"},
        {"strcopia(s)", "abc"},
        {"strconcat(s, t[0])", "abca"},
        {"strconcat(s, s)", "abcabc"},
        {"strcomp(\"abc\", \"abd\")", "menor"},
        {"strcomp(\"b\", \"abc\")", "maior"},
        {"strcomp(\"ab\", \"abc\")", "menor"},
        {"strcomp(\"ab\", \"ab\")", "igual"},
        {"strcomp(\"Z\", \"a\")", "menor"},
        {"strtam(strconcat(s, s))", "Erro Interno no. 107."},
        {"strtam((s))", "Erro Interno no. 107."},
        {"strtam(i)", "Erro Interno no. 108."},
        {"strnprim(s, t[0])", "Erro Interno no. 110."},
        {"strtam(x)", "Vari\xE1vel x n\xE3o inicializada."},
        // The first argument is evaluated, checks included, before the second.
        {"strnprim(x, y)", "Vari\xE1vel x n\xE3o inicializada."},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(Expressions, NumericFunctions) {
    const Case cases[] = {
        {"formatar(3.14159, 2)", "3.14"},
        {"formatar(2.678, 2)", "2.67"},
        {"formatar(2.0, 3)", "2.000"},
        {"formatar(5, 2)", "5.00"},
        {"formatar(10000000.0, 2)", "1.00"},
        {"formatar(0.05, 3)", "5.000"},
        {"formatar(-1.5, 2)", "Numero invalido na funcao formatar."},
        {"formatar(1.5, 0)", "Indice incorreto na funcao formatar."},
        {"formatar(-1.5, 0)", "Numero invalido na funcao formatar."},
        {"formatar(1.0 / 0.0, 2)", "Numero invalido na funcao formatar."},
        {"formatar(1.5, n)", "Indice incorreto na funcao formatar."},
        {"formatar(1.5, (2))", "Argumento com valor invalido."},
        {"formatar(s, 2)", "Erro Interno no. 106."},
        {"log(0)", "-Infinity"},
        {"log(1)", "0.0"},
        {"log(-1)", "Numero negativo na funcao log."},
        {"raiz(-4)", "Numero negativo na funcao raiz."},
        {"raiz(0.0 / 0.0)", "Numero negativo na funcao raiz."},
        {"raiz(0)", "0.0"},
        {"raiz(2)", "1.4142135623730951"},
        {"sen(0)", "0.0"},
        {"cos(0)", "1.0"},
        {"tan(0.0)", "0.0"},
        {"exp(1)", "2.718281828459045"},
        {"realint(2.5)", "2"},
        {"realint(3.5)", "4"},
        {"realint(-2.5)", "-2"},
        {"realint(-3.5)", "-4"},
        {"realint(2.0 ** 70)", "1180591620717411303424"},
        {"realint(1.0 / 0.0)", "Valor real sem inteiro correspondente."},
        {"realint(3)", "Erro Interno no. 105."},
        {"intreal(7)", "7.0"},
        {"intreal(2.5)", "2.5"},
        {"abs(-3)", "3"},
        {"abs(-2.5)", "2.5"},
        {"abs(0 - 10 ^ 25)", "10000000000000000000000000"},
        {"pi", "3.141592653589793"},
    };
    runTable(std::begin(cases), std::end(cases));
}

}  // namespace
}  // namespace jox
