// The message a program gets from the checker, for each fault the checker
// knows and for the order of work that picks one fault among several.
#include <gtest/gtest.h>

#include <string>

#include "check/CheckProgram.h"
#include "syntax/Failure.h"
#include "syntax/Grammar.h"
#include "tests/check/TreeBuild.h"

namespace jox {
namespace {

// The checker's message for a source text, or "" when it passes.
std::string checkSource(const std::string& source) {
    ParseResult<Program> parsed = grammar(source, Integer(1));
    const Program& program = std::get<ParseOk<Program>>(parsed).value;
    try {
        DeclList decls = checkProgram(program);
        EXPECT_EQ(decls.size(), program.decls.size());
    } catch (const JoxError& e) {
        return e.what();
    }
    return "";
}

// Declarations shared by most cases.
const std::string kDecls =
    "int i, j, n, k[3], m[2]; real r, w[2]; string s, t[2]; logico b, c, f[2];";

struct Case {
    const char* cmds;  // commands, under kDecls
    const char* message;
};

void runTable(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(checkSource("prog p " + kDecls + "\n" + c->cmds + "\nfimprog"), c->message)
            << c->cmds;
}

TEST(CheckDeclarations, RedeclarationAndZeroSize) {
    struct {
        const char* source;
        const char* message;
    } cases[] = {
        {"prog p fimprog", ""},
        {"prog p int a, v[3]; real x; logico q[1]; fimprog", ""},
        {"prog p int a, b; real b, a; fimprog", "Vari\xE1vel a redeclarada."},
        {"prog p int x[2]; real x; fimprog", "Vari\xE1vel x redeclarada."},
        {"prog p int x; int y; string x; logico x; fimprog", "Vari\xE1vel x redeclarada."},
        {"prog p int a; int a; y++; fimprog", "Vari\xE1vel a redeclarada."},
        {"prog p int v[0]; fimprog", "\xCDndice incorreto na declara\xE7\xE3o do vetor v."},
        {"prog p int v[00]; y++; fimprog", "\xCDndice incorreto na declara\xE7\xE3o do vetor v."},
        // The first name has no namesake: every variable is looked at first.
        {"prog p int a, b; real b; int z[0], y[0]; fimprog",
         "\xCDndice incorreto na declara\xE7\xE3o do vetor z."},
        // The first name's namesake comes before the zero-size vector ...
        {"prog p int a; real a; int z[0]; fimprog", "Vari\xE1vel a redeclarada."},
        // ... or after it.
        {"prog p int a, z[0]; real a; fimprog",
         "\xCDndice incorreto na declara\xE7\xE3o do vetor z."},
        {"prog p int a, a[0]; fimprog", "\xCDndice incorreto na declara\xE7\xE3o do vetor a."},
    };
    for (const auto& c : cases) EXPECT_EQ(checkSource(c.source), c.message) << c.source;
}

TEST(CheckCommands, IncrementAndDecrement) {
    const Case cases[] = {
        {"i++; i--; k[i]++; k[k[0]]--; pare; continue; saia;", ""},
        {"r++;", "Tipo incorreto em incremento da variavel r."},
        {"b--;", "Tipo incorreto em decremento da variavel b."},
        {"k++;", "Vari\xE1vel k n\xE3o declarada."},
        {"y++;", "Vari\xE1vel y n\xE3o declarada!"},
        {"n[1]++;", "Vari\xE1vel n[1] n\xE3o declarada."},
        {"n[z]--;", "Vari\xE1vel n[z] n\xE3o declarada."},
        {"k[r]++;", "\xCDndice incorreto na vari\xE1vel k[r]."},
        {"w[r]++;", "\xCDndice incorreto na vari\xE1vel w[r]."},
        {"k[z]++;", "Vari\xE1vel z n\xE3o declarada!"},
        {"w[1]--;", "Tipo incorreto em decremento da variavel w[1]."},
        {"t[i + 1]++;", "Tipo incorreto em incremento da variavel t[i+1]."},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(CheckCommands, Assignment) {
    const Case cases[] = {
        {"r <- 1.0; i <- 7.5 div 2; i <- 2.5 ^ 2; r <- 7 / 2; r <- 2 ** 3; i <- 7 % 2;"
         "r <- 1 + 2.5; r <- 2.5 * 2; i <- 1 - 2; s <- \"x\"; b <- c == b; b <- \"a\" < \"b\";"
         "k[100] <- 1; k[k[0]] <- -i; t[0] <- -s; f[1] <- +b; w[0] <- abs(r); i <- abs(i);",
         ""},
        {"r <- 1;", "Tipo incorreto em atribui\xE7\xE3o: r <- 1."},
        {"i <- 1 + 2.5;", "Tipo incorreto em atribui\xE7\xE3o: i <- 1+2.5."},
        {"i <- strnresto(s, 2);", "Tipo incorreto em atribui\xE7\xE3o: i <- strnresto(s,2) ."},
        {"x <- y;", "Vari\xE1vel x n\xE3o declarada!"},
        {"i <- y;", "Vari\xE1vel y n\xE3o declarada!"},
        {"k <- 3;", "Vari\xE1vel k n\xE3o declarada."},
        {"n[1] <- 3;", "Vari\xE1vel n[1] n\xE3o declarada."},
        {"k[2.5] <- \"a\";", "\xCDndice incorreto na vari\xE1vel k[2.5]."},
        {"k[0] <- s;", "Tipo incorreto em atribui\xE7\xE3o: k[0] <- s."},
        {"b <- f;", "Vari\xE1vel f n\xE3o declarada."},
        {"b <- f[0] == k[1];", "Tipo incorreto em compara\xE7\xE3o: f[0] = k[1]."},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(CheckCommands, Conditions) {
    const Case cases[] = {
        {"se (f[0]) { } senao { } enquanto (b && c) { } faca { } enquanto (!b)", ""},
        {"se (i) { y++; }", "Tipo incorreto na condi\xE7\xE3o do se: i."},
        {"se (i) { } senao { }", "Tipo incorreto na condi\xE7\xE3o do senao: i."},
        {"enquanto (i + 1) { }", "Tipo incorreto na condi\xE7\xE3o do enquanto: i+1."},
        {"faca { y++; } enquanto (i)", "Tipo incorreto na condi\xE7\xE3o do faca: i."},
        {"se (y) { }", "Vari\xE1vel y n\xE3o declarada!"},
        {"se (b) { y++; } senao { z++; }", "Vari\xE1vel y n\xE3o declarada!"},
        {"se (b) { } senao { y++; } r <- 1;", "Vari\xE1vel y n\xE3o declarada!"},
        {"enquanto (b) { y++; } z++;", "Vari\xE1vel y n\xE3o declarada!"},
        {"y++; se (b) { z++; }", "Vari\xE1vel y n\xE3o declarada!"},
        {"se (b) { se (c) { y++; } } z++;", "Vari\xE1vel y n\xE3o declarada!"},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(CheckCommands, ReadAndPrint) {
    const Case cases[] = {
        {"imprima 1, 2.5, s, k[2], w[i], strtam(s); leia s; leia i; leia r; leia t[i];", ""},
        {"imprima n, b; y++;", "Tipo n\xE3o permitido em impress\xE3o: b."},
        {"imprima y, b;", "Vari\xE1vel y n\xE3o declarada!"},
        {"imprima (i == 1);", "Tipo n\xE3o permitido em impress\xE3o: (i=1)."},
        {"leia b;", "Tipo n\xE3o permitido na leitura da vari\xE1vel b."},
        {"leia k;", "Vari\xE1vel k n\xE3o declarada."},
        {"leia z;", "Vari\xE1vel z n\xE3o declarada!"},
        {"leia n[1];", "Vari\xE1vel n[1] n\xE3o declarada."},
        {"leia k[1.5];", "Indice incorreto na leitura do vetor k[1.5]."},
        {"leia f[i];", "Tipo n\xE3o permitido na leitura da vari\xE1vel f[i]."},
        {"leia f[r];", "Indice incorreto na leitura do vetor f[r]."},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(CheckCommands, Para) {
    const Case cases[] = {
        {"para (i <- 0; i < 10; i++) { imprima i; } para (k[0] <- 0; k[0] < 10; k[1]++) { }"
         "para (i <- 9; i >= 0; i <- i - 1) { pare; }",
         ""},
        {"para (i <- 0; i < 10; i++) { } y++;", "Vari\xE1vel y n\xE3o declarada!"},
        {"para (r <- 0.5; i; j++) { }", "Tipo incorreto em limite final i."},
        {"para (i++; i < 10; i++) { }", "Implementacao invalida na inicializacao da funcao para."},
        {"para (r <- 0.5; r < 10.0; r <- r + 1.0) { }",
         "Tipo nao inteiro da variavel r na inicializacao do para."},
        {"para (z <- 0; i < 1; i++) { }", "Vari\xE1vel z n\xE3o declarada!"},
        {"para (n[0] <- 0; i < 5; i++) { }",
         "Tipo nao inteiro do vetor n na inicializacao do para."},
        {"para (w[r] <- s; i < 5; i++) { }",
         "Tipo nao inteiro do vetor w na inicializacao do para."},
        {"para (i <- 1.5; i < 2; j++) { }", "Tipo incorreto em atribui\xE7\xE3o: i <- 1.5."},
        {"para (i <- 0; i < 10; j++) { }", "Variaveis j e i diferentes no comando para."},
        {"para (k[0] <- 0; i < 10; i++) { }", "Variaveis i e k diferentes no comando para."},
        {"para (k[0] <- 0; k[0] < 10; m[0]++) { }", "Vetores m e k diferentes no comando para."},
        {"para (i <- 0; i < 10; z <- z + 1) { }", "Variaveis z e i diferentes no comando para."},
        {"para (i <- 0; i < 10; i <- i + 1.5) { y++; }",
         "Tipo incorreto em atribui\xE7\xE3o: i <- i+1.5."},
        {"para (k[0] <- 0; k[0] < 3; k[r]++) { }", "\xCDndice incorreto na vari\xE1vel k[r]."},
        {"para (i <- 0; i < 2; i++) { y++; } z++;", "Vari\xE1vel y n\xE3o declarada!"},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(CheckExpressions, OperatorsAndTheirOrderOfWork) {
    const Case cases[] = {
        {"imprima 7.5 % z;", "Tipo incorreto em modulo: 7.5 % z."},
        {"imprima i % 2.0;", "Tipo incorreto em modulo: i % 2.0."},
        {"b <- 1 == 1.0;", "Tipo incorreto em compara\xE7\xE3o: 1 = 1.0."},
        {"b <- c <> b;", "Tipo incorreto em compara\xE7\xE3o: c <> b."},
        {"b <- c < b;", "Tipo incorreto em compara\xE7\xE3o: c < b."},
        {"b <- i > s;", "Tipo incorreto em compara\xE7\xE3o: i > s."},
        {"b <- r >= i;", "Tipo incorreto em compara\xE7\xE3o: r >= i."},
        {"b <- s <= 1;", "Tipo incorreto em compara\xE7\xE3o: s <= 1."},
        {"b <- i < j < n;", "Tipo incorreto em compara\xE7\xE3o: i<j < n."},
        {"imprima \"a\" + \"b\";", "Tipo incorreto em adi\xE7\xE3o: a + b."},
        {"imprima verdadeiro + y;", "Tipo incorreto em adi\xE7\xE3o: True + y."},
        {"imprima y + verdadeiro;", "Vari\xE1vel y n\xE3o declarada!"},
        {"imprima (1 + verdadeiro) * z;", "Tipo incorreto em adi\xE7\xE3o: 1 + True."},
        {"imprima s - 1 - z;", "Tipo incorreto em subtra\xE7\xE3o: s - 1."},
        {"imprima 1 - falso;", "Tipo incorreto em subtra\xE7\xE3o: 1 - False."},
        {"imprima s * 2;", "Tipo incorreto em multiplica\xE7\xE3o: s * 2."},
        {"imprima s / 2;", "Tipo incorreto em divis\xE3o: s / 2."},
        {"imprima 2 div s;", "Tipo incorreto em divis\xE3o: 2 div s."},
        {"imprima s ** 2;", "Tipo incorreto em potenciacao: s ** 2."},
        {"imprima 2 ^ -s;", "Tipo incorreto em potenciacao: 2 ^ s."},
        {"b <- 1 && z;", "Tipo incorreto em conjun\xE7\xE3o: 1 && z."},
        {"b <- b || 1;", "Tipo incorreto em disjun\xE7\xE3o: b || 1."},
        {"b <- !1;", "Tipo incorreto em nega\xE7\xE3o: !1"},
        {"b <- !i == 1;", ""},
    };
    runTable(std::begin(cases), std::end(cases));
}

TEST(CheckExpressions, FactorsAndFunctions) {
    const Case cases[] = {
        {"imprima k[k[0]], pi, raiz(4), raiz(r), intreal(i), realint(r), formatar(r, 2),"
         "strelem(s, 1), strcomp(s, s), strconcat(s, t[1]), strnprim(s, i), strult(s),"
         "strcopia(s), strprim(s), strresto(s), sen(i), cos(r), tan(1), exp(2), log(r);",
         ""},
        {"imprima k;", "Vari\xE1vel k n\xE3o declarada."},
        {"imprima i[0];", "Vari\xE1vel i n\xE3o declarada."},
        {"imprima k[r];", "\xCDndice incorreto no vetor k."},
        {"imprima k[f[0]];", "\xCDndice incorreto no vetor k."},
        {"imprima k[z];", "Vari\xE1vel z n\xE3o declarada!"},
        {"imprima strtam(t);", "Vari\xE1vel t n\xE3o declarada."},
        {"imprima formatar(i, z);", "Tipo incorreto na funcao formatar."},
        {"imprima formatar(r, z);", "Vari\xE1vel z n\xE3o declarada!"},
        {"imprima formatar(r, 2.0);", "Tipo incorreto na funcao formatar."},
        {"imprima strtam(i);", "Tipo incorreto na funcao strtam."},
        {"imprima strconcat(s, i);", "Tipo incorreto na funcao strconcat."},
        {"imprima strcomp(s, i);", "Tipo incorreto na funcao strcomp."},
        {"imprima strnprim(i, z);", "Tipo incorreto na funcao strnprim."},
        {"imprima strnresto(s, s);", "Tipo incorreto na funcao strnresto."},
        {"imprima strult(1);", "Tipo incorreto na funcao strult."},
        {"imprima strcopia(b);", "Tipo incorreto na funcao strcopia."},
        {"imprima strprim(r);", "Tipo incorreto na funcao strprim."},
        {"imprima strresto(pi);", "Tipo incorreto na funcao strresto."},
        {"imprima strelem(s, r);", "Tipo incorreto na funcao strelem."},
        {"imprima raiz(s);", "Tipo incorreto na funcao raiz."},
        {"imprima sen(b);", "Tipo incorreto na funcao sen."},
        {"imprima cos(s);", "Tipo incorreto na funcao cos."},
        {"imprima tan(s);", "Tipo incorreto na funcao tan."},
        {"imprima exp(s);", "Tipo incorreto na funcao exp."},
        {"imprima log(s);", "Tipo incorreto na funcao log."},
        {"imprima abs(s);", "Tipo incorreto na funcao abs."},
        {"imprima realint(i);", "Tipo incorreto na funcao realint."},
        {"imprima intreal(r);", "Tipo incorreto na funcao intreal."},
        {"i <- abs(r);", "Tipo incorreto em atribui\xE7\xE3o: i <- abs(r)."},
    };
    runTable(std::begin(cases), std::end(cases));
}

// Kinds the parser never builds reach the checker only through a fault of the
// system itself.
TEST(CheckCommands, KindsThatNeverReachTheCheckAreInternalErrors) {
    using namespace build;
    auto failure = [](const CmdList& cmds) {
        try {
            checkCmdType(cmds, {VarInt{{simple("i")}}});
        } catch (const JoxError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(failure({mkCmd(E_AtribFor{simple("i"), num(1)})}), internalError(120));
    EXPECT_EQ(failure({mkCmd(E_Saia{}), mkCmd(Ann_Pare{})}), internalError(120));
    EXPECT_EQ(failure({mkCmd(E_Leia{bin<E_Mais>(var("i"), num(1))})}), internalError(122));
    CmdPtr init = mkCmd(Atrib{simple("i"), num(0)});
    CmdPtr jump = mkCmd(E_Pare{});
    EXPECT_EQ(failure({mkCmd(E_Para{init, bin<E_Menor>(var("i"), num(2)), jump, {}})}),
              internalError(123));
}

}  // namespace
}  // namespace jox
