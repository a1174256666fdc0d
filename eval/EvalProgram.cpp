// Running commands on the console: a command list, the loop runners and the
// whole program are compiled against the memory and run.
#include "eval/EvalProgram.h"

#include "eval/Compile.h"

namespace jox {

Mode evalCmd(const CmdList& cmds, Memory& memory, const DeclList& decls, ControlState state) {
    Arena arena;
    CmdCompiler compiler(memory, decls, arena);
    Block* block = compiler.list(cmds, state.depth);
    if (state.mode == Mode::Exit) return Mode::Exit;
    return block->run();
}

Mode execEnquanto(const Expression& cond, const CmdList& body, Memory& memory, const DeclList& decls,
                  ControlState state) {
    Arena arena;
    CmdCompiler compiler(memory, decls, arena);
    BoolNode* test = compiler.condition(cond);
    LoopParts parts{nullptr, false, ActionStep{}, compiler.list(body, state.depth + 1)};
    return test->makeLoop(arena, parts)->passes(state.mode);
}

Mode execFaca(const CmdList& body, const Expression& cond, Memory& memory, const DeclList& decls,
              ControlState state) {
    return execEnquanto(cond, body, memory, decls, state);
}

Mode execPara(const Expression& cond, const Command& step, const CmdList& body, Memory& memory,
              const DeclList& decls, ControlState state) {
    Arena arena;
    CmdCompiler compiler(memory, decls, arena);
    BoolNode* test = compiler.condition(cond);
    LoopParts parts{nullptr, false, ActionStep{compiler.command(step, state.depth)},
                    compiler.list(body, state.depth + 1)};
    return test->makeLoop(arena, parts)->passes(state.mode);
}

void execProg(const Program& program, Memory& memory) {
    Arena arena;
    CmdCompiler compiler(memory, program.decls, arena);
    compiler.list(program.cmds, 0)->run();
}

}  // namespace jox
