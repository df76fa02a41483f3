// Keyboard and joystick navigation between the hot spots of a menu, as pointer moves and synthetic touches.
#include "MenuFixture.h"

#include <vector>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformEventInjector.h"
#include "game/front/ContextManager.h"
#include "game/language/Language.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuItem.h"

namespace {
// Hot spots at fixed pointer coordinates.
class FixedSpots : public Renderable, public Navigable {
public:
    explicit FixedSpots(std::vector<V3> spots) : points(std::move(spots)) {}
    V3 getNavigationPoint(int index) override
    {
        return index >= 0 && index < static_cast<int>(points.size()) ? points[static_cast<std::size_t>(index)] : NONE;
    }
    std::vector<V3> points;
};

class Navigation : public MenuFixture {
protected:
    // A 3 x 3 grid of buttons 200 units apart in x and 100 in y; grid[row][column], row 0 at the top.
    ContextMenu* pushGrid()
    {
        auto* menu = new ContextMenu();
        menu->bDeleteWhenClosed = true;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                auto* button = new MenuButton(200.0f * static_cast<float>(column - 1),
                                              100.0f - 100.0f * static_cast<float>(row), 0.0f, u"B", UString());
                button->setWidth(160);
                menu->addItem(button);
                grid[row][column] = button;
            }
        }
        push(menu);
        return menu;
    }
    V3 spotOf(MenuButton* button) { return button->getNavigationPoint(0); }
    bool pointerAt(MenuButton* button)
    {
        const V3 spot = spotOf(button);
        return std::abs(input().pointer.x - spot.x) < 0.5f && std::abs(input().pointer.y - spot.y) < 0.5f;
    }
    void pointerOnto(MenuButton* button)
    {
        input().warpCursor(spotOf(button));
    }

    MenuButton* grid[3][3] = {};
};
} // namespace

TEST_F(Navigation, ScoresFavourNearAndAlignedPointsAndNeverThePointUnderThePointer)
{
    const V3 from(400, 300, 0);
    EXPECT_FLOAT_EQ(256.0f, ContextMenu::navigationScore(from, from, ContextMenu::NEAREST));
    EXPECT_FLOAT_EQ(-1.0f, ContextMenu::navigationScore(from, V3(402, 302, 0), ContextMenu::UP));
    EXPECT_FLOAT_EQ(256.0f / 100.0f, ContextMenu::navigationScore(from, V3(400, 400, 0), ContextMenu::UP));
    EXPECT_LT(ContextMenu::navigationScore(from, V3(400, 200, 0), ContextMenu::UP), 0.0f);
    EXPECT_GT(ContextMenu::navigationScore(from, V3(400, 350, 0), ContextMenu::UP),
              ContextMenu::navigationScore(from, V3(400, 400, 0), ContextMenu::UP));
    EXPECT_GT(ContextMenu::navigationScore(from, V3(500, 300, 0), ContextMenu::RIGHT),
              ContextMenu::navigationScore(from, V3(500, 380, 0), ContextMenu::RIGHT));
}

TEST_F(Navigation, OffScreenHotSpotsAreNeverChosenAndNothingLeavesThePointer)
{
    auto* menu = new ContextMenu();
    const int w = ContextMenu::screenWidth(), h = ContextMenu::screenHeight();
    auto* spots = new FixedSpots({V3(400, 0, 0), V3(static_cast<float>(w), 300, 0), V3(0, 300, 0),
                                  V3(400, static_cast<float>(h), 0)});
    menu->addItem(spots);
    push(menu);
    const V3 from(400, 300, 0);
    EXPECT_EQ(from, menu->findNavigationTarget(from, ContextMenu::DOWN)); // y = 0 is off screen
    EXPECT_EQ(from, menu->findNavigationTarget(from, ContextMenu::RIGHT)); // x = width is off screen
    EXPECT_EQ(V3(0, 300, 0), menu->findNavigationTarget(from, ContextMenu::LEFT));
    EXPECT_EQ(V3(400, static_cast<float>(h), 0), menu->findNavigationTarget(from, ContextMenu::UP));
    // A hidden item is skipped; a deleted one leaves the list.
    spots->bHidden = true;
    EXPECT_EQ(from, menu->findNavigationTarget(from, ContextMenu::LEFT));
    delete spots;
    EXPECT_EQ(from, menu->findNavigationTarget(from, ContextMenu::NEAREST));
    EXPECT_EQ(nullptr, menu->navigationEntries.getFirstChild());
}

TEST_F(Navigation, ArrowKeysWalkTheGridAndUpWithRightInOneFrameGoesRight)
{
    pushGrid();
    pointerOnto(grid[1][1]);
    frames(1);
    tap(200); // up
    EXPECT_TRUE(pointerAt(grid[0][1]));
    EXPECT_EQ(ContextMenu::NAVIGATION_KEYBOARD, ContextMenu::menuNavigationMode);
    frames(1);
    tap(208); // down
    EXPECT_TRUE(pointerAt(grid[1][1]));
    frames(1);
    tap(203); // left
    EXPECT_TRUE(pointerAt(grid[1][0]));
    frames(1);
    tap(203); // nothing further left: the pointer stays
    EXPECT_TRUE(pointerAt(grid[1][0]));
    frames(1);
    hold(200);
    hold(205);
    frames(1);
    EXPECT_TRUE(pointerAt(grid[1][1])) << "the right search, the last one, wins";
}

