#include "syntax/Lexer.h"

#include <cstdlib>
#include <locale.h>
#include <string>
#include <unordered_map>

#include "syntax/Failure.h"

namespace jox {
namespace {

bool isLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c <= 214) ||
           (c >= 216 && c <= 246) || c >= 248;
}

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool isBlank(unsigned char c) {
    return c == 9 || c == 11 || c == 12 || c == 13 || c == 32 || c == 160;
}

[[noreturn]] void badCharacter(char c) {
    std::string message = "Utilizacao impropria do caracter \"";
    message += c;
    message += '"';
    if (c == '.') message += ' ';
    fail(message);
}

const std::unordered_map<std::string_view, Tok>& keywords() {
    static const std::unordered_map<std::string_view, Tok> table = {
        {"prog", Tok::TK_PROG},         {"int", Tok::TK_INT},
        {"real", Tok::TK_REAL},         {"logico", Tok::TK_BOOL},
        {"string", Tok::TK_STRING},     {"fimprog", Tok::TK_ENDPROG},
        {"se", Tok::TK_SE},             {"senao", Tok::TK_SENAO},
        {"enquanto", Tok::TK_ENQUANTO}, {"faca", Tok::TK_FACA},
        {"para", Tok::TK_PARA},         {"leia", Tok::TK_LEIA},
        {"imprima", Tok::TK_IMPRIMA},   {"strtam", Tok::TK_STRCOMP},
        {"strconcat", Tok::TK_STRCONCAT}, {"strcomp", Tok::TK_STRCOMPARA},
        {"strult", Tok::TK_STRULT},     {"strnprim", Tok::TK_STRNPRIM},
        {"strnresto", Tok::TK_STRNRESTO}, {"strcopia", Tok::TK_STRCOPIA},
        {"strprim", Tok::TK_STRPRIM},   {"strresto", Tok::TK_STRCALDA},
        {"strelem", Tok::TK_STRELEM},   {"raiz", Tok::TK_RAIZQUAD},
        {"sen", Tok::TK_SENO},          {"cos", Tok::TK_COSENO},
        {"tan", Tok::TK_TANGENTE},      {"exp", Tok::TK_EXP},
        {"log", Tok::TK_LOG},           {"pi", Tok::TK_PI},
        {"abs", Tok::TK_ABS},           {"formatar", Tok::TK_FORMATAR},
        {"intreal", Tok::TK_INTREAL},   {"realint", Tok::TK_REALINT},
        {"saia", Tok::TK_SAIA},         {"continue", Tok::TK_CONTINUE},
        {"pare", Tok::TK_PARE},         {"div", Tok::TK_IDIV},
    };
    return table;
}

// Decimal text "D.F" to the nearest double, independent of the C locale.
double decimalToDouble(const std::string& text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

Token make(Tok kind) { return Token{kind, {}}; }

}  // namespace

Lexer::Lexer(std::string_view text, const Integer& firstLine) : text_(text), firstLine_(firstLine) {}

Integer Lexer::line() const { return firstLine_ + static_cast<unsigned long>(tokenBreaks_); }

