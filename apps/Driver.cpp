#include "apps/Driver.h"

#include <gmp.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <ucontext.h>
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
#include "syntax/AddressSanitizer.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

const char* programName = "jox";
const std::function<void()>* theWork = nullptr;
int workStatus = 0;

// Writes "PROGRAM: WHAT" and a line break on standard error, after pending
// output, and ends the run with status 2.  It allocates nothing: memory may
// be what ran out.
[[noreturn]] void exhausted(const char* what) {
    flushOutputBeforeReport();
    char colon[] = ": ", newline[] = "\n";
    iovec line[] = {{const_cast<char*>(programName), std::strlen(programName)},
                    {colon, 2},
                    {const_cast<char*>(what), std::strlen(what)},
                    {newline, 1}};
    ssize_t ignored = writev(STDERR_FILENO, line, 4);
    (void)ignored;
    std::_Exit(2);
}

// operator new found no memory.  The run ends here, where memory ran out,
// not by a throw: the frames a throw would leave may hold structures as deep
// as the program, and taking them apart takes memory too.
void outOfMemory() { exhausted("out of memory"); }

// GNU MP aborts when an allocation fails; report exhaustion instead.
void* gmpAlloc(std::size_t n) {
    void* p = std::malloc(n);
    if (p == nullptr) outOfMemory();
    return p;
}
void* gmpRealloc(void* old, std::size_t, std::size_t n) {
    void* p = std::realloc(old, n);
    if (p == nullptr) outOfMemory();
    return p;
}
void gmpFree(void* p, std::size_t) { std::free(p); }

std::size_t pageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

// The largest private writable mapping the system grants now, up to `most`
// bytes: what a limit on the address space (ulimit -v) or on data leaves
// free.  Found by trying, as nothing else counts exactly what the limits
// count; nothing is touched, and every trial is given back at once.
std::size_t largestMapping(std::size_t most) {
    auto granted = [](std::size_t bytes) {
        void* p =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
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

// The stack the work runs on.  It is mapped before the work starts, so what
// the program's data takes later cannot take its room, and it is not
// committed: only what deep recursion over a nested program touches is
// backed by memory; checkStack() stops the run well before its end.  The
// most, where nothing limits the address space; under a limit, a quarter of
// what it leaves free, so that the program's data keeps the rest.  Below it
// lies a page that nothing may touch.
struct WorkStack {
    void* low = nullptr;
    std::size_t size = 0;
};
WorkStack workStack;

// Less than this is not worth starting on (see kLeastStackMargin).
constexpr std::size_t kLeastWorkStack = std::size_t{1} << 20;

WorkStack mapWorkStack() {
    const std::size_t page = pageSize();
    std::size_t size = largestMapping(4 * kMostStack) / 4 / page * page;
    if (size < kLeastWorkStack) outOfMemory();
    void* p = mmap(nullptr, page + size, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
    if (p == MAP_FAILED || mprotect(p, page, PROT_NONE) != 0) outOfMemory();
    return WorkStack{static_cast<char*>(p) + page, size};
}

void doWork() {
    setStackBounds(workStack.low, workStack.size);
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
}

// Runs the work on a thread of its own, on the work's stack.  False where no
// thread can be created (a limit on processes, a full process table).
void* workThread(void*) {
    doWork();
    return nullptr;
}
bool runOnThread() {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_t thread;
    bool started = pthread_attr_setstack(&attr, workStack.low, workStack.size) == 0 &&
                   pthread_create(&thread, &attr, workThread, nullptr) == 0;
    pthread_attr_destroy(&attr);
    if (started) pthread_join(thread, nullptr);
    return started;
}

// Runs the work on this thread, switched onto the work's stack; it comes
// back to `caller` when it is done.  getcontext(&caller) returns twice: at
// once, to switch, and again when the work's context has ended.  (setcontext
// switches, not swapcontext, which AddressSanitizer warns against.)
ucontext_t caller;
void* callerSaved = nullptr;  // (what AddressSanitizer keeps of this stack)

void doWorkSwitched() {
    const void* callerBottom = nullptr;
    std::size_t callerSize = 0;
    asan::finishSwitch(nullptr, &callerBottom, &callerSize);
    doWork();
    asan::startSwitch(nullptr, callerBottom, callerSize);
}
void runOnThisThread() {
    ucontext_t work;
    getcontext(&work);
    work.uc_stack.ss_sp = workStack.low;
    work.uc_stack.ss_size = workStack.size;
    work.uc_link = &caller;
    makecontext(&work, doWorkSwitched, 0);
    volatile bool switched = false;
    getcontext(&caller);
    if (!switched) {
        switched = true;
        asan::startSwitch(&callerSaved, workStack.low, workStack.size);
        setcontext(&work);
    }
    asan::finishSwitch(callerSaved, nullptr, nullptr);
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
    std::set_new_handler(outOfMemory);
    // A closed pipe is an error of a write, not a signal (see eval/Output.h).
    std::signal(SIGPIPE, SIG_IGN);

    workStack = mapWorkStack();
    if (!runOnThread()) runOnThisThread();
    std::exit(workStatus);
}

}  // namespace jox
