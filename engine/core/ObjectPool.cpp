#include "engine/core/ObjectPool.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define OBJECT_POOL_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OBJECT_POOL_OFF 1
#endif
#endif

#ifdef OBJECT_POOL_OFF

void* ObjectPool::allocate(std::size_t size) { return ::operator new(size); }
void ObjectPool::release(void* block, std::size_t) noexcept { ::operator delete(block); }

#else

namespace {
constexpr std::size_t CLASSES = ObjectPool::MAX_BLOCK / ObjectPool::GRANULE;

struct FreeBlock {
    FreeBlock* next;
};

// One thread's free lists and the rest of its current chunk.
struct Lists {
    FreeBlock* free[CLASSES] = {};
    char* chunkAt = nullptr;
    char* chunkEnd = nullptr;
};

thread_local Lists tLists;

std::size_t classOf(std::size_t size) { return (size + ObjectPool::GRANULE - 1) / ObjectPool::GRANULE - 1; }

void* cutBlock(Lists& lists, std::size_t bytes)
{
    if (static_cast<std::size_t>(lists.chunkEnd - lists.chunkAt) < bytes) {
        // What is left of the chunk goes to the free lists of the sizes it holds.
        while (static_cast<std::size_t>(lists.chunkEnd - lists.chunkAt) >= ObjectPool::GRANULE) {
            const std::size_t left = static_cast<std::size_t>(lists.chunkEnd - lists.chunkAt);
            const std::size_t take = left < ObjectPool::MAX_BLOCK ? left - left % ObjectPool::GRANULE
                                                                  : ObjectPool::MAX_BLOCK;
            auto* block = reinterpret_cast<FreeBlock*>(lists.chunkAt);
            FreeBlock*& head = lists.free[classOf(take)];
            block->next = head;
            head = block;
            lists.chunkAt += take;
        }
        lists.chunkAt = static_cast<char*>(::operator new(ObjectPool::CHUNK_BYTES));
        lists.chunkEnd = lists.chunkAt + ObjectPool::CHUNK_BYTES;
    }
    void* block = lists.chunkAt;
    lists.chunkAt += bytes;
    return block;
}
} // namespace

void* ObjectPool::allocate(std::size_t size)
{
    if (size == 0 || size > MAX_BLOCK) {
        return ::operator new(size);
    }
    Lists& lists = tLists;
    const std::size_t sizeClass = classOf(size);
    if (FreeBlock* block = lists.free[sizeClass]) {
        lists.free[sizeClass] = block->next;
        return block;
    }
    return cutBlock(lists, (sizeClass + 1) * GRANULE);
}

void ObjectPool::release(void* block, std::size_t size) noexcept
{
    if (block == nullptr) {
        return;
    }
    if (size == 0 || size > MAX_BLOCK) {
        ::operator delete(block);
        return;
    }
    FreeBlock*& head = tLists.free[classOf(size)];
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = head;
    head = freed;
}

#endif
