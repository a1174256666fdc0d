// Where the nodes of syntax trees live.  A program of a few hundred thousand
// lines is a few million small nodes, built one after the other and kept to
// the end: they come from free lists of blocks of a few sizes, carved out of
// large chunks, instead of from one malloc each.  A block that is given back
// is used again for the next node of its size.
#pragma once

#include <cstddef>

namespace jox {

namespace detail {
void* takeNodeBlock(std::size_t bytes);
void giveNodeBlock(void* block, std::size_t bytes);
}  // namespace detail

// Memory for pools of small objects, in chunks that grow with what a pool
// holds: the chunk after one of `bytes` bytes (64 KiB first, then doubling
// up to 2 MiB).  Chunks of 2 MiB are aligned to it and offered to the kernel
// for huge pages, so a large pool costs one page fault per 2 MiB instead of
// one per 4 KiB.  Where memory has run out, allocateChunk does what operator
// new does (the new handler, or std::bad_alloc).  Free them with std::free.
constexpr std::size_t kFirstChunk = std::size_t{1} << 16;
constexpr std::size_t kLargestChunk = std::size_t{1} << 21;
std::size_t nextChunkSize(std::size_t bytes);
void* allocateChunk(std::size_t bytes);

// The allocator of tree nodes (for std::allocate_shared).
template <class T>
struct NodeAllocator {
    using value_type = T;
    NodeAllocator() = default;
    template <class U>
    NodeAllocator(const NodeAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(detail::takeNodeBlock(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { detail::giveNodeBlock(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const NodeAllocator<U>&) const {
        return true;
    }
};

}  // namespace jox
