// The common frame of both program entries.
#pragma once

#include <functional>

namespace jox {

// Runs `work` on a thread with a large stack and ends the process:
//  - work returns normally: stdout is flushed, exit status 0;
//  - a JoxError escapes: stdout is flushed, then "\n" "Fail: " message "\n"
//    goes to stderr, exit status 1;
//  - memory or stack runs out: stdout is flushed, one line naming the
//    program and the resource goes to stderr, exit status 2.
// Standard output is block-buffered unless it is a terminal (line-buffered
// then).  `program` names the binary in the exhaustion diagnostic.
[[noreturn]] void runMain(const char* program, const std::function<void()>& work);

}  // namespace jox
