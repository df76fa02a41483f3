#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/render/PointerDispatcher.h"

namespace {
std::vector<std::string> gLog;

// A square object that logs the events it sees.
class Target : public KivBase {
public:
    Target(std::string n, float x0, float x1, bool takes = true) : name(std::move(n)), left(x0), right(x1), bTakes(takes) {}
    bool isPointInside(const V3& p) override { return p.x >= left && p.x < right && p.y >= 0 && p.y < 10; }
    bool onEvent(KivEvent& e) override
    {
        gLog.push_back(name + ":" + std::to_string(e.type));
        EXPECT_NE(e.dispatcher, nullptr);
        return bTakes;
    }
    bool onEventCapture(KivEvent& e) override
    {
        if (bCapture) {
            gLog.push_back(name + ":capture" + std::to_string(e.type));
        }
        return false;
    }
    std::string name;
    float left, right;
    bool bTakes;
    bool bCapture = false;
};
} // namespace

TEST(PointerDispatcherTest, FocusClickDragMoveAndKeysInOrder)
{
    gLog.clear();
    KivBase screen;
    auto* a = new Target("a", 0, 10);
    auto* b = new Target("b", 20, 30);
    screen.appendChild(a);
    screen.appendChild(b);
    PointerDispatcher dispatcher;

    dispatcher.dispatch(&screen, V3(5, 5, 0), false);
    EXPECT_EQ(dispatcher.getObjectUnderPointer(), a);
    EXPECT_EQ(dispatcher.getHovered(), nullptr); // only a press moves the focus
    dispatcher.dispatch(&screen, V3(5, 5, 0), true);
    EXPECT_EQ(dispatcher.getHovered(), a);
    dispatcher.dispatch(&screen, V3(6, 5, 0), false); // released 1 unit away: a click
    EXPECT_EQ(gLog, (std::vector<std::string>{"a:3", "a:7", "a:4"}));

    gLog.clear();
    dispatcher.dispatch(&screen, V3(25, 5, 0), true); // press on b: a loses, b gains
    dispatcher.dispatch(&screen, V3(28, 5, 0), true); // drag
    dispatcher.dispatch(&screen, V3(28, 5, 0), false); // released 3 units away: no click
    EXPECT_EQ(gLog, (std::vector<std::string>{"b:7", "a:2", "b:3", "b:7", "b:5"}));

    gLog.clear();
    EXPECT_TRUE(dispatcher.sendKey(65));
    EXPECT_EQ(gLog, (std::vector<std::string>{"b:6"}));
    dispatcher.dispatch(&screen, V3(50, 50, 0), true); // press on empty space: no focus
    EXPECT_EQ(dispatcher.getHovered(), nullptr);
    EXPECT_FALSE(dispatcher.sendKey(65));
    dispatcher.dispatch(&screen, V3(50, 50, 0), false);

    // An object whose ancestor ignores events does not take the focus.
    gLog.clear();
    screen.bIgnoreEvents = true;
    dispatcher.dispatch(&screen, V3(5, 5, 0), true);
    EXPECT_EQ(dispatcher.getHovered(), nullptr);
    dispatcher.dispatch(&screen, V3(5, 5, 0), false);
    screen.bIgnoreEvents = false;

    // A deleted focus leaves the dispatcher empty, not dangling.
    dispatcher.dispatch(&screen, V3(5, 5, 0), true);
    EXPECT_EQ(dispatcher.getHovered(), a);
    delete a;
    EXPECT_EQ(dispatcher.getHovered(), nullptr);
    EXPECT_EQ(dispatcher.getObjectUnderPointer(), nullptr);
}

TEST(PointerDispatcherTest, SendEventCapturesAtTheParentThenBubbles)
{
    gLog.clear();
    Target parent("parent", 0, 0, false);
    parent.bCapture = true;
    auto* child = new Target("child", 0, 10, false);
    parent.appendChild(child);
    PointerDispatcher dispatcher;
    EXPECT_FALSE(dispatcher.sendEvent(9, nullptr, child));
    ASSERT_GE(gLog.size(), 2u);
    EXPECT_EQ(gLog[0], "parent:capture9");
    EXPECT_EQ(gLog[1], "child:9");

    gLog.clear();
    child->bIgnoreEvents = true; // the target's own handler is skipped
    dispatcher.sendEvent(9, nullptr, child);
    EXPECT_EQ(gLog[0], "parent:capture9");
    EXPECT_TRUE(std::find(gLog.begin(), gLog.end(), "child:9") == gLog.end());

    gLog.clear();
    dispatcher.setHovered(child);
    dispatcher.setHovered(&parent);
    dispatcher.setHovered(&parent);
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "parent:3"), 1);
}
