#include <gtest/gtest.h>

#include <string>

#include "TreePrinter_support.h"
#include "syntax/Failure.h"
#include "syntax/Lexer.h"

namespace jox {
namespace {

const char* const tokenNames[kTokenKinds] = {
    "TK_INT",       "TK_NUM",       "TK_ATRIB",     "TK_ID",        "TK_STR",      "TK_STRING",
    "TK_REAL",      "TK_FLOAT",     "TK_BOOL",      "TK_BOOLEAN",   "TK_PROG",     "TK_ENDPROG",
    "TK_PV",        "TK_MAIS",      "TK_MENOS",     "TK_PROD",      "TK_ACOL",     "TK_FCOL",
    "TK_DIV",       "TK_IDIV",      "TK_VIRG",      "TK_ABREPAR",   "TK_FECHAPAR", "TK_ABRECHAV",
    "TK_FECHACHAV", "TK_LEIA",      "TK_IMPRIMA",   "TK_IGUAL",     "TK_MAIOR",    "TK_MENOR",
    "TK_MAIORIG",   "TK_MENORIG",   "TK_DIF",       "TK_E",         "TK_OU",       "TK_NAO",
    "TK_SE",        "TK_SENAO",     "TK_ENQUANTO",  "TK_FACA",      "TK_EOF",      "TK_PARA",
    "TK_INCR",      "TK_DECR",      "TK_STRCOMP",   "TK_STRCONCAT", "TK_STRCOMPARA", "TK_STRNPRIM",
    "TK_STRNRESTO", "TK_STRULT",    "TK_STRCOPIA",  "TK_STRPRIM",   "TK_STRCALDA", "TK_RAIZQUAD",
    "TK_STRELEM",   "TK_SENO",      "TK_COSENO",    "TK_TANGENTE",  "TK_RESTO",    "TK_POT",
    "TK_IPOT",      "TK_EXP",       "TK_LOG",       "TK_PI",        "TK_ABS",      "TK_INTREAL",
    "TK_REALINT",   "TK_SAIA",      "TK_CONTINUE",  "TK_PARE",      "TK_FORMATAR"};

std::string showToken(const Token& t) {
    std::string out = tokenNames[static_cast<int>(t.kind)];
    std::visit(overloaded{
                   [](const std::monostate&) {},
                   [&](const Integer& n) { out += " " + n.get_str(); },
                   [&](const Text& s) { out += " " + test::quote(s); },
                   [&](double d) { out += " " + test::real(d); },
                   [&](bool b) { out += b ? " True" : " False"; },
               },
               t.value);
    return out;
}

// The tokens of `text` up to TK_EOF, separated by ", "; a lexical error ends
// the list with "FAIL " and its message.  With `lines`, each token carries
// "@" and its line.
std::string lex(const std::string& text, bool lines = false, long firstLine = 1) {
    Lexer lexer(text, Integer(firstLine));
    std::string out;
    for (int i = 0; i < 1000; ++i) {
        if (i) out += ", ";
        try {
            Token t = lexer.next();
            out += showToken(t);
            if (lines) out += "@" + lexer.line().get_str();
            if (t.kind == Tok::TK_EOF) return out;
        } catch (const JoxError& e) {
            return out + "FAIL " + e.message();
        }
    }
    return out + "... (no end)";
}

struct Case {
    std::string text;
    std::string tokens;
};

const std::string dotError = "FAIL Utilizacao impropria do caracter \".\" ";
std::string charError(const std::string& c) { return "FAIL Utilizacao impropria do caracter \"" + c + "\""; }
const std::string stringError = "FAIL String incompleta. Insira \".\n";
const std::string commentError = "FAIL Coment\xE1rio incompleto. Insira */.\n";

TEST(Lexer, WordsAndNumbers) {
    const Case cases[] = {
        {"", "TK_EOF"},
        {" \t\v\f\r\xA0", "TK_EOF"},
        {"x1y2", "TK_ID \"x1y2\", TK_EOF"},
        {"1x", "TK_NUM 1, TK_ID \"x\", TK_EOF"},
        {"007 5", "TK_NUM 7, TK_NUM 5, TK_EOF"},
        {"123456789012345678901234567890", "TK_NUM 123456789012345678901234567890, TK_EOF"},
        {"0.5 1.5e3", "TK_FLOAT 0.5, TK_FLOAT 1.5, TK_ID \"e3\", TK_EOF"},
        {"3.14159265358979323846", "TK_FLOAT 3.141592653589793, TK_EOF"},
        {"1.2.3", "TK_FLOAT 1.2, " + dotError},
        {".5", dotError},
        {"12.", dotError},
        {"12.x", dotError},
        // Latin-1 letters, both ends of each range.
        {"a\xE7\xE3o \xEDndice \xC0\xD6\xD8\xF6\xF8\xFF", "TK_ID \"a\\xE7\\xE3o\", TK_ID \"\\xEDndice\", "
                                                           "TK_ID \"\\xC0\\xD6\\xD8\\xF6\\xF8\\xFF\", TK_EOF"},
        {"a_b", "TK_ID \"a\", " + charError("_")},
        {"senao1 Prog pira prog1", "TK_ID \"senao1\", TK_ID \"Prog\", TK_ID \"pira\", TK_ID \"prog1\", TK_EOF"},
        {"prog int real logico string fimprog se senao enquanto faca para leia imprima",
         "TK_PROG, TK_INT, TK_REAL, TK_BOOL, TK_STRING, TK_ENDPROG, TK_SE, TK_SENAO, TK_ENQUANTO, TK_FACA, "
         "TK_PARA, TK_LEIA, TK_IMPRIMA, TK_EOF"},
        {"verdadeiro falso strtam strconcat strcomp strult strnprim strnresto strcopia strprim strresto "
         "strelem",
         "TK_BOOLEAN True, TK_BOOLEAN False, TK_STRCOMP, TK_STRCONCAT, TK_STRCOMPARA, TK_STRULT, "
         "TK_STRNPRIM, TK_STRNRESTO, TK_STRCOPIA, TK_STRPRIM, TK_STRCALDA, TK_STRELEM, TK_EOF"},
        {"raiz sen cos tan exp log pi abs formatar intreal realint saia continue pare div",
         "TK_RAIZQUAD, TK_SENO, TK_COSENO, TK_TANGENTE, TK_EXP, TK_LOG, TK_PI, TK_ABS, TK_FORMATAR, "
         "TK_INTREAL, TK_REALINT, TK_SAIA, TK_CONTINUE, TK_PARE, TK_IDIV, TK_EOF"},
    };
    for (const auto& c : cases) EXPECT_EQ(lex(c.text), c.tokens) << test::quote(c.text);
}

TEST(Lexer, Operators) {
    const Case cases[] = {
        {"se(a==b)", "TK_SE, TK_ABREPAR, TK_ID \"a\", TK_IGUAL, TK_ID \"b\", TK_FECHAPAR, TK_EOF"},
        {"<- <= <> < -- - >= > ++ + ** * / ^ % ! [ ] ( ) { } , ; == && ||",
         "TK_ATRIB, TK_MENORIG, TK_DIF, TK_MENOR, TK_DECR, TK_MENOS, TK_MAIORIG, TK_MAIOR, TK_INCR, "
         "TK_MAIS, TK_POT, TK_PROD, TK_DIV, TK_IPOT, TK_RESTO, TK_NAO, TK_ACOL, TK_FCOL, TK_ABREPAR, "
         "TK_FECHAPAR, TK_ABRECHAV, TK_FECHACHAV, TK_VIRG, TK_PV, TK_IGUAL, TK_E, TK_OU, TK_EOF"},
        {"<--", "TK_ATRIB, TK_MENOS, TK_EOF"},
        {"a<-1", "TK_ID \"a\", TK_ATRIB, TK_NUM 1, TK_EOF"},
        {"x---y", "TK_ID \"x\", TK_DECR, TK_MENOS, TK_ID \"y\", TK_EOF"},
        {"***", "TK_POT, TK_PROD, TK_EOF"},
        {"<", "TK_MENOR, TK_EOF"},
        {"!=", "TK_NAO, " + charError("=")},
        {"a = b", "TK_ID \"a\", " + charError("=")},
        {"=", charError("=")},
        {"a & b", "TK_ID \"a\", " + charError("&")},
        {"&", charError("&")},
        {"a | b", "TK_ID \"a\", " + charError("|")},
    };
    for (const auto& c : cases) EXPECT_EQ(lex(c.text), c.tokens) << test::quote(c.text);
}

TEST(Lexer, UnusableCharacters) {
    // The printable ones that no token uses, then bytes outside every class.
    const std::string chars = std::string(".\\~`@$_:'?") + "\x01\x08\x0E\x1F\x7F\x80\x9F\xA1\xAA\xB5\xBA\xBF\xD7\xF7" +
                              std::string(1, '\0');
    for (char c : chars) {
        std::string expected = charError(std::string(1, c));
        if (c == '.') expected += ' ';
        EXPECT_EQ(lex(std::string("x ") + c + " y"), "TK_ID \"x\", " + expected) << test::quote(std::string(1, c));
    }
}

TEST(Lexer, StringLiterals) {
    const Case cases[] = {
        {"\"a\tb\" \"a\\tb\"", "TK_STR \"a\\tb\", TK_STR \"a\\tb\", TK_EOF"},
        {"\"a\\qb\"", "TK_STR \"a\\\\qb\", TK_EOF"},
        {"\"a\\\" x", "TK_STR \"a\\\\\", TK_ID \"x\", TK_EOF"},
        {"\"a\\\\nb\"", "TK_STR \"a\\\\\\nb\", TK_EOF"},
        {"\"\" \"#/*\xE9\n\"", "TK_STR \"\", TK_STR \"#/*\\xE9\\n\", TK_EOF"},
        // Cut off by the end: the literal comes first, the error with the next token.
        {"\"abc", "TK_STR \"abc\", " + stringError},
        {"\"abc\\", "TK_STR \"abc\\\\\", " + stringError},
        {"x \"", "TK_ID \"x\", TK_STR \"\", " + stringError},
    };
    for (const auto& c : cases) EXPECT_EQ(lex(c.text), c.tokens) << test::quote(c.text);
}

TEST(Lexer, Comments) {
    const Case cases[] = {
        {"/**/x", "TK_ID \"x\", TK_EOF"},
        {"/* a **/x", "TK_ID \"x\", TK_EOF"},
        {"/* \" \xE9 */x", "TK_ID \"x\", TK_EOF"},
        {"/* a /* b */ c */", "TK_ID \"c\", TK_PROD, TK_DIV, TK_EOF"},
        {"fimprog /* end */", "TK_ENDPROG, TK_EOF"},
        {"a/b", "TK_ID \"a\", TK_DIV, TK_ID \"b\", TK_EOF"},
        {"/*/", commentError},
        {"x /* open", "TK_ID \"x\", " + commentError},
        {"# note \"", "TK_EOF"},
        {"#x\ny", "TK_ID \"y\", TK_EOF"},
    };
    for (const auto& c : cases) EXPECT_EQ(lex(c.text), c.tokens) << test::quote(c.text);
}

TEST(Lexer, LineNumbers) {
    struct LineCase {
        std::string text;
        long firstLine;
        std::string tokens;
    };
    const LineCase cases[] = {
        {"\n\nx", 1, "TK_ID \"x\"@3, TK_EOF@3"},
        {"x\ny\n", 1, "TK_ID \"x\"@1, TK_ID \"y\"@2, TK_EOF@3"},
        {"x\r\ny\r\n", 1, "TK_ID \"x\"@1, TK_ID \"y\"@2, TK_EOF@3"},
        {"x\ry", 1, "TK_ID \"x\"@1, TK_ID \"y\"@1, TK_EOF@1"},
        {"# c\nx", 1, "TK_ID \"x\"@2, TK_EOF@2"},
        {"x\n# c", 1, "TK_ID \"x\"@1, TK_EOF@2"},
        {"/* a\n\nb */ x", 1, "TK_ID \"x\"@3, TK_EOF@3"},
        {"\"a\nb\" x\ny", 1, "TK_STR \"a\\nb\"@1, TK_ID \"x\"@1, TK_ID \"y\"@2, TK_EOF@2"},
        {"a\n\nb", 10, "TK_ID \"a\"@10, TK_ID \"b\"@12, TK_EOF@12"},
    };
    for (const auto& c : cases) EXPECT_EQ(lex(c.text, true, c.firstLine), c.tokens) << test::quote(c.text);
}

}  // namespace
}  // namespace jox
