// joxflow FILE.jox DELAY: parse and check a JOX program, draw it as a
// flowchart in daVinci and run it step by step.  DELAY is counted down before
// every command sent to daVinci (a negative value means no delay).
#include <cctype>
#include <string>
#include <utility>
#include <variant>

#include "apps/Driver.h"
#include "apps/Source.h"
#include "check/CheckProgram.h"
#include "eval/EvalExp.h"
#include "flowchart/Annotate.h"
#include "flowchart/AnimatedRun.h"
#include "graphtool/DaVinci.h"
#include "syntax/Grammar.h"

namespace {

// The time value: an optional "-" and decimal digits of any length, with
// white space around them ignored.
jox::Integer readTimeValue(const std::string& arg) {
    std::size_t b = 0, e = arg.size();
    while (b < e && std::isspace(static_cast<unsigned char>(arg[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(arg[e - 1]))) --e;
    std::string digits = arg.substr(b, e - b);
    std::size_t first = !digits.empty() && digits[0] == '-' ? 1 : 0;
    bool ok = digits.size() > first;
    for (std::size_t i = first; ok && i < digits.size(); ++i)
        ok = std::isdigit(static_cast<unsigned char>(digits[i])) != 0;
    if (!ok) jox::fail("invalid time value '" + arg + "': expected a decimal integer");
    return jox::Integer(digits, 10);
}

}  // namespace

int main(int argc, char** argv) {
    jox::runMain("joxflow", [&] {
        if (argc != 3)
            jox::fail("joxflow takes exactly two arguments, the source file and the time value; got " +
                      std::to_string(argc - 1));
        std::string text = jox::readSourceFile(argv[1]);
        auto parsed = jox::grammar(text, jox::Integer(1));
        if (const auto* bad = std::get_if<jox::ParseFail>(&parsed)) jox::fail(bad->error);
        jox::Program& program = jox::untilExit(std::move(std::get<jox::ParseOk<jox::Program>>(parsed).value));
        jox::checkProgram(program);
        jox::AnnCmdList& cmds = jox::untilExit(jox::annProg(program).second);
        jox::Integer delay = readTimeValue(argv[2]);
        if (delay > 86600) jox::fail("Faixa de tempo fora dos limites!");
        jox::DaVinciProcess link = jox::startDaVinci(false);
        jox::Memory& memory = jox::untilExit(jox::fillGarbage(jox::removeVar(program.decls), jox::Memory{}));
        jox::execGraph(cmds, link, memory, program.decls, delay);
        jox::stopDaVinci(link);
    });
}
