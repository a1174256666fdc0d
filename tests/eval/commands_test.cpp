// Whole programs run in-process: commands, loops and jumps, leia and imprima.
// Each case gives the program, its standard input, what it must write and
// the message it must end with ("" for a complete run).
#include <gtest/gtest.h>

#include <pthread.h>

#include <functional>
#include <string>

#include "tests/support/OnStack.h"
#include "RunSupport.h"
#include "check/CheckProgram.h"
#include "eval/EvalProgram.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

struct Case {
    const char* name;
    std::string body;  // between the declarations and fimprog
    std::string input;
    std::string out;
    std::string error;
};

const char* kDecls =
    "int i, j, k, n, v[3];\n"
    "real r, w[2];\n"
    "string s, t, u[2];\n"
    "logico b;\n";

void runTable(const Case* begin, const Case* end, const char* decls = kDecls) {
    for (const Case* c = begin; c != end; ++c) {
        test::RunResult r = test::runProgram(std::string("prog t\n") + decls + c->body + "\nfimprog\n", c->input);
        EXPECT_EQ(r.out, c->out) << c->name;
        EXPECT_EQ(r.error, c->error) << c->name;
    }
}

const std::string unsetI = "Vari\xE1vel i n\xE3o inicializada.";
const std::string contact = "\nPor favor, entre em contato com os desenvolvedores do sistema.";

TEST(Commands, AssignmentAndPrint) {
    const Case cases[] = {
        {"values run together", "imprima 1, 2; imprima \"a\"; imprima \"b\";", "", "12ab", ""},
        {"real texts", "imprima 0.1, \" \", 0.01, \" \", 1 / 3;", "", "0.1 1.0e-2 0.3333333333333333", ""},
        {"output before a failure stays", "imprima 1, i, 2;", "", "1", unsetI},
        {"stored as evaluated", "i <- 2 ^ 70; i <- i + 1; imprima i;", "", "1180591620717411303425", ""},
        {"element index before value", "v[i] <- j;", "", "", unsetI},
        {"value before the bounds check", "v[5] <- i;", "", "", unsetI},
        {"element bounds", "v[3] <- 1;", "", "", "Vetor v[3] indexado fora dos limites."},
        {"elements apart", "v[0] <- 1; v[2] <- 3; imprima v[0], v[2]; imprima v[1];", "", "13",
         "Vari\xE1vel v[1] n\xE3o inicializada."},
        {"increments in place", "i <- 41; i++; v[1] <- 0; v[1]--; v[1]--; imprima i, \" \", v[1];", "",
         "42 -2", ""},
        {"increment of an unset variable", "i++;", "", "", unsetI},
        {"increment of an unset element", "v[2]++;", "", "", "Vari\xE1vel v[2] n\xE3o inicializada."},
        {"self reference", "s <- \"ab\"; s <- strconcat(s, s); s <- strnresto(s, 1); imprima s;", "",
         "bab", ""},
        {"value copied, not shared", "s <- \"a\"; t <- s; s <- strconcat(s, \"b\"); imprima s, t;", "",
         "aba", ""},
    };
    runTable(std::begin(cases), std::end(cases));
}

