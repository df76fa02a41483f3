// The same level with the same input gives the same full state, byte for byte, after 1000 steps: twice in
// one process and in a second process.
#include "WorldFixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/core/KivRandom.h"
#include "game/world/Apple.h"
#include "game/world/BasketB.h"
#include "game/world/Cargo.h"
#include "game/world/Umbrella.h"
#include "support/ChildTest.h"
#include "support/TempDir.h"

namespace {
constexpr int STEPS = 1000;

// A busy little level: apples on a slope of crates, a basket, an umbrella.
void busyLevel(LevelBuilder& builder)
{
    WorldTest::flatLevel(builder);
    for (int i = 0; i < 12; ++i) {
        auto* a = new Apple();
        builder.add(a->getHomeList(), a);
        a->construct();
        a->position = V3{-150.0f + 23.0f * static_cast<float>(i), 200.0f + 31.0f * static_cast<float>(i % 4), 0.0f};
        a->bSuperApple = i % 5 == 0;
    }
    for (int i = 0; i < 4; ++i) {
        auto* c = new Cargo();
        builder.add(c->getHomeList(), c);
        c->construct();
        c->position = V3{-100.0f + 50.0f * static_cast<float>(i), 60.0f + 60.0f * static_cast<float>(i), 0.0f};
    }
    auto* b = new BasketB();
    builder.add(b->getHomeList(), b);
    b->construct();
    b->position = V3{150.0f, 40.0f, 0.0f};
    auto* u = new Umbrella();
    builder.add(u->getHomeList(), u);
    u->construct();
    u->position = V3{-400.0f, 40.0f, 0.0f};
}

// The scripted player: walks right, jumps now and then, turns back.
PigInput inputAt(int step)
{
    PigInput in;
    in.right = step % 400 < 250;
    in.left = step % 400 >= 300;
    in.jumpPressed = step % 97 == 0;
    in.jump = step % 97 < 10;
    return in;
}
} // namespace

class Determinism : public WorldTest {
protected:
    std::vector<uint8_t> run()
    {
        KivRandom::setSeed(777);
        LevelBuilder builder;
        busyLevel(builder);
        load(builder);
        play();
        PigInput in;
        pig().setInputOverride(&in);
        for (int i = 0; i < STEPS; ++i) {
            in = inputAt(i);
            steps(1);
        }
        pig().setInputOverride(nullptr);
        return fullState();
    }
};

TEST_F(Determinism, SameLevelAndInputGiveTheSameStateTwiceInOneProcess)
{
    const std::vector<uint8_t> first = run();
    const std::vector<uint8_t> second = run();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    // And the world did move: the pig is not where it started.
    EXPECT_NE(pig().position.x, -256.0f);
}

namespace {
// Writes the state of a run to the file named by WORLD_STATE_OUT: the child the test below starts.
class DeterminismChild : public Determinism {
    void TestBody() override
    {
        const std::vector<uint8_t> state = run();
        std::ofstream file(std::getenv("WORLD_STATE_OUT"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(state.data()), static_cast<std::streamsize>(state.size()));
    }
};
[[maybe_unused]] const bool childRegistered =
    ChildTest::registerWhenSet<DeterminismChild, Determinism>("WORLD_STATE_OUT", "Determinism", "ChildWritesItsState");
} // namespace

TEST_F(Determinism, SameLevelAndInputGiveTheSameStateInAnotherProcess)
{
    TempDir dir;
    const std::string path = dir.file("state.bin");
    const std::string command = "WORLD_STATE_OUT='" + path +
                                "' '" + std::filesystem::read_symlink("/proc/self/exe").string() +
                                "' --gtest_filter=Determinism.ChildWritesItsState > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> theirs((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(run(), theirs);
}
