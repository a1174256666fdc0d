#include "syntax/Failure.h"

#include <pthread.h>

#include <cstddef>
#include <cstdint>

namespace jox {

void fail(const std::string& message) { throw JoxError(message); }

std::string internalError(int number) {
    return "Erro interno No. " + std::to_string(number) +
           ".\nPor favor, entre em contato com os desenvolvedores do sistema.";
}

namespace {

// Stack left untouched below the limit: room for the deepest frame between two
// checks, for the unwinder and for the sanitizers' own use of the stack.
constexpr std::size_t kStackMargin = std::size_t{4} << 20;

}  // namespace

constinit thread_local std::uintptr_t stackLimit = 0;

void initStackLimit() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
    void* low = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attr, &low, &size) == 0) {
        std::uintptr_t base = reinterpret_cast<std::uintptr_t>(low);
        // A small stack gets a proportionally smaller margin.
        std::size_t margin = size / 4 < kStackMargin ? size / 4 : kStackMargin;
        stackLimit = base + margin;
    }
    pthread_attr_destroy(&attr);
}

void checkStackSlow() {
    if (stackLimit == 0) initStackLimit();
    char here;
    if (reinterpret_cast<std::uintptr_t>(&here) < stackLimit) throw StackExhausted();
}

}  // namespace jox