// Integer assignments, element stores and conditions whose values sit at
// the edge of a machine word, or whose operands are unset, out of bounds or
// divide by zero: each must give the exact unbounded result or the usual
// message, in vectors held as words (big, 300 elements) and not (v).  Each
// case runs its commands in a loop, and the edge comes on a later pass, once
// the commands have run before.
TEST(Commands, IntegersAtTheWordLimits) {
    const char* decls = "int i, k, w, x, y, z, u, big[300], v[3];\n";
    const std::string unsetBig2 = "Vari\xE1vel big[2] n\xE3o inicializada.";
    const std::string unsetU = "Vari\xE1vel u n\xE3o inicializada.";
    const std::string byZero = "Divis\xE3o por zero.";
    const std::string twice = "para (k <- 0; k < 2; k++) { ";
    const std::string fill = "para (i <- 0; i < 300; i++) { big[i] <- i * i - 5; } ";
    const Case cases[] = {
        {"sums past the word",
         twice + "x <- 9223372036854775806 + k; y <- x + 1; z <- x - 1 + 2; imprima y, \" \", z, \" \"; }", "",
         "9223372036854775807 9223372036854775807 9223372036854775808 9223372036854775808 ", ""},
        {"least word and beyond",
         twice + "x <- 9223372036854775806 + k; y <- 0 - x - 1; z <- y - 1; imprima y, \" \", z, \" \"; }", "",
         "-9223372036854775807 -9223372036854775808 -9223372036854775808 -9223372036854775809 ", ""},
        {"nested product past the word",
         twice + "x <- 3037000499 + k; y <- x * x + 1; imprima y, \" \"; }", "",
         "9223372030926249002 9223372037000250001 ", ""},
        {"floor division and remainder",
         twice + "x <- 7 - 14 * k; y <- 2; z <- x div y; w <- x % y; imprima z, \" \", w, \" \", y div x, \" \"; "
                 "z <- y % x; imprima z, \"|\"; }",
         "", "3 1 0 2|-4 1 -1 -5|", ""},
        {"word vector takes values past the word",
         fill + twice + "x <- 9223372036854775806 + k; big[k] <- 0 - x - 1; imprima big[k], \" \"; } "
                        "big[2] <- big[1] - 1; imprima big[2], \" \", big[3];",
         "", "-9223372036854775807 -9223372036854775808 -9223372036854775809 4", ""},
        {"conditions over elements",
         fill + "z <- 0; para (i <- 0; i < 300; i++) { se (big[i] % 3 == 1) { z <- z + big[i] div 2; } } imprima z;",
         "", "1477300", ""},
        {"small vector", twice + "v[k] <- k * 10 - 1; } v[2] <- v[0] * v[1] + v[1]; imprima v[0], \" \", v[1], \" \", v[2];",
         "", "-1 9 0", ""},
        {"real of a word, ties to even",
         twice + "x <- 9007199254740990 + k; imprima intreal(x + 2), \" \", intreal(x + 4), \" \"; }", "",
         "9.007199254740992e15 9.007199254740994e15 9.007199254740992e15 9.007199254740996e15 ", ""},
        // Next to the least word, a variable or element holds its value in an
        // Integer, and it still reads as a word.
        {"words next to the least one",
         "z <- 0; para (x <- -9223372036854775799; x >= -9223372036854775807; x <- x - 3) { big[z] <- x; z++; } "
         "imprima z, \" \", x, \" \", big[1] - big[0], \" \"; se (big[2] < big[1]) { imprima \"menor\"; }",
         "", "3 -9223372036854775808 -3 menor", ""},
        // A large result is moved from the operation into the variable; a
        // copy made before keeps its own value.
        {"large results moved into variables",
         "x <- 1; para (i <- 2; i <= 25; i++) { x <- x * i; } y <- x; x <- x div 1000; big[0] <- y * y; "
         "big[1] <- big[0] - y * y + x; imprima y, \" \", x, \" \", big[1];",
         "", "15511210043330985984000000 15511210043330985984000 15511210043330985984000", ""},
        {"loop until the word overflows",
         "x <- 1; faca { x <- x * 3 + 1; } enquanto (x < 9223372036854775807) imprima x;", "",
         "18236498188585393201", ""},
        {"unset operand", twice + "x <- 1; se (k == 1) { x <- u; } y <- x + 1; }", "", "", unsetU},
        {"division by zero", twice + "y <- 1 - k; x <- 1 div y; }", "", "", byZero},
        {"remainder by zero", twice + "y <- 1 - k; x <- 1 % y; }", "", "", byZero},
        {"unset value into an element", twice + "x <- 1; se (k == 1) { x <- u; } big[k] <- x; }", "", "", unsetU},
        {"element past the end", twice + "x <- 299 + k; big[x] <- 1; }", "", "",
         "Vetor big[300] indexado fora dos limites."},
        {"negative element", twice + "x <- 0 - k; big[x] <- 1; }", "", "", "Vetor big[-1] indexado fora dos limites."},
        {"unset element read", twice + "big[0] <- 1; x <- 2 * k; y <- big[x]; }", "", "", unsetBig2},
        {"unset element in a condition", twice + "big[0] <- 1; x <- 2 * k; se (big[x] == 1) { imprima k; } }", "",
         "0", unsetBig2},
        {"small vector past the end", twice + "x <- 1 + k; v[x] <- 1; v[x + 1] <- v[x]; }", "", "",
         "Vetor v[3] indexado fora dos limites."},
        {"unset bound of a loop", twice + "x <- 1; se (k == 1) { x <- u; } enquanto (x < 1) { x++; } }", "", "",
         unsetU},
        {"read past the end",
         fill + twice + "x <- 298 + k; y <- big[x] + big[x - 298]; imprima y, \" \"; x <- x + 1; y <- big[x]; }", "",
         "88794 89392 ", "Vetor big[300] indexado fora dos limites."},
    };
    runTable(std::begin(cases), std::end(cases), decls);
}

