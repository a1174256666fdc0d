#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "RunSupport.h"
#include "check/CheckProgram.h"
#include "eval/EvalExp.h"
#include "eval/EvalProgram.h"
#include "eval/Output.h"
#include "syntax/Failure.h"
#include "syntax/Grammar.h"

namespace jox::test {
namespace {

Program parse(const std::string& source) {
    return std::get<ParseOk<Program>>(grammar(source, Integer(1))).value;
}

std::string readAll(std::FILE* f) {
    std::string s;
    std::rewind(f);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    return s;
}

}  // namespace

RunResult runProgram(const std::string& source, const std::string& input) {
    // Standard input: a fresh stream over a file holding `input`.
    char inPath[] = "/tmp/jox_eval_inXXXXXX";
    int inFd = mkstemp(inPath);
    if (inFd < 0 || write(inFd, input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        throw std::runtime_error("cannot write the input file");
    close(inFd);
    if (std::freopen(inPath, "r", stdin) == nullptr) throw std::runtime_error("cannot reopen stdin");
    unlink(inPath);

    std::fflush(stdout);
    int savedOut = dup(STDOUT_FILENO);
    std::FILE* out = std::tmpfile();
    dup2(fileno(out), STDOUT_FILENO);

    RunResult r;
    try {
        Program program = parse(source);
        checkProgram(program);
        Memory memory = fillGarbage(removeVar(program.decls), Memory{});
        execProg(program, memory);
    } catch (const JoxError& e) {
        r.error = e.what();
    }
    flushOutputBeforeReport();
    dup2(savedOut, STDOUT_FILENO);
    close(savedOut);
    r.out = readAll(out);
    std::fclose(out);
    return r;
}

ExpPtr parseExp(const std::string& text) {
    Program p = parse("prog t\nx <- " + text + ";\nfimprog\n");
    return std::get<Atrib>(p.cmds.at(0)->v).value;
}

}  // namespace jox::test
