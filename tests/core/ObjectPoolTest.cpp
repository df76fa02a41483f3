#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/ObjectPool.h"

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool POOLED = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool POOLED = false;
#else
constexpr bool POOLED = true;
#endif
#else
constexpr bool POOLED = true;
#endif

// A derived object larger than its base: deleting it through a base pointer must hand back its own size.
class WideThing : public KivBase {
public:
    char payload[300] = {};
};

class HugeThing : public KivBase {
public:
    char payload[ObjectPool::MAX_BLOCK + 100] = {};
};
} // namespace

TEST(ObjectPool, BlocksAreAlignedApartAndSurviveManyChunks)
{
    // More than two chunks' worth of one size, and a few other sizes in between.
    const std::size_t count = 3 * ObjectPool::CHUNK_BYTES / 208 + 10;
    std::vector<std::pair<uint8_t*, std::size_t>> blocks;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t size = i % 7 == 0 ? 1 + i % ObjectPool::MAX_BLOCK : 200;
        auto* block = static_cast<uint8_t*>(ObjectPool::allocate(size));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
        std::memset(block, static_cast<int>(i & 0xFF), size);
        blocks.emplace_back(block, size);
    }
    // No block overlaps another: each still holds what was written into it.
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto [block, size] = blocks[i];
        EXPECT_TRUE(std::all_of(block, block + size, [i](uint8_t b) { return b == (i & 0xFF); })) << i;
    }
    for (const auto& [block, size] : blocks) {
        ObjectPool::release(block, size);
    }
    ObjectPool::release(nullptr, 16); // nothing
}

TEST(ObjectPool, ReleasedBlocksServeTheNextObjectOfTheirSize)
{
    if (!POOLED) {
        GTEST_SKIP() << "the address sanitizer's builds use the general allocator";
    }
    void* a = ObjectPool::allocate(100);
    ObjectPool::release(a, 100);
    // Sizes that round to the same block share it; another size does not take it.
    void* other = ObjectPool::allocate(300);
    EXPECT_NE(other, a);
    void* b = ObjectPool::allocate(97);
    EXPECT_EQ(b, a);
    ObjectPool::release(b, 97);
    ObjectPool::release(other, 300);
}

TEST(ObjectPool, ObjectsGoBackWithTheSizeOfTheirOwnClass)
{
    std::unique_ptr<KivBase> wide(new WideThing());
    KivBase* first = wide.get();
    wide.reset(); // deleted through the base class
    std::unique_ptr<KivBase> again(new WideThing());
    if (POOLED) {
        EXPECT_EQ(again.get(), first);
        // A plain object is smaller and does not take a wide object's block.
        std::unique_ptr<KivBase> small(new KivBase());
        EXPECT_NE(small.get(), first);
    }
    // Objects beyond the largest block come from the general allocator and go back to it.
    std::unique_ptr<KivBase> huge(new HugeThing());
    static_cast<HugeThing*>(huge.get())->payload[sizeof(HugeThing::payload) - 1] = 7;
    huge.reset();
}
