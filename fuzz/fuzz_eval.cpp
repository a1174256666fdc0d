// Fuzz target: arbitrary bytes as a source text, up to the first NUL byte
// (which no source text may hold); a program that parses and checks is run
// from its initial memory, with the bytes after the NUL as its standard input
// and standard output thrown away.  The run is bounded: a budget of command
// lists (so of loop passes) and a small size limit for each value, so a
// long loop or a value doubled again and again ends the run as an expected
// outcome instead of a timeout.  Expected outcomes: the program ends, fails
// with its JoxError, nests deeper than the stack (StackExhausted), or runs
// out of its budgets (OutOfSteps, std::bad_alloc from the size limit).
// Anything else - a crash, a leak, a sanitizer report, a timeout - is a
// finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <variant>

#include "check/CheckProgram.h"
#include "eval/EvalExp.h"
#include "eval/EvalProgram.h"
#include "syntax/Failure.h"
#include "syntax/Grammar.h"

namespace {

constexpr long kCommandLists = 5000;
constexpr std::size_t kValueBytes = std::size_t{1} << 16;

struct OutOfSteps {};
long stepsLeft = 0;

void countStep() {
    if (--stepsLeft < 0) throw OutOfSteps{};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    jox::runLimits.onCommandList = countStep;
    jox::runLimits.valueBytes = kValueBytes;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t nul = bytes.find('\0');
    std::string text = bytes.substr(0, nul);
    std::string input = nul == std::string::npos ? "" : bytes.substr(nul + 1);
    // The console reader reads stdin: point it at the input for this run.
    std::FILE* console = input.empty() ? std::fopen("/dev/null", "r")
                                       : fmemopen(input.data(), input.size(), "r");
    if (console == nullptr) std::abort();
    std::FILE* saved = stdin;
    stdin = console;
    stepsLeft = kCommandLists;
    try {
        auto result = jox::grammar(text, 1);
        const jox::Program& program = std::get<jox::ParseOk<jox::Program>>(result).value;
        jox::checkProgram(program);
        jox::Memory memory = jox::fillGarbage(jox::removeVar(program.decls), jox::Memory{});
        jox::execProg(program, memory);
    } catch (const jox::JoxError&) {
    } catch (const jox::StackExhausted&) {
    } catch (const OutOfSteps&) {
    } catch (const std::bad_alloc&) {
    }
    stdin = saved;
    std::fclose(console);
    return 0;
}
