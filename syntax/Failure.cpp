#include "syntax/Failure.h"

#include <pthread.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define JOX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define JOX_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef JOX_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

namespace jox {

constinit thread_local std::uintptr_t stackLimit = 0;

namespace {

thread_local std::uintptr_t stackTop = 0;

// Before an exception leaves a deep recursion.  AddressSanitizer clears the
// shadow of the frames a throw unwinds, but not when they span more than
// 64 MiB of stack; the frames the unwinder and the handlers call afterwards
// would then meet the poisoned red zones of the frames that were left, and
// read as overflowing.  So a throw from that deep clears the shadow from here
// to the top of the stack itself.  Nothing to do in other builds.
__attribute__((noinline)) void clearShadowAboveHere() {
#ifdef JOX_ADDRESS_SANITIZER
    constexpr std::uintptr_t kAsanCleansUpTo = std::uintptr_t{32} << 20;
    char here;
    auto low = reinterpret_cast<std::uintptr_t>(&here);
    if (stackTop > low && stackTop - low > kAsanCleansUpTo)
        ASAN_UNPOISON_MEMORY_REGION(&here, stackTop - low);
#endif
}

}  // namespace

void fail(const std::string& message) {
    clearShadowAboveHere();
    throw JoxError(message);
}

std::string internalError(int number) {
    return "Erro interno No. " + std::to_string(number) +
           ".\nPor favor, entre em contato com os desenvolvedores do sistema.";
}

namespace {

// Stack left untouched below the limit: room for the deepest frame between two
// checks, for the unwinder and for the sanitizers' own use of the stack.  A
// small stack gets a quarter of its size, but never less than what a throw
// takes with the first binding of the unwinder's functions.
constexpr std::size_t kStackMargin = std::size_t{4} << 20;
constexpr std::size_t kLeastStackMargin = std::size_t{16} << 10;

std::size_t marginOf(std::size_t size) {
    return std::clamp(size / 4, std::min(kLeastStackMargin, size), kStackMargin);
}

}  // namespace

void initStackLimit(std::size_t usable) {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
    void* low = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attr, &low, &size) == 0) {
        std::uintptr_t top = reinterpret_cast<std::uintptr_t>(low) + size;
        if (size > usable) size = usable;
        std::uintptr_t base = top - size;
        stackLimit = base + marginOf(size);
        stackTop = top;
    }
    pthread_attr_destroy(&attr);
}

void checkStackSlow() {
    if (stackLimit == 0) initStackLimit();
    char here;
    if (reinterpret_cast<std::uintptr_t>(&here) < stackLimit) {
        clearShadowAboveHere();
        throw StackExhausted();
    }
}

}  // namespace jox
