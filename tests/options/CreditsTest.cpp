// The credits page: the list rises at 30 units per second over the backdrop with the version in the
// corner, and the page closes after 124 seconds or on the player's input.
#include "OptionsFixture.h"

#include "engine/core/GameInfo.h"
#include "engine/text/TextSprite.h"
#include "game/options/ContextCredits.h"
#include "game/worldmap/CreditsScroller.h"

namespace {
class Credits : public OptionsFixture {
protected:
    static TextSprite* firstLine(const ContextCredits* page)
    {
        return dynamic_cast<TextSprite*>(page->pScroller->pLines->getFirstChild());
    }
};
} // namespace

TEST_F(Credits, TheListRisesAtThirtyUnitsPerSecond)
{
    auto* page = new ContextCredits();
    push(page);
    TextSprite* first = firstLine(page);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(u"Tobble", first->text.substr(0, 6));
    const float start = first->position.y;
    const double t0 = page->time;
    frames(50);
    const double elapsed = page->time - t0;
    ASSERT_GT(elapsed, 0.0);
    EXPECT_NEAR(30.0 * elapsed, first->position.y - start, 0.01);

    // The version stands in the bottom-right corner, drawn under the list.
    EXPECT_EQ(0u, page->pVersion->text.find(getVersionString()));
    EXPECT_EQ(u"x", page->pVersion->text.substr(page->pVersion->text.size() - 1));
    EXPECT_FLOAT_EQ(static_cast<float>(ContextMenu::screenWidth() / 2 - 4), page->pVersion->position.x);
    EXPECT_EQ(page->pScroller, page->getLastChild());
    // Ten seconds on: the title stands above the centre with the first rows under it.
    for (KivBase* line = page->pScroller->pLines->getFirstChild(); line != nullptr; line = line->getNext()) {
        static_cast<TextSprite*>(line)->position.y += 300.0f;
    }
    frames(2);
    screenshot("credits");
}

// The rows rise over the roof, the snow and the sky: on a plain white screen their dark rims still frame
// the light pink letters.
TEST_F(Credits, TheLinesWearADarkRimOnALightPicture)
{
    auto* page = new ContextCredits();
    onWhite(page);
    push(page);
    for (KivBase* line = page->pScroller->pLines->getFirstChild(); line != nullptr; line = line->getNext()) {
        static_cast<TextSprite*>(line)->position.y += 300.0f;
    }
    frames(2);
    screenshot("credits-on-white");
    const Screen screen = readScreen();
    // The rows under the outlined title.
    EXPECT_GT(screen.darkPixels(screen.width / 4, screen.width * 3 / 4, screen.height / 2 + 40, screen.height / 2 + 200),
              500);
}

TEST_F(Credits, ThePageClosesAfter124SecondsOrOnTheJumpKeyOrAClick)
{
    auto* page = new ContextCredits();
    push(page);
    page->time = ContextCredits::DURATION - 0.001;
    frames(2);
    EXPECT_EQ(nullptr, top()) << "closed on its own while lines still rise";

    push(new ContextCredits());
    tap(SPACE);
    EXPECT_EQ(nullptr, top());

    push(new ContextCredits());
    click();
    EXPECT_EQ(nullptr, top());

    push(new ContextCredits());
    tap(ESCAPE);
    EXPECT_EQ(nullptr, top());
}
