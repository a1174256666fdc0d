#include "apps/Driver.h"

#include <gmp.h>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "eval/Output.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

const char* programName = "jox";
const std::function<void()>* theWork = nullptr;
std::size_t workStack = 0;  // the stack the work may count on
int workStatus = 0;

[[noreturn]] void exhausted(const char* what) {
    flushOutputBeforeReport();
    std::string line = std::string(programName) + ": " + what + "\n";
    ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
    std::_Exit(2);
}

// GNU MP aborts when an allocation fails; report exhaustion instead.
void* gmpAlloc(std::size_t n) {
    void* p = std::malloc(n);
    if (p == nullptr) exhausted("out of memory");
    return p;
}
void* gmpRealloc(void* old, std::size_t, std::size_t n) {
    void* p = std::realloc(old, n);
    if (p == nullptr) exhausted("out of memory");
    return p;
}
void gmpFree(void* p, std::size_t) { std::free(p); }

void* workThread(void*) {
    initStackLimit(workStack);
    try {
        (*theWork)();
        flushOutput();
        workStatus = 0;
    } catch (const JoxError& e) {
        flushOutputBeforeReport();
        std::fputs("\nFail: ", stderr);
        std::fwrite(e.message().data(), 1, e.message().size(), stderr);
        std::fputs("\n", stderr);
        std::fflush(stderr);
        workStatus = 1;
    } catch (const StackExhausted&) {
        exhausted("program nested too deeply (stack exhausted)");
    } catch (const std::bad_alloc&) {
        exhausted("out of memory");
    } catch (const std::length_error&) {
        exhausted("out of memory");
    }
    return nullptr;
}

std::size_t pageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

// The largest private writable mapping the system grants now, up to `most`
// bytes: what a limit on the address space (ulimit -v) or on data leaves
// free.  Found by trying, as nothing else counts exactly what the limits
// count; nothing is touched, and every trial is given back at once.
std::size_t largestMapping(std::size_t most) {
    auto granted = [](std::size_t bytes) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                       -1, 0);
        if (p == MAP_FAILED) return false;
        munmap(p, bytes);
        return true;
    };
    if (granted(most)) return most;
    const std::size_t page = pageSize();
    std::size_t fits = 0, failsAt = most / page;  // in pages
    while (failsAt - fits > 1) {
        std::size_t mid = fits + (failsAt - fits) / 2;
        if (granted(mid * page))
            fits = mid;
        else
            failsAt = mid;
    }
    return fits * page;
}

// The stack reserved for the work (not committed: only what deep recursion
// over a nested program touches is backed by memory; checkStack() stops the
// run well before its end).  The most, where nothing limits the address
// space; under a limit, a quarter of what it leaves free, so that the
// program's data keeps the rest.
std::size_t reservedStack() {
    return largestMapping(4 * kMostStack) / 4 / pageSize() * pageSize();
}

// Runs the work on a thread with the reserved stack, or, where no such
// thread can be had (a limit on processes, an address space that is all but
// full), on this thread within the same bound.
void runWork() {
    workStack = reservedStack();
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_t thread;
    if (pthread_attr_setstacksize(&attr, workStack) == 0 &&
        pthread_create(&thread, &attr, workThread, nullptr) == 0)
        pthread_join(thread, nullptr);
    else
        workThread(nullptr);
    pthread_attr_destroy(&attr);
}

// The values kept until the exit (never destroyed: the list is never freed).
std::vector<std::shared_ptr<void>>* keptValues = nullptr;

}  // namespace

void keepAlive(std::shared_ptr<void> value) {
    if (keptValues == nullptr) keptValues = new std::vector<std::shared_ptr<void>>;
    keptValues->push_back(std::move(value));
}

void runMain(const char* program, const std::function<void()>& work) {
    programName = program;
    theWork = &work;
    mp_set_memory_functions(gmpAlloc, gmpRealloc, gmpFree);
    std::set_new_handler(nullptr);
    // A closed pipe is an error of a write, not a signal (see eval/Output.h).
    std::signal(SIGPIPE, SIG_IGN);

    runWork();
    std::exit(workStatus);
}

}  // namespace jox
