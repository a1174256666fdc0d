// Standard output of a running program, written with checked write(2) calls.
#include "eval/Output.h"

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "syntax/Failure.h"

namespace jox {

namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 16;

std::string pending;

// A terminal shows each line as soon as it is complete.
bool lineBuffered() {
    static const bool terminal = isatty(STDOUT_FILENO) == 1;
    return terminal;
}

// Waits until a non-blocking standard output can take more bytes.
void waitWritable() {
    pollfd p{STDOUT_FILENO, POLLOUT, 0};
    while (poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
}

// The reader went away: end as a write to a closed pipe ends a process that
// does not ignore SIGPIPE.
[[noreturn]] void endByClosedPipe() {
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
    std::raise(SIGPIPE);
    _exit(128 + SIGPIPE);  // (not reached)
}

// Writes all of `bytes`.  Yields 0, or the error of the write that failed.
int writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n >= 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
        else if (errno == EAGAIN || errno == EWOULDBLOCK)
            waitWritable();
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Writes out the pending bytes.  Yields 0 or the error of the write that
// failed; what could not be written is dropped either way, since it never
// will be.
int drain() {
    int error = writeAll(pending);
    pending.clear();
    return error;
}

// Fails for the error of a write (0: none).
void check(int error) {
    if (error == 0) return;
    if (error == EPIPE) endByClosedPipe();
    fail("cannot write standard output: " + std::string(std::strerror(error)));
}

}  // namespace

void writeOutput(std::string_view text) {
    if (text.size() >= kBufferBytes) {
        // A text larger than the buffer goes out directly, after what is pending.
        check(drain());
        check(writeAll(text));
        return;
    }
    pending.append(text);
    if (pending.size() >= kBufferBytes || (lineBuffered() && text.find('\n') != std::string_view::npos))
        flushOutput();
}

void flushOutput() { check(drain()); }

void flushOutputBeforeReport() { drain(); }

}  // namespace jox
