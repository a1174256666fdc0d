// What the code tells AddressSanitizer about its stacks, in a build with it;
// in any other build these do nothing.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define JOX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define JOX_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef JOX_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif

namespace jox::asan {

// Clears the shadow of `bytes` bytes from `from` up: that stack is no
// longer in use.
inline void unpoisonStack([[maybe_unused]] const void* from, [[maybe_unused]] std::size_t bytes) {
#ifdef JOX_ADDRESS_SANITIZER
    ASAN_UNPOISON_MEMORY_REGION(from, bytes);
#endif
}

// A switch of this thread from one stack to another: startSwitch just before
// it, naming the stack switched to (`save` keeps what belongs to the stack
// left; nullptr when that stack is left for good), finishSwitch first thing
// on the stack switched to (with what was saved when this stack was left, or
// nullptr; it tells the bounds of the stack left where asked).
inline void startSwitch([[maybe_unused]] void** save, [[maybe_unused]] const void* bottom,
                        [[maybe_unused]] std::size_t size) {
#ifdef JOX_ADDRESS_SANITIZER
    __sanitizer_start_switch_fiber(save, bottom, size);
#endif
}
inline void finishSwitch([[maybe_unused]] void* saved, [[maybe_unused]] const void** leftBottom,
                         [[maybe_unused]] std::size_t* leftSize) {
#ifdef JOX_ADDRESS_SANITIZER
    __sanitizer_finish_switch_fiber(saved, leftBottom, leftSize);
#endif
}

}  // namespace jox::asan
