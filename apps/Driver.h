// The common frame of both program entries, and of the stand-in daVinci
// of the tests (tools/).
#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace jox {

// Runs `work` on a large stack mapped for it at the start (1 GiB, less under
// a limit on the address space): on a thread of its own, or, where no thread
// can be created, on the calling thread switched onto that stack.  Then it
// ends the process:
//  - work returns normally: the program's output is written out (a failed
//    write is a failure, below), exit status 0;
//  - a JoxError escapes: pending output is written out, then "\n" "Fail: "
//    message "\n" goes to stderr, exit status 1;
//  - memory or stack runs out: pending output is written out, one line
//    naming the program and the resource goes to stderr, exit status 2
//    (memory: at once, where it ran out).
// A write that fails while a report is due changes neither the report nor
// the status.  `program` names the binary in the exhaustion diagnostic.
[[noreturn]] void runMain(const char* program, const std::function<void()>& work);

// Hands `value` over to live until the process ends, and returns it.  It is
// never destroyed: taking apart a memory of a million elements or the tree of
// a long program would only delay the exit, which gives all memory back at
// once.  The value stays reachable (leak checkers stay quiet) and is not
// destroyed either when a failure ends the run.
void keepAlive(std::shared_ptr<void> value);
template <class T>
T& untilExit(T&& value) {
    auto kept = std::make_shared<T>(std::move(value));
    T& ref = *kept;
    keepAlive(std::move(kept));
    return ref;
}

}  // namespace jox
