#include "apps/Driver.h"

#include <gmp.h>
#include <pthread.h>
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

// Reserved (not committed) stack for the work thread: deep recursion over a
// nested program uses it; checkStack() stops the run well before its end.
constexpr std::size_t kWorkStack = std::size_t{1} << 30;

const char* programName = "jox";
const std::function<void()>* theWork = nullptr;
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
    initStackLimit();
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

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, kWorkStack);
    pthread_t thread;
    if (pthread_create(&thread, &attr, workThread, nullptr) != 0) {
        // No room for the large stack: do the work on this thread instead.
        workThread(nullptr);
    } else {
        pthread_join(thread, nullptr);
    }
    pthread_attr_destroy(&attr);
    std::exit(workStatus);
}

}  // namespace jox