TEST_F(Navigation, TheFrameAfterAModeChangeReadsNoKeys)
{
    pushGrid();
    pointerOnto(grid[1][1]);
    movePointer(V3(300, 250, 0)); // a mouse move: pointer navigation
    frames(2);
    EXPECT_EQ(ContextMenu::NAVIGATION_POINTER, ContextMenu::menuNavigationMode);
    hold(208);
    frames(1); // switches the mode and moves
    EXPECT_EQ(ContextMenu::NAVIGATION_KEYBOARD, ContextMenu::menuNavigationMode);
    const V3 afterSwitch = input().pointer;
    hold(208, false);
    hold(205);
    frames(1); // the frame after the change: not read
    EXPECT_EQ(afterSwitch, input().pointer);
    hold(205, false);
    frames(1);
    hold(205);
    frames(1);
    EXPECT_NE(afterSwitch, input().pointer);
    // Moving the mouse by more than 2 pixels returns to pointer navigation.
    frames(1); // the window reports the warp of the cursor first
    movePointer(input().pointer + V3(10, 0, 0));
    frames(1);
    EXPECT_EQ(ContextMenu::NAVIGATION_POINTER, ContextMenu::menuNavigationMode);
}

TEST_F(Navigation, ConfirmClicksTheItemUnderThePointerOnlyWhenPressedInThisMenu)
{
    pushGrid();
    pointerOnto(grid[2][1]);
    frames(1);
    tap(205); // keyboard navigation, onto the bottom right button
    ASSERT_TRUE(pointerAt(grid[2][2]));
    frames(1);
    tap(28); // Return: pressed and released in this menu
    frames(2);
    EXPECT_TRUE(grid[2][2]->takeClick());

    // Return held while a new menu opens: its release does not click there.
    hold(28);
    frames(1);
    auto* second = new ContextMenu();
    auto* button = new MenuButton(0, 0, 0, u"X", UString());
    second->addItem(button);
    push(second);
    input().warpCursor(button->getNavigationPoint(0));
    frames(2);
    EXPECT_FALSE(second->bConfirmArmed);
    hold(28, false);
    frames(3);
    EXPECT_FALSE(button->takeClick());
    EXPECT_FALSE(grid[2][2]->takeClick());
}

TEST_F(Navigation, JoystickMovesAndItsButtonsConfirmAndGoBack)
{
    ContextMenu* menu = pushGrid();
    const int stick = PlatformEventInjector::attachJoystick();
    ASSERT_GE(stick, 0);
    frames(1);
    pointerOnto(grid[1][1]);
    frames(1);
    PlatformEventInjector::setJoystickAxis(stick, 0, 0.9f); // right
    frames(1);
    EXPECT_TRUE(pointerAt(grid[1][2]));
    PlatformEventInjector::setJoystickAxis(stick, 0, 0.0f);
    frames(2);
    PlatformEventInjector::setJoystickButton(stick, 0, true);
    frames(1);
    PlatformEventInjector::setJoystickButton(stick, 0, false);
    frames(3);
    EXPECT_TRUE(grid[1][2]->takeClick());
    PlatformEventInjector::setJoystickButton(stick, 1, true); // back
    frames(1);
    PlatformEventInjector::setJoystickButton(stick, 1, false);
    EXPECT_TRUE(menu->bClosed);
    PlatformEventInjector::detachJoystick(stick);
    frames(2);
}

TEST_F(Navigation, MenuComingBackSelectsTheNearestItemAgainInKeyboardNavigation)
{
    pushGrid();
    pointerOnto(grid[1][1]);
    frames(1);
    tap(205);
    ASSERT_TRUE(pointerAt(grid[1][2]));
    auto* cover = new ContextMenu();
    cover->bDeleteWhenClosed = true;
    push(cover);
    input().warpCursor(V3(5, 5, 0));
    cover->bClosed = true;
    frames(2);
    EXPECT_TRUE(pointerAt(grid[1][2]));
}

TEST_F(Navigation, RightToLeftLanguagesMirrorMenusBuiltAfterwards)
{
    Language& language = *Kiv::instance()->language;
    language.bRightToLeft = 1;
    auto* menu = new ContextMenu();
    auto* item = new MenuItem(100, 0, 0, u"Caption", UString());
    menu->addItem(item);
    EXPECT_EQ(6, ContextMenu::ALIGN_READING_START);
    EXPECT_EQ(-1.0f, ContextMenu::READING_DIRECTION_X);
    EXPECT_EQ(-100.0f, item->position.x);
    EXPECT_EQ(MenuItem::CAPTION_RIGHT, item->captionLocation);
    language.bRightToLeft = 0;
    delete menu;
    ContextMenu again;
    EXPECT_EQ(4, ContextMenu::ALIGN_READING_START);
    EXPECT_EQ(1.0f, ContextMenu::READING_DIRECTION_X);
}

TEST_F(Navigation, HotSpotMarkersBlinkMagentaInKeyboardNavigation)
{
    if (Kiv::instance()->bRelease) {
        GTEST_SKIP() << "release builds draw no markers";
    }
    ContextMenu* menu = pushGrid();
    pointerOnto(grid[1][1]);
    frames(1);
    tap(205);
    ASSERT_EQ(ContextMenu::NAVIGATION_KEYBOARD, ContextMenu::menuNavigationMode);
    auto magentaAround = [&](const V3& spot) {
        const Screen screen = readScreen();
        int magenta = 0;
        const int cx = static_cast<int>(spot.x), cy = screen.height - static_cast<int>(spot.y);
        for (int y = cy - 7; y <= cy + 7; ++y) {
            for (int x = cx - 7; x <= cx + 7; ++x) {
                magenta += (screen.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
            }
        }
        return magenta;
    };
    menu->time = 0.29; // the next tick lands on 0.3: an odd fifth of a second
    frames(1);
    EXPECT_GT(magentaAround(grid[0][0]->getNavigationPoint(0)), 8);
    menu->time = 0.39;
    frames(1);
    EXPECT_EQ(0, magentaAround(grid[0][0]->getNavigationPoint(0)));
}
