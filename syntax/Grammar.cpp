#include "syntax/Grammar.h"

#include "syntax/Failure.h"
#include "syntax/Lexer.h"
#include "syntax/grammar.tab.hh"

namespace jox {

ParseResult<Program> grammar(const Text& text, const Integer& firstLine) {
    Lexer lexer(text, firstLine);
    ParseResult<Program> result = ParseFail{"no program"};
    gen::Parser parser(lexer, result);
    // Lexical errors end the run from inside the lexer; the parser itself
    // reports failure only for a syntax error, at the lookahead it rejected.
    if (parser.parse() != 0) fail("Erro sintatico na linha " + lexer.line().get_str() + "\n");
    return result;
}

}  // namespace jox
