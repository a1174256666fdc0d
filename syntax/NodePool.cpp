#include "syntax/NodePool.h"

#include <cstdlib>
#include <mutex>
#include <new>

namespace jox::detail {

namespace {

// Blocks are multiples of 16 bytes up to kLargest; larger ones come from
// operator new.  Each thread keeps its own free lists, so taking and giving
// back a block needs no lock; the chunks the blocks are carved from are
// linked from one list for the whole process (they are never freed, and
// stay reachable).
constexpr std::size_t kGrain = 16;
constexpr std::size_t kLargest = 256;
constexpr std::size_t kClasses = kLargest / kGrain;
constexpr std::size_t kChunkBytes = std::size_t{1} << 16;

struct FreeBlock {
    FreeBlock* next;
};

struct Chunk {
    Chunk* next;
};
Chunk* chunks = nullptr;
std::mutex chunksLock;

struct Pool {
    FreeBlock* free[kClasses] = {};
    char* next = nullptr;
    char* end = nullptr;
};
thread_local Pool pool;

std::size_t classOf(std::size_t bytes) { return (bytes + kGrain - 1) / kGrain - 1; }

char* newChunk() {
    auto* c = static_cast<Chunk*>(std::malloc(kChunkBytes));
    if (c == nullptr) throw std::bad_alloc();
    std::lock_guard<std::mutex> hold(chunksLock);
    c->next = chunks;
    chunks = c;
    return reinterpret_cast<char*>(c) + kGrain;
}

}  // namespace

void* takeNodeBlock(std::size_t bytes) {
    if (bytes > kLargest) return ::operator new(bytes);
    std::size_t k = classOf(bytes);
    if (FreeBlock* b = pool.free[k]) {
        pool.free[k] = b->next;
        return b;
    }
    std::size_t size = (k + 1) * kGrain;
    if (static_cast<std::size_t>(pool.end - pool.next) < size) {
        pool.next = newChunk();
        pool.end = pool.next + (kChunkBytes - kGrain);
    }
    void* p = pool.next;
    pool.next += size;
    return p;
}

void giveNodeBlock(void* block, std::size_t bytes) {
    if (bytes > kLargest) return ::operator delete(block);
    std::size_t k = classOf(bytes);
    auto* b = static_cast<FreeBlock*>(block);
    b->next = pool.free[k];
    pool.free[k] = b;
}

}  // namespace jox::detail
