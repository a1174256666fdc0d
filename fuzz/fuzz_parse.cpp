// Fuzz target: arbitrary bytes as a source text, through the lexer, the
// parser and the static checker; a program that checks is then numbered and
// drawn as joxflow draws it, and the flowchart's command text must read back
// (with the stand-in's reader) as the very graph that was drawn.  A JoxError
// (the program's own lexical, syntax or type error) and StackExhausted
// (nesting deeper than the stack) are expected outcomes; anything else
// escaping, a crash or a sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <variant>

#include "check/CheckProgram.h"
#include "flowchart/Annotate.h"
#include "flowchart/GenGraph.h"
#include "graphtool/CmdReader.h"
#include "graphtool/DaVinciTypes.h"
#include "syntax/Failure.h"
#include "syntax/Grammar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace dv = jox::dv;
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        auto result = jox::grammar(text, 1);
        // The parser fails by throwing; a ParseFail escaping it breaks its contract.
        const jox::Program& program = std::get<jox::ParseOk<jox::Program>>(result).value;
        jox::checkProgram(program);

        jox::AnnCmdList cmds = jox::annProg(program).second;
        dv::DaVinciCmd graph = dv::Graph{dv::New{{dv::Node{dv::N{
            dv::NodeId{"Inicio"}, dv::Type{""}, {dv::A{"OBJECT", "Inicio"}}, {jox::genGraph(cmds)}}}}}};
        std::string line = dv::showCmd(graph);
        std::string error;
        std::optional<dv::DaVinciCmd> back = dv::readCmd(line, error);
        if (!back || !(*back == graph)) std::abort();
    } catch (const jox::JoxError&) {
    } catch (const jox::StackExhausted&) {
    }
    return 0;
}
