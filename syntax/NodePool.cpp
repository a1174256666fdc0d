#include "syntax/NodePool.h"

#include <sys/mman.h>

#include <cstdlib>
#include <mutex>
#include <new>

namespace jox {

std::size_t nextChunkSize(std::size_t bytes) {
    if (bytes < kFirstChunk) return kFirstChunk;
    return bytes < kLargestChunk ? 2 * bytes : kLargestChunk;
}

void* allocateChunk(std::size_t bytes) {
    bool huge = bytes % kLargestChunk == 0;
    void* p;
    while ((p = huge ? std::aligned_alloc(kLargestChunk, bytes) : std::malloc(bytes)) == nullptr) {
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
    if (huge) madvise(p, bytes, MADV_HUGEPAGE);
    return p;
}

namespace detail {

namespace {

// Blocks are multiples of 16 bytes up to kLargest; larger ones come from
// operator new.  Each thread keeps its own free lists, so taking and giving
// back a block needs no lock; the chunks the blocks are carved from are
// linked from one list for the whole process (they are never freed, and
// stay reachable).
constexpr std::size_t kGrain = 16;
constexpr std::size_t kLargest = 256;
constexpr std::size_t kClasses = kLargest / kGrain;

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
    std::size_t chunkBytes = 0;
};
thread_local Pool pool;

std::size_t classOf(std::size_t bytes) { return (bytes + kGrain - 1) / kGrain - 1; }

// A new chunk of `bytes` bytes (the first kGrain of which link it).
Chunk* newChunk(std::size_t bytes) {
    auto* c = static_cast<Chunk*>(allocateChunk(bytes));
    std::lock_guard<std::mutex> hold(chunksLock);
    c->next = chunks;
    chunks = c;
    return c;
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
        pool.chunkBytes = nextChunkSize(pool.chunkBytes);
        char* c = reinterpret_cast<char*>(newChunk(pool.chunkBytes));
        pool.next = c + kGrain;
        pool.end = c + pool.chunkBytes;
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

}  // namespace detail
}  // namespace jox