TEST(Commands, ConditionalsLoopsAndJumps) {
    const Case cases[] = {
        {"se and senao", "se (1 < 2) { imprima \"a\"; } se (1 > 2) { imprima \"b\"; } senao { imprima \"c\"; }",
         "", "ac", ""},
        {"enquanto false at the start", "i <- 5; enquanto (i < 5) { i++; } imprima i;", "", "5", ""},
        {"faca runs once", "i <- 5; faca { i++; } enquanto (i < 5) imprima i;", "", "6", ""},
        {"para order", "para (i <- 0; i < 3; i++) { imprima i; } imprima \"|\", i;", "", "012|3", ""},
        {"step runs after pare", "para (i <- 0; i < 10; i++) { se (i == 3) { pare; } } imprima i;", "", "4",
         ""},
        {"continue skips the rest of the body",
         "para (i <- 0; i < 4; i++) { se (i % 2 == 0) { continue; } imprima i; }", "", "13", ""},
        {"continue leaves only the enclosing se",
         "i <- 0; enquanto (i < 2) { i++; se (verdadeiro) { se (verdadeiro) { continue; } imprima \"x\"; } "
         "imprima \"y\"; }",
         "", "yy", ""},
        {"pare in a se ends the loop", "i <- 0; enquanto (verdadeiro) { i++; se (i == 3) { pare; } imprima i; }",
         "", "12", ""},
        {"pare ends the inner loop only",
         "para (i <- 0; i < 2; i++) { para (j <- 0; j < 5; j++) { se (j == 1) { pare; } imprima j; } imprima "
         "\"/\"; }",
         "", "0/0/", ""},
        {"saia two loops deep",
         "para (i <- 0; i < 5; i++) { enquanto (verdadeiro) { imprima i; saia; } } imprima \"no\";", "", "0", ""},
        {"saia in para skips the step", "para (i <- 0; i < 5; i++) { saia; } imprima i;", "", "", ""},
        {"saia at the top", "imprima 1; saia; imprima 2;", "", "1", ""},
        {"saia inside a faca", "faca { imprima 1; saia; } enquanto (verdadeiro) imprima 2;", "", "1", ""},
        {"pare at the top", "imprima 1; pare;", "", "1", "Comando pare utilizado em local improprio."},
        {"pare in a se at the top", "se (verdadeiro) { pare; }", "", "",
         "Comando pare utilizado em local improprio."},
        {"continue at the top", "continue;", "", "", "Comando continue utilizado em local improprio."},
        {"condition errors", "se (i > 0) { imprima 1; }", "", "", unsetI},
        {"faca body before its condition", "faca { imprima 1; } enquanto (i > 0)", "", "1", unsetI},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(Commands, LeiaLines) {
    const Case cases[] = {
        {"text at end of input", "leia s; imprima \"[\", s, \"]\";", "", "[]", ""},
        {"last line without a line break", "leia s; leia t; imprima s, \"|\", t;", "abc", "abc|", ""},
        {"CR LF leaves an empty line", "leia s; leia t; leia u[1]; imprima s, \"|\", t, \"|\", u[1];",
         "12\r\n34\n", "12||34", ""},
        {"lone CR ends a line", "leia s; leia t; imprima s, \"|\", t;", "a\rb\n", "a|b", ""},
        {"blanks are kept", "leia s; imprima \"[\", s, \"]\";", " a b \n", "[ a b ]", ""},
        {"Latin-1 bytes", "leia s; imprima strtam(s), s;", "\xE9\xE3\n", "2\xE9\xE3", ""},
        {"line read before the index", "leia v[i];", "7\n", "", unsetI},
        {"vector elements", "i <- 1; leia v[i + 1]; leia w[0]; leia u[0]; imprima v[2], w[0], u[0];",
         "5\n2.5\nz\n", "52.5z", ""},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(Commands, LeiaNumbers) {
    const std::string badI = "Tipo incorreto na leitura da vari\xE1vel i.";
    const std::string badR = "Tipo incorreto na leitura da vari\xE1vel r.";
    const std::string forty = "1234567890123456789012345678901234567890";
    const std::string huge = "1" + std::string(400, '0') + ".0";
    struct Line {
        std::string line;
        std::string expected;  // the value read, or the failure message
    };
    const Line ints[] = {
        {"42", "42"}, {"+42", "42"}, {"-42", "-42"}, {"007", "7"}, {"-0", "0"}, {forty, forty},
        {"", badI},   {"-", badI},   {"+", badI},    {" 42", badI}, {"42 ", badI}, {"4 2", badI},
        {"4.0", badI}, {"1e3", badI}, {"0x10", badI}, {"--1", badI},
    };
    const Line reals[] = {
        {"3.25", "3.25"},  {"+3.25", "3.25"}, {"-3.25", "-3.25"}, {"0.1", "0.1"},
        {"-0.0", "-0.0"},  {"007.50", "7.5"}, {huge, "Infinity"}, {"-" + huge, "-Infinity"},
        {"0." + std::string(400, '0') + "1", "0.0"},
        {"3", badR},       {"3,25", badR},    {"3.2.5", badR},    {"1.5e3", badR},
        {"", badR},        {".", badR},       {"-.", badR},       {".5", badR},
        {"12.", badR},     {"-.5", badR},     {" 1.0", badR},     {"1.0 ", badR},
        {"inf", badR},     {"nan", badR},     {"0x1.0", badR},
    };
    for (const Line& l : ints) {
        test::RunResult r = test::runProgram(std::string("prog t\n") + kDecls + "leia i; imprima i;\nfimprog\n",
                                             l.line + "\n");
        EXPECT_EQ(r.error.empty() ? r.out : r.error, l.expected) << "int <" << l.line << ">";
    }
    for (const Line& l : reals) {
        test::RunResult r = test::runProgram(std::string("prog t\n") + kDecls + "leia r; imprima r;\nfimprog\n",
                                             l.line + "\n");
        EXPECT_EQ(r.error.empty() ? r.out : r.error, l.expected) << "real <" << l.line << ">";
    }
    // An element is named by its index expression as written.
    const Case cases[] = {
        {"int element", "i <- 0; leia v[i+1];", "x\n", "", "Tipo incorreto na leitura da vari\xE1vel v[i+1]."},
        {"real element", "leia w[1];", "1\n", "", "Tipo incorreto na leitura da vari\xE1vel w[1]."},
    };
    runTable(std::begin(cases), std::end(cases));
}

// States the check rules out, reached by running unchecked trees.
TEST(Commands, UncheckedStatesEndWithInternalErrors) {
    DeclList decls = {VarBool{{Simple{"b"}, Vector{"c", mkFactorExp(E_Int{Integer(2)})}}}};
    struct Tree {
        CmdPtr cmd;
        std::string error;
    } trees[] = {
        {mkCmd(E_Leia{mkFactorExp(E_Var{"b"})}), "Erro interno No. 104." + contact},
        {mkCmd(E_Leia{mkFactorExp(E_Vector{"c", mkFactorExp(E_Int{Integer(0)})})}),
         "Erro interno No. 109." + contact},
        {mkCmd(E_Imprima{{mkFactorExp(E_Boolean{true})}}), "Tipo n\xE3o permitido em impress\xE3o: True."},
        {mkCmd(E_IncrFor{Simple{"b"}}), "Erro interno No. 146." + contact},
    };
    for (const Tree& t : trees) {
        Memory m = fillGarbage(removeVar(decls), Memory{});
        std::string error;
        std::fflush(stdout);
        try {
            evalCmd({t.cmd}, m, decls, ControlState{});
        } catch (const JoxError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, t.error);
    }
}

using test::onStack;

TEST(Commands, DeepNestingRunsOrStopsCleanly) {
    constexpr int kDepth = 100000;
    std::string outer = onStack(std::size_t{1} << 30, [] {
        // i <- ((((...i + 1...)))) inside 100,000 nested se.
        ExpPtr value = mkExp(E_Mais{mkFactorExp(E_Var{"i"}), mkFactorExp(E_Int{Integer(1)})});
        for (int d = 0; d < kDepth; ++d) value = mkFactorExp(E_Par{value});
        CmdList body = {mkCmd(Atrib{Simple{"i"}, value})};
        ExpPtr yes = mkFactorExp(E_Boolean{true});
        for (int d = 0; d < kDepth; ++d) body = {mkCmd(E_Se{yes, body})};
        DeclList decls = {VarInt{{Simple{"i"}}}};
        Program program{Simple{"p"}, decls, body};

        Memory m = fillGarbage(removeVar(decls), Memory{});
        evalUpdate(m, "i", MemValue{M_Int{1}});
        execProg(program, m);
        EXPECT_EQ(fromMem(seekVarValue(m, "i")), "2");

        // The same run on a small stack ends with StackExhausted.
        std::string inner = onStack(std::size_t{1} << 20, [&] { execProg(program, m); });
        EXPECT_EQ(inner, "stack");
        std::string exp = onStack(std::size_t{1} << 20, [&] { evalExp(*value, m); });
        EXPECT_EQ(exp, "stack");
    });
    EXPECT_EQ(outer, "");
}

}  // namespace
}  // namespace jox