Token Lexer::next() {
    if (unterminated_) fail("String incompleta. Insira \".\n");
    const std::size_t end = text_.size();
    for (;;) {
        if (pos_ >= end) {
            tokenBreaks_ = breaks_;
            return make(Tok::TK_EOF);
        }
        const unsigned char c = static_cast<unsigned char>(text_[pos_]);
        if (c == '\n') {
            ++breaks_;
            ++pos_;
            continue;
        }
        if (isBlank(c)) {
            ++pos_;
            continue;
        }
        const unsigned char n = pos_ + 1 < end ? static_cast<unsigned char>(text_[pos_ + 1]) : 0;
        const bool hasNext = pos_ + 1 < end;
        if (c == '#') {  // line comment: up to and including the next line feed
            std::size_t lf = text_.find('\n', pos_ + 1);
            if (lf == std::string_view::npos) {
                pos_ = end;
            } else {
                pos_ = lf + 1;
                ++breaks_;
            }
            continue;
        }
        if (c == '/' && hasNext && n == '*') {
            blockComment();
            continue;
        }
        tokenBreaks_ = breaks_;
        if (isLetter(c)) return word();
        if (isDigit(c)) return number();
        if (c == '"') return stringLiteral();

        // Operators: two characters when the pair is one, else one.
        auto two = [&](Tok kind) {
            pos_ += 2;
            return make(kind);
        };
        auto one = [&](Tok kind) {
            pos_ += 1;
            return make(kind);
        };
        switch (c) {
            case '<':
                if (hasNext && n == '-') return two(Tok::TK_ATRIB);
                if (hasNext && n == '=') return two(Tok::TK_MENORIG);
                if (hasNext && n == '>') return two(Tok::TK_DIF);
                return one(Tok::TK_MENOR);
            case '-':
                if (hasNext && n == '-') return two(Tok::TK_DECR);
                return one(Tok::TK_MENOS);
            case '>':
                if (hasNext && n == '=') return two(Tok::TK_MAIORIG);
                return one(Tok::TK_MAIOR);
            case '+':
                if (hasNext && n == '+') return two(Tok::TK_INCR);
                return one(Tok::TK_MAIS);
            case '*':
                if (hasNext && n == '*') return two(Tok::TK_POT);
                return one(Tok::TK_PROD);
            case '/': return one(Tok::TK_DIV);
            case '=':
                if (hasNext && n == '=') return two(Tok::TK_IGUAL);
                badCharacter('=');
            case '&':
                if (hasNext && n == '&') return two(Tok::TK_E);
                badCharacter('&');
            case '|':
                if (hasNext && n == '|') return two(Tok::TK_OU);
                badCharacter('|');
            case '^': return one(Tok::TK_IPOT);
            case '%': return one(Tok::TK_RESTO);
            case '!': return one(Tok::TK_NAO);
            case '[': return one(Tok::TK_ACOL);
            case ']': return one(Tok::TK_FCOL);
            case '(': return one(Tok::TK_ABREPAR);
            case ')': return one(Tok::TK_FECHAPAR);
            case '{': return one(Tok::TK_ABRECHAV);
            case '}': return one(Tok::TK_FECHACHAV);
            case ',': return one(Tok::TK_VIRG);
            case ';': return one(Tok::TK_PV);
            default:
                // ".", "\\", "~", "`", "@", "$", "_", ":", "'", "?" and every
                // byte outside the classes (control characters, 127-159,
                // 161-191, 215, 247).
                badCharacter(static_cast<char>(c));
        }
    }
}

Token Lexer::word() {
    const std::size_t start = pos_;
    const std::size_t end = text_.size();
    while (pos_ < end) {
        const unsigned char c = static_cast<unsigned char>(text_[pos_]);
        if (!isLetter(c) && !isDigit(c)) break;
        ++pos_;
    }
    const std::string_view w = text_.substr(start, pos_ - start);
    const auto& table = keywords();
    if (auto it = table.find(w); it != table.end()) return make(it->second);
    if (w == "verdadeiro") return Token{Tok::TK_BOOLEAN, true};
    if (w == "falso") return Token{Tok::TK_BOOLEAN, false};
    return Token{Tok::TK_ID, Text(w)};
}

Token Lexer::number() {
    const std::size_t start = pos_;
    const std::size_t end = text_.size();
    while (pos_ < end && isDigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    if (pos_ < end && text_[pos_] == '.') {
        const std::size_t point = pos_++;
        while (pos_ < end && isDigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        // A point with no digit after it leaves a real literal without a
        // value: the point is the character that cannot be used there.
        if (pos_ == point + 1) badCharacter('.');
        return Token{Tok::TK_FLOAT, decimalToDouble(std::string(text_.substr(start, pos_ - start)))};
    }
    return Token{Tok::TK_NUM, Integer(std::string(text_.substr(start, pos_ - start)), 10)};
}

Token Lexer::stringLiteral() {
    const std::size_t end = text_.size();
    ++pos_;  // the opening quote
    Text contents;
    while (pos_ < end) {
        const char c = text_[pos_];
        if (c == '"') {
            ++pos_;
            return Token{Tok::TK_STR, std::move(contents)};
        }
        if (c == '\\' && pos_ + 1 < end && (text_[pos_ + 1] == 'n' || text_[pos_ + 1] == 't')) {
            contents += text_[pos_ + 1] == 'n' ? '\n' : '\t';
            pos_ += 2;
            continue;
        }
        // Any other character, a backslash before anything else included,
        // stands for itself; the character after such a backslash is read
        // anew.
        contents += c;
        ++pos_;
    }
    // Cut off by the end of the text: the literal is delivered, and the error
    // is raised when the token after it is asked for.
    unterminated_ = true;
    return Token{Tok::TK_STR, std::move(contents)};
}

void Lexer::blockComment() {
    const std::size_t end = text_.size();
    std::size_t p = pos_ + 2;  // after the opening "/*"
    std::uint64_t lines = 0;
    for (;;) {
        if (p >= end) fail("Coment\xE1rio incompleto. Insira */.\n");
        if (text_[p] == '*' && p + 1 < end && text_[p + 1] == '/') break;
        if (text_[p] == '\n') ++lines;
        ++p;
    }
    pos_ = p + 2;
    breaks_ += lines;
}

}  // namespace jox
