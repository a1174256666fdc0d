// joxrun FILE.jox: parse, check and run a JOX program on the console.
#include <string>

#include "apps/Driver.h"
#include "apps/Source.h"
#include "check/CheckProgram.h"
#include "eval/EvalExp.h"
#include "eval/EvalProgram.h"
#include "syntax/Grammar.h"

int main(int argc, char** argv) {
    jox::runMain("joxrun", [&] {
        if (argc != 2) jox::fail("joxrun takes exactly one argument, the source file; got " + std::to_string(argc - 1));
        std::string text = jox::readSourceFile(argv[1]);
        jox::Program& program =
            jox::untilExit(std::move(std::get<jox::ParseOk<jox::Program>>(jox::grammar(text, 1)).value));
        jox::checkProgram(program);
        jox::Memory& memory = jox::untilExit(jox::fillGarbage(jox::removeVar(program.decls), jox::Memory{}));
        jox::execProg(program, memory);
    });
}
