// The tokens of the JOX language and the lexer that turns source text into
// them, one token each time the parser asks for the next.
//
// Source text is 8-bit Latin-1.  Identifiers are runs of letters (A-Z, a-z and
// the Latin-1 letters 192-214, 216-246, 248-255) and digits that begin with a
// letter.  Lines are counted by line feeds outside string literals; a carriage
// return is a blank.  Every lexical error ends the run through fail() with
// its message; none of them carries a line number.
#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

#include "syntax/JoxTypes.h"

namespace jox {

// Token kinds, in the order of their tags.
enum class Tok : unsigned char {
    TK_INT,          // int
    TK_NUM,          // integer literal (value: Integer)
    TK_ATRIB,        // <-
    TK_ID,           // identifier (value: Text)
    TK_STR,          // string literal (value: Text, its contents)
    TK_STRING,       // string
    TK_REAL,         // real
    TK_FLOAT,        // real literal (value: double)
    TK_BOOL,         // logico
    TK_BOOLEAN,      // verdadeiro / falso (value: bool)
    TK_PROG,         // prog
    TK_ENDPROG,      // fimprog
    TK_PV,           // ;
    TK_MAIS,         // +
    TK_MENOS,        // -
    TK_PROD,         // *
    TK_ACOL,         // [
    TK_FCOL,         // ]
    TK_DIV,          // /
    TK_IDIV,         // div
    TK_VIRG,         // ,
    TK_ABREPAR,      // (
    TK_FECHAPAR,     // )
    TK_ABRECHAV,     // {
    TK_FECHACHAV,    // }
    TK_LEIA,         // leia
    TK_IMPRIMA,      // imprima
    TK_IGUAL,        // ==
    TK_MAIOR,        // >
    TK_MENOR,        // <
    TK_MAIORIG,      // >=
    TK_MENORIG,      // <=
    TK_DIF,          // <>
    TK_E,            // &&
    TK_OU,           // ||
    TK_NAO,          // !
    TK_SE,           // se
    TK_SENAO,        // senao
    TK_ENQUANTO,     // enquanto
    TK_FACA,         // faca
    TK_EOF,          // end of the text
    TK_PARA,         // para
    TK_INCR,         // ++
    TK_DECR,         // --
    TK_STRCOMP,      // strtam
    TK_STRCONCAT,    // strconcat
    TK_STRCOMPARA,   // strcomp
    TK_STRNPRIM,     // strnprim
    TK_STRNRESTO,    // strnresto
    TK_STRULT,       // strult
    TK_STRCOPIA,     // strcopia
    TK_STRPRIM,      // strprim
    TK_STRCALDA,     // strresto
    TK_RAIZQUAD,     // raiz
    TK_STRELEM,      // strelem
    TK_SENO,         // sen
    TK_COSENO,       // cos
    TK_TANGENTE,     // tan
    TK_RESTO,        // %
    TK_POT,          // **
    TK_IPOT,         // ^
    TK_EXP,          // exp
    TK_LOG,          // log
    TK_PI,           // pi
    TK_ABS,          // abs
    TK_INTREAL,      // intreal
    TK_REALINT,      // realint
    TK_SAIA,         // saia
    TK_CONTINUE,     // continue
    TK_PARE,         // pare
    TK_FORMATAR,     // formatar
};

constexpr int kTokenKinds = static_cast<int>(Tok::TK_FORMATAR) + 1;

// One token: its kind and, for the five valued kinds, its value (Integer for
// TK_NUM, Text for TK_ID and TK_STR, double for TK_FLOAT, bool for TK_BOOLEAN).
struct Token {
    Tok kind = Tok::TK_EOF;
    std::variant<std::monostate, Integer, Text, double, bool> value;
};

// Reads tokens from the front of a text.  The text must outlive the lexer.
class Lexer {
public:
    Lexer(std::string_view text, const Integer& firstLine);

    // Skips line breaks, blanks and comments and returns the next token;
    // TK_EOF at the end of the text, and again on every later call.  Ends the
    // run with fail() on text that cannot begin a token.  A string literal
    // that the end of the text cuts off is still returned as TK_STR; the
    // unterminated-string error is raised by the call after it.
    Token next();

    // The line on which the token last returned begins: the first line plus
    // the line feeds skipped before it outside string literals.
    Integer line() const;

    // The text that follows the token last returned.
    std::string_view rest() const { return text_.substr(pos_); }

private:
    Token word();
    Token number();
    Token stringLiteral();
    void blockComment();

    std::string_view text_;
    std::size_t pos_ = 0;
    Integer firstLine_;
    std::uint64_t breaks_ = 0;       // line feeds counted so far
    std::uint64_t tokenBreaks_ = 0;  // line feeds counted before the last token
    bool unterminated_ = false;      // the last TK_STR ran into the end of the text
};

}  // namespace jox
