#pragma once
// Storage for the engine's objects. Objects are made and deleted by the thousand (a level file makes every
// one of its objects at once, a level's end deletes them), so they come from blocks of a few sizes cut
// from large chunks and go back to a free list of their size, to be taken again by the next object of
// that size. Larger objects use the general allocator. Chunks are never handed back: the storage stays
// with the process for the next level. Each thread has free lists of its own; objects are made on the
// main thread. Builds with the address sanitizer use the general allocator throughout, so that it still
// sees every use of a deleted object.
#include <cstddef>

class ObjectPool {
public:
    // Blocks are multiples of this; objects larger than MAX_BLOCK use the general allocator.
    static constexpr std::size_t GRANULE = 16;
    static constexpr std::size_t MAX_BLOCK = 2048;
    static constexpr std::size_t CHUNK_BYTES = 64 * 1024;

    // A block for an object of `size` bytes; release takes it back with the same size.
    static void* allocate(std::size_t size);
    static void release(void* block, std::size_t size) noexcept;
};
