#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>

#include "tests/support/OnStack.h"
#include "TreePrinter_support.h"
#include "syntax/Failure.h"
#include "syntax/Grammar.h"

namespace jox {
namespace {

// The program as text, or "FAIL " and the message it ends the run with.
std::string parse(const std::string& source, long firstLine = 1) {
    try {
        auto result = grammar(source, Integer(firstLine));
        if (result.index() != 0) return "ParseFail";
        return test::show(std::get<0>(result).value);
    } catch (const JoxError& e) {
        return "FAIL " + e.message();
    }
}

// The commands of "prog p <commands> fimprog", shown as a list.
std::string commands(const std::string& cmds) {
    try {
        const Program p = std::get<0>(grammar("prog p " + cmds + " fimprog", Integer(1))).value;
        std::string out = "[";
        for (std::size_t i = 0; i < p.cmds.size(); ++i) out += (i ? "," : "") + test::show(*p.cmds[i]);
        return out + "]";
    } catch (const JoxError& e) {
        return "FAIL " + e.message();
    }
}

// The value assigned by "x <- <exp>;".
std::string expression(const std::string& exp) {
    try {
        const Program p = std::get<0>(grammar("prog p x <- " + exp + "; fimprog", Integer(1))).value;
        return test::show(*std::get<Atrib>(p.cmds.at(0)->v).value);
    } catch (const JoxError& e) {
        return "FAIL " + e.message();
    }
}

std::string syntaxError(int line) { return "FAIL Erro sintatico na linha " + std::to_string(line) + "\n"; }

struct Case {
    std::string source;
    std::string expected;
};

std::string var(const char* name) { return std::string("(Factor (E_Var \"") + name + "\"))"; }

TEST(Grammar, Programs) {
    const Case cases[] = {
        {"prog p fimprog", "Program (Simple \"p\") [] []"},
        {"/* before */ # note\n prog p fimprog # after", "Program (Simple \"p\") [] []"},
        {"prog p int a, b[3]; logico f; a <- 1; fimprog",
         "Program (Simple \"p\") [VarInt [Simple \"a\",Vector \"b\" (Factor (E_Int 3))],VarBool [Simple \"f\"]] "
         "[Atrib (Simple \"a\") (Factor (E_Int 1))]"},
        {"prog p real r; string s, t[2], u; fimprog",
         "Program (Simple \"p\") [VarReal [Simple \"r\"],VarString [Simple \"s\",Vector \"t\" (Factor (E_Int 2)),"
         "Simple \"u\"]] []"},
        // A zero size is kept: the checker refuses it once the parse is complete.
        {"prog p int v[0], w[00]; fimprog",
         "Program (Simple \"p\") [VarInt [Vector \"v\" (Factor (E_Int 0)),Vector \"w\" (Factor (E_Int 0))]] []"},
        {"prog p pare; fimprog", "Program (Simple \"p\") [] [E_Pare]"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.source), c.expected) << c.source;
}

TEST(Grammar, Commands) {
    const Case cases[] = {
        {"x <- 1; v[2] <- y; x++; v[i + 1]++; x--; v[1]--;",
         "[Atrib (Simple \"x\") (Factor (E_Int 1)),Atrib (Vector \"v\" (Factor (E_Int 2))) " + var("y") +
             ",E_Incr (Simple \"x\"),E_Incr (Vector \"v\" (E_Mais " + var("i") +
             " (Factor (E_Int 1)))),E_Decr (Simple \"x\"),E_Decr (Vector \"v\" (Factor (E_Int 1)))]"},
        {"v[(i == 1)] <- 0;",
         "[Atrib (Vector \"v\" (Factor (E_Par (E_Igual " + var("i") + " (Factor (E_Int 1)))))) (Factor (E_Int 0))]"},
        {"x <- a < b && c;", "[Atrib (Simple \"x\") (E_E (E_Menor " + var("a") + " " + var("b") + ") " + var("c") + ")]"},
        {"para (i <- 0; i < 10; i++) { imprima i; }",
         "[E_Para (Atrib (Simple \"i\") (Factor (E_Int 0))) (E_Menor " + var("i") +
             " (Factor (E_Int 10))) (E_Incr (Simple \"i\")) [E_Imprima [Factor (E_Var \"i\")]]]"},
        {"para (v[k] <- 0; k < 3; k--) { }",
         "[E_Para (Atrib (Vector \"v\" " + var("k") + ") (Factor (E_Int 0))) (E_Menor " + var("k") +
             " (Factor (E_Int 3))) (E_Decr (Simple \"k\")) []]"},
        {"faca { x++; } enquanto (x < 3)",
         "[E_Faca [E_Incr (Simple \"x\")] (E_Menor " + var("x") + " (Factor (E_Int 3)))]"},
        {"faca { } enquanto (a) enquanto (b) { pare; }",
         "[E_Faca [] " + var("a") + ",E_Enquanto " + var("b") + " [E_Pare]]"},
        {"se (a) { x <- 1; }", "[E_Se " + var("a") + " [Atrib (Simple \"x\") (Factor (E_Int 1))]]"},
        {"se (a) { } senao { b <- 1; saia; }",
         "[E_Senao " + var("a") + " [] [Atrib (Simple \"b\") (Factor (E_Int 1)),E_Saia]]"},
        {"se (a) { se (b) { continue; } } senao { }",
         "[E_Senao " + var("a") + " [E_Se " + var("b") + " [E_Continue]] []]"},
        {"leia x; leia v[i];", "[E_Leia " + var("x") + ",E_Leia (Factor (E_Vector \"v\" " + var("i") + "))]"},
        {"imprima a, b + 1, \"t\";",
         "[E_Imprima [Factor (E_Var \"a\"),E_Mais " + var("b") + " (Factor (E_Int 1)),Factor (E_Str \"t\")]]"},
        {"imprima (a < b);", "[E_Imprima [Factor (E_Par (E_Menor " + var("a") + " " + var("b") + "))]]"},
    };
    for (const auto& c : cases) EXPECT_EQ(commands(c.source), c.expected) << c.source;
}

TEST(Grammar, ExpressionLevelsAndGrouping) {
    const std::string a = var("a"), b = var("b"), c = var("c"), d = var("d");
    const Case cases[] = {
        {"1 + 2 * 3", "E_Mais (Factor (E_Int 1)) (E_Prod (Factor (E_Int 2)) (Factor (E_Int 3)))"},
        {"a - b + c", "E_Mais (E_Menos " + a + " " + b + ") " + c},
        {"a * b / c div d", "E_IDiv (E_Div (E_Prod " + a + " " + b + ") " + c + ") " + d},
        {"a < b < c", "E_Menor (E_Menor " + a + " " + b + ") " + c},
        {"a == b <> c >= d", "E_Maiorig (E_Dif (E_Igual " + a + " " + b + ") " + c + ") " + d},
        {"a > b <= c", "E_Menorig (E_Maior " + a + " " + b + ") " + c},
        {"b + c < d - a", "E_Menor (E_Mais " + b + " " + c + ") (E_Menos " + d + " " + a + ")"},
        {"a && b || c", "E_E " + a + " (E_Ou " + b + " " + c + ")"},
        {"a || b && c", "E_Ou " + a + " (E_E " + b + " " + c + ")"},
        {"(a && b) || c", "E_Ou (Factor (E_Par (E_E " + a + " " + b + "))) " + c},
        {"!a && b", "E_Nao (E_E " + a + " " + b + ")"},
        {"!a == b", "E_Nao (E_Igual " + a + " " + b + ")"},
        {"a && !b || c", "E_E " + a + " (E_Nao (E_Ou " + b + " " + c + "))"},
        {"!!a", "E_Nao (E_Nao " + a + ")"},
        {"a == (!b)", "E_Igual " + a + " (Factor (E_Par (E_Nao " + b + ")))"},
        {"a ^ b ^ c", "E_IPot (E_IPot " + a + " (E_Var \"b\")) (E_Var \"c\")"},
        {"a ^ (b ^ c)", "E_IPot " + a + " (E_Par (E_IPot " + b + " (E_Var \"c\")))"},
        {"a ** b % c ^ d", "E_IPot (E_Resto (E_Pot " + a + " (E_Var \"b\")) (E_Var \"c\")) (E_Var \"d\")"},
        {"a * b % c", "E_Prod " + a + " (E_Resto " + b + " (E_Var \"c\"))"},
        {"a ^ b + 1", "E_Mais (E_IPot " + a + " (E_Var \"b\")) (Factor (E_Int 1))"},
        {"-a * b", "E_Prod (Factor (E_Neg (E_Var \"a\"))) " + b},
        {"-a ^ b", "E_IPot (Factor (E_Neg (E_Var \"a\"))) (E_Var \"b\")"},
        {"a ^ -b", "E_IPot " + a + " (E_Neg (E_Var \"b\"))"},
        {"-5", "Factor (E_Neg (E_Int 5))"},
        {"- - a", "Factor (E_Neg (E_Neg (E_Var \"a\")))"},
        {"a + + b", "E_Mais " + a + " (Factor (E_Pos (E_Var \"b\")))"},
        {"a - -b", "E_Menos " + a + " (Factor (E_Neg (E_Var \"b\")))"},
        {"a < -1", "E_Menor " + a + " (Factor (E_Neg (E_Int 1)))"},
        {"((a))", "Factor (E_Par (Factor (E_Par " + a + ")))"},
        {"x[-1]", "Factor (E_Vector \"x\" (Factor (E_Neg (E_Int 1))))"},
        {"x[(i > 0)]", "Factor (E_Vector \"x\" (Factor (E_Par (E_Maior " + var("i") + " (Factor (E_Int 0))))))"},
        {"2 * pi", "E_Prod (Factor (E_Int 2)) (Factor (E_Pi))"},
        {"verdadeiro && falso", "E_E (Factor (E_Boolean True)) (Factor (E_Boolean False))"},
        {"1.25 + \"t\\n\"", "E_Mais (Factor (E_Float 1.25)) (Factor (E_Str \"t\\n\"))"},
    };
    for (const auto& c : cases) EXPECT_EQ(expression(c.source), c.expected) << c.source;
}

TEST(Grammar, BuiltInFunctions) {
    const std::string a = "(E_Var \"a\")", b = "(E_Var \"b\")";
    const std::string sum = "(E_Mais (Factor (E_Var \"a\")) (Factor (E_Int 1)))";
    const Case cases[] = {
        {"raiz(a + 1)", "Factor (E_RaizQuad " + sum + ")"},
        {"sen(a + 1)", "Factor (E_Seno " + sum + ")"},
        {"cos(a + 1)", "Factor (E_Coseno " + sum + ")"},
        {"tan(a + 1)", "Factor (E_Tangente " + sum + ")"},
        {"exp(a + 1)", "Factor (E_Exp " + sum + ")"},
        {"log(a + 1)", "Factor (E_Log " + sum + ")"},
        {"abs(a + 1)", "Factor (E_Abs " + sum + ")"},
        {"intreal(a + 1)", "Factor (E_IntReal " + sum + ")"},
        {"realint(a + 1)", "Factor (E_RealInt " + sum + ")"},
        {"strtam(a)", "Factor (E_StrComp " + a + ")"},
        {"strult(a)", "Factor (E_StrUlt " + a + ")"},
        {"strcopia(a)", "Factor (E_StrCopia " + a + ")"},
        {"strprim(a)", "Factor (E_StrPrim " + a + ")"},
        {"strresto(a)", "Factor (E_StrCalda " + a + ")"},
        {"strconcat(a, b)", "Factor (E_StrConcat " + a + " " + b + ")"},
        {"strcomp(a, b)", "Factor (E_StrCompara " + a + " " + b + ")"},
        {"strnprim(a, b)", "Factor (E_StrNPrim " + a + " " + b + ")"},
        {"strnresto(a, b)", "Factor (E_StrNResto " + a + " " + b + ")"},
        {"strelem(a, (b + 1))", "Factor (E_StrElem " + a + " (E_Par (E_Mais (Factor " + b + ") (Factor (E_Int 1)))))"},
        {"formatar(a + 1, -2)", "Factor (E_Formatar " + sum + " (E_Neg (E_Int 2)))"},
    };
    for (const auto& c : cases) EXPECT_EQ(expression(c.source), c.expected) << c.source;
}

// Each case is written around its offending token, which stands alone on line
// 2: an error found at an earlier token reports line 1, at a later one line 3.
TEST(Grammar, SyntaxErrorsAtTheOffendingToken) {
    struct ErrorCase {
        std::string before, offending, after;
    };
    const ErrorCase cases[] = {
        {"prog p a <- 1;", "int", "b; fimprog"},
        {"prog p fimprog", "x", ""},
        {"prog", "fimprog", "fimprog"},
        {"prog p int a", "b", "; fimprog"},
        {"prog p int a,", ";", "fimprog"},
        {"prog p int", ";", "fimprog"},
        {"prog p int v[", "-", "1]; fimprog"},
        {"prog p int v[", "n", "]; fimprog"},
        {"prog p int v[2", "+", "1]; fimprog"},
        {"prog p", ";", "fimprog"},
        {"prog p se (a) { }", ";", "fimprog"},
        {"prog p faca { } enquanto (c)", ";", "fimprog"},
        {"prog p faca { } enquanto (a)", "{", "} fimprog"},
        {"prog p se (a) { } senao", "se", "(b) { } fimprog"},
        {"prog p se (a)", "b", "<- 1; fimprog"},
        {"prog p se", "a", "{ } fimprog"},
        {"prog p", "senao", "{ } fimprog"},
        {"prog p para (", ";", "i < 10; i++) { } fimprog"},
        {"prog p para (i <- 0;", ";", "i++) { } fimprog"},
        {"prog p para (", "leia", "i; i < 10; i++) { } fimprog"},
        {"prog p para (i <- 0; i < 3; i++", ";", ") { } fimprog"},
        {"prog p leia", "(", "a); fimprog"},
        {"prog p leia a", "+", "1; fimprog"},
        {"prog p imprima a", "<", "b; fimprog"},
        {"prog p imprima", ";", "fimprog"},
        {"prog p imprima a,", ";", "fimprog"},
        {"prog p v[i", "<", "j] <- 1; fimprog"},
        {"prog p v[i", "==", "1] <- 0; fimprog"},
        {"prog p x <- x[1]", "[", "2]; fimprog"},
        {"prog p x <- f", "(", "1); fimprog"},
        {"prog p x <- pi", "(", "); fimprog"},
        {"prog p x <- a ==", "!", "b; fimprog"},
        {"prog p x <- a <", "!", "b; fimprog"},
        {"prog p x <- sen(a", "<", "b); fimprog"},
        {"prog p x <- strtam(a", "+", "b); fimprog"},
        {"prog p x <- strelem(s, i", "+", "1); fimprog"},
        {"prog p x <- formatar(x, y", "+", "1); fimprog"},
        {"prog p x <- a", "--", "b; fimprog"},
        {"prog p se (a", "<-", "1) { } fimprog"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse(c.before + "\n" + c.offending + "\n" + c.after), syntaxError(2))
            << c.before << " |" << c.offending << "| " << c.after;
    }
}

TEST(Grammar, SyntaxErrorLines) {
    struct LineCase {
        std::string source;
        long firstLine;
        int line;
    };
    const LineCase cases[] = {
        {"", 1, 1},
        {"  \n/* x\n */ # c\n", 1, 4},
        {"prog p\nint a;\n\n\n", 1, 5},
        {"prog p\nx <- 1", 1, 2},
        {"prog p\r\nint a;\r\n\r\n\r\n", 1, 5},
        {"prog p\n\n\n\n\n\n\nfimprog\nx", 1, 9},
        // The line break inside the literal is not counted.
        {"prog p\nx <- \"a\nb\"\ny;\nfimprog", 1, 3},
        {"prog p\nx <- 1;\ny z", 10, 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.source, c.firstLine), syntaxError(c.line)) << test::quote(c.source);
}

TEST(Grammar, TheFirstProblemInTextOrderWins) {
    const Case cases[] = {
        {"prog p x <- ; @", syntaxError(1)},
        {"prog p x <- @ ;", "FAIL Utilizacao impropria do caracter \"@\""},
        {"prog p\n@ fimprog x", "FAIL Utilizacao impropria do caracter \"@\""},
        {"prog p x <- 12. ; fimprog", "FAIL Utilizacao impropria do caracter \".\" "},
        {"prog p x <- 1; fimprog /* open", "FAIL Coment\xE1rio incompleto. Insira */.\n"},
        // A literal cut off by the end: shifted, then the missing quote is found;
        // not acceptable where it stands, the syntax error comes first.
        {"prog p x <- \"abc", "FAIL String incompleta. Insira \".\n"},
        {"prog p\n\"ab\ncd", syntaxError(2)},
        {"prog p fimprog \"x", syntaxError(1)},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.source), c.expected) << test::quote(c.source);
}

// Runs `work` on a thread with a large stack, as the program entries do:
// destroying a deeply nested tree recurses once per level.
void onLargeStack(const std::function<void()>& work) {
    EXPECT_EQ(test::onStack(std::size_t{1} << 30, work), "");
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    out.reserve(s.size() * n);
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(Grammar, DeepNestingParses) {
    const int n = 100000;
    const Case cases[] = {
        {"x <- " + repeat("(", n) + "1" + repeat(")", n) + ";", ""},
        {"x <- " + repeat("-+", n / 2) + "1;", ""},
        {"x <- " + repeat("!", n) + "a;", ""},
        {"x <- 1" + repeat(" + 1", 2 * n - 1) + ";", ""},
        {"x <- a" + repeat(" && a", n) + ";", ""},
        {repeat("se (a) { ", n) + repeat("} ", n), ""},
        {"x <- " + repeat("(", n) + "1;", syntaxError(1)},
    };
    onLargeStack([&] {
        for (const auto& c : cases) {
            std::string got;
            try {
                auto p = std::get<0>(grammar("prog p " + c.source + " fimprog", Integer(1))).value;
                EXPECT_EQ(p.cmds.size(), 1u);
            } catch (const JoxError& e) {
                got = "FAIL " + e.message();
            }
            EXPECT_EQ(got, c.expected) << c.source.substr(0, 40);
        }
        // The parentheses are all in the tree.
        auto p = std::get<0>(grammar("prog p x <- " + repeat("(", n) + "1" + repeat(")", n) + "; fimprog", Integer(1))).value;
        const Expression* e = std::get<Atrib>(p.cmds[0]->v).value.get();
        int depth = 0;
        while (auto* f = std::get_if<E_Factor>(&e->v)) {
            auto* par = std::get_if<E_Par>(&f->factor->v);
            if (!par) break;
            e = par->arg.get();
            ++depth;
        }
        EXPECT_EQ(depth, n);
    });
}

// A long program must take time in proportion to its length.
TEST(Grammar, ParsingTimeIsLinear) {
    auto seconds = [](int commands) {
        const std::string source = "prog p\nint x;\n" + repeat("x <- x + 1;\n", commands) + "fimprog\n";
        auto start = std::chrono::steady_clock::now();
        double elapsed = 0;
        onLargeStack([&] {
            auto p = std::get<0>(grammar(source, Integer(1))).value;
            elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            EXPECT_EQ(p.cmds.size(), static_cast<std::size_t>(commands));
        });
        return elapsed;
    };
    // Five times the commands: about five times the time, never twenty-five.
    const double small = seconds(20000), large = seconds(100000);
    std::printf("parse of 20000 commands: %.3f s, of 100000 commands: %.3f s\n", small, large);
    EXPECT_FALSE(large > 0.5 && large > 12 * small) << small << " s, then " << large << " s";
}

// Whatever the text, the parse gives a program or ends with one of the
// front end's messages.
TEST(Grammar, AnyTextGivesAProgramOrAMessage) {
    const char* const pieces[] = {"prog p ", " fimprog", "int ", "x", "v", "[", "]", "1", "2.5", "\"s", "\"",
                                  "(",       ")",        "{",    "}", ";", ",", "<-", "+", "-", "*", "/", "^",
                                  "%",       "!",        "&&",   "|", "==", "<", "se", "senao", "enquanto",
                                  "faca",    "para",     "leia", "imprima", "#", "/*", "*/", "\n", " ", "\\n"};
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string text = round % 2 ? "prog p " : "";
        const int length = random() % 40;
        for (int i = 0; i < length; ++i) {
            if (random() % 8 == 0)
                text += static_cast<char>(random() % 256);
            else
                text += pieces[random() % std::size(pieces)];
        }
        if (round % 3 == 0) text += " fimprog";
        const std::string got = parse(text);
        const bool known = got.rfind("Program ", 0) == 0 || got.rfind("FAIL Erro sintatico na linha ", 0) == 0 ||
                           got.rfind("FAIL Utilizacao impropria do caracter \"", 0) == 0 ||
                           got == "FAIL String incompleta. Insira \".\n" ||
                           got == "FAIL Coment\xE1rio incompleto. Insira */.\n";
        EXPECT_TRUE(known) << test::quote(text) << " gave " << test::quote(got);
    }
}

}  // namespace
}  // namespace jox
