#include "syntax/Failure.h"

#include <pthread.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "syntax/AddressSanitizer.h"

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
        asan::unpoisonStack(reinterpret_cast<const void*>(low), stackTop - low);
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

// Stack left untouched below the limit: room for the deepest frame between
// two checks, for what the libraries called below them take (GNU MP's
// scratch space: up to about 120 KiB to convert or divide integers of tens of
// thousands of digits), for the unwinder and for the sanitizers' own use of
// the stack.  A small stack gets a quarter of its size, but never less than
// what GNU MP and a throw take together (so a stack smaller than that has no
// room at all).
constexpr std::size_t kStackMargin = std::size_t{4} << 20;
constexpr std::size_t kLeastStackMargin = std::size_t{256} << 10;

std::size_t marginOf(std::size_t size) {
    return std::clamp(size / 4, std::min(kLeastStackMargin, size), kStackMargin);
}

}  // namespace

void setStackBounds(const void* low, std::size_t size) {
    auto base = reinterpret_cast<std::uintptr_t>(low);
    stackLimit = base + marginOf(size);
    stackTop = base + size;
}

void initStackLimit() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
    void* low = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attr, &low, &size) == 0) {
        auto top = reinterpret_cast<std::uintptr_t>(low) + size;
        if (size > kMostStack) size = kMostStack;
        setStackBounds(reinterpret_cast<const void*>(top - size), size);
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
