// Running JOX source in-process for the evaluator's tests: parse, check,
// build the initial memory and run, with standard input fed from a text and
// standard output captured.
#pragma once

#include <string>

#include "syntax/JoxTypes.h"

namespace jox::test {

struct RunResult {
    std::string out;    // everything the program wrote, also before a failure
    std::string error;  // the failure message, empty after a complete run
};

// Runs a whole program (checked first, so only run-time failures reach the
// evaluator).  A failure of the parse or the check is returned as well.
RunResult runProgram(const std::string& source, const std::string& input = "");

// The expression `text` as the parser builds it (taken from an assignment,
// so every operator is accepted); not checked.
ExpPtr parseExp(const std::string& text);

}  // namespace jox::test
