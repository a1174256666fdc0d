// The failure convention shared by both programs.
//
// Every error the system raises ends the whole run.  It is thrown as a
// JoxError holding its message; the program entry catches it once, writes
// pending standard output, then "\n" "Fail: " message "\n" on standard error,
// and exits with status 1.  Nothing else catches it.
//
// Exhausted memory or stack is not an error of the program being run: it
// ends the run with a one-line diagnostic and exit status 2 (see
// apps/Driver.h).  Recursive passes over the tree call checkStack() at every
// level so that a deeply nested program reaches that diagnostic instead of
// overflowing the machine stack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace jox {

struct JoxError : std::runtime_error {
    explicit JoxError(const std::string& message) : std::runtime_error(message), message_(message) {}
    // The whole message; what() stops at the first NUL byte, and a message
    // may quote one taken from the source text.
    const std::string& message() const noexcept { return message_; }

private:
    std::string message_;
};

// Raised when a recursive pass is about to run out of stack.
struct StackExhausted : std::exception {
    const char* what() const noexcept override { return "stack exhausted"; }
};

// Throws JoxError(message).
[[noreturn]] void fail(const std::string& message);

// The internal-error text "Erro interno No. <n>." followed by a line break and
// the request to contact the developers, for states a checked program cannot
// reach.
std::string internalError(int number);

// Throws StackExhausted when the current thread has less than a safety margin
// of stack left.  Cheap enough to call once per level of every recursion:
// one comparison inline; the limit is found on a thread's first call.
extern constinit thread_local std::uintptr_t stackLimit;  // 0 until known
void checkStackSlow();
inline void checkStack() {
    char here;
    std::uintptr_t limit = stackLimit;
    if (limit == 0 || reinterpret_cast<std::uintptr_t>(&here) < limit) [[unlikely]]
        checkStackSlow();
}

// The most stack that checkStack() counts on in any thread: the size the
// driver reserves for its work where nothing limits it.
constexpr std::size_t kMostStack = std::size_t{1} << 30;

// Records the bounds of the calling thread's stack for checkStack(): the
// `size` bytes from `low` up, less a safety margin.  The driver calls it on
// the stack it runs the work on.
void setStackBounds(const void* low, std::size_t size);

// The same for the stack the system reports for the calling thread, within
// kMostStack bytes of its top: the system reports the main thread's stack as
// large as its limit allows, up to the next mapping, which under an
// unlimited stack limit is far more than memory could ever back.
// checkStack() calls it by itself on a thread whose bounds were never
// recorded.
void initStackLimit();

}  // namespace jox
