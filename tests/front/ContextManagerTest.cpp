// The screen stack: activation order, pops, Escape and continue, the quit flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/front/ContextManager.h"
#include "support/KivHarness.h"

namespace {
std::vector<std::string>* gEvents = nullptr;

// A screen that records its activations and deletion.
class RecordingScreen : public Context {
public:
    explicit RecordingScreen(std::string name_, bool owned = true) : name(std::move(name_)) { bDeleteWhenClosed = owned; }
    ~RecordingScreen() override
    {
        if (gEvents != nullptr) {
            gEvents->push_back(name + " deleted");
        }
    }
    void onActivate(bool first) override
    {
        gEvents->push_back(name + (first ? " activate first" : " activate"));
        Context::onActivate(first);
    }
    void onDeactivate(bool closing) override { gEvents->push_back(name + (closing ? " closed" : " covered")); }
    void tickContents(double time, double dt) override
    {
        ++ticks;
        Context::tickContents(time, dt);
    }
    std::string name;
    int ticks = 0;
};

class ContextManagerTest : public ::testing::Test {
protected:
    ContextManagerTest() { gEvents = &events; }
    ~ContextManagerTest() override { gEvents = nullptr; }
    void tick() { harness.frame(&manager); }
    void pressKey(int code) { harness.kiv().input->keyState[static_cast<std::size_t>(code)] = 128; }

    std::vector<std::string> events;
    KivHarness harness;
    ContextManager manager;
};
} // namespace

TEST_F(ContextManagerTest, PushCoverUncoverAndPopInOrder)
{
    auto* a = new RecordingScreen("a");
    manager.addContext(a);
    tick();
    auto* b = new RecordingScreen("b");
    manager.addContext(b);
    tick();
    EXPECT_EQ(1, a->ticks); // only the top screen is ticked
    EXPECT_EQ(1, b->ticks);
    b->bClosed = true;
    tick();
    EXPECT_EQ(2, a->ticks);
    const std::vector<std::string> expected = {"a activate first", "a covered", "b activate first", "b closed",
                                               "b deleted", "a activate"};
    EXPECT_EQ(expected, events);
    EXPECT_FALSE(manager.bQuit);
    a->bClosed = true;
    tick();
    EXPECT_TRUE(manager.bQuit);
}

TEST_F(ContextManagerTest, TwoScreensClosedInOneFrameArePoppedTopFirst)
{
    auto* a = new RecordingScreen("a");
    auto* b = new RecordingScreen("b");
    auto* c = new RecordingScreen("c");
    manager.addContext(a);
    manager.addContext(b);
    manager.addContext(c);
    tick();
    events.clear();
    b->bClosed = true;
    c->bClosed = true;
    tick();
    const std::vector<std::string> expected = {"c closed", "c deleted", "b closed", "b deleted", "a activate first"};
    EXPECT_EQ(expected, events);
}

TEST_F(ContextManagerTest, ScreenClosedBeforeItsFirstTickIsNeverActivatedButStillClosed)
{
    auto* a = new RecordingScreen("a");
    manager.addContext(a);
    tick();
    RecordingScreen kept("kept", false);
    manager.addContext(&kept);
    kept.bClosed = true;
    tick();
    const std::vector<std::string> expected = {"a activate first", "kept closed", "a activate"};
    EXPECT_EQ(expected, events);
    EXPECT_EQ(nullptr, kept.getParent()); // not owned: left to its maker
}

TEST_F(ContextManagerTest, EscapeClosesOnlyScreensThatAllowIt)
{
    auto* a = new RecordingScreen("a");
    manager.addContext(a);
    auto* locked = new RecordingScreen("locked");
    locked->bEscapeCloses = false;
    manager.addContext(locked);
    tick();
    pressKey(1);
    tick();
    EXPECT_FALSE(locked->bClosed);
    locked->bEscapeCloses = true;
    harness.kiv().input->keyStatePrev[1] = 0;
    pressKey(1);
    manager.tickContents(0.0, 0.01);
    EXPECT_TRUE(locked->bClosed);
}

TEST_F(ContextManagerTest, DestructionDeletesOwnedScreensOnly)
{
    RecordingScreen kept("kept", false);
    {
        ContextManager local;
        local.addContext(&kept);
        local.addContext(new RecordingScreen("owned"));
    }
    const std::vector<std::string> expected = {"owned deleted"};
    EXPECT_EQ(expected, events);
    EXPECT_EQ(nullptr, kept.getParent());
}
