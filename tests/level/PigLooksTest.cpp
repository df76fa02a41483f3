// The pig as a player sees it: one eye on the side it faces, flipping when it turns, and the piglets in
// line behind it rather than on it.
#include <set>
#include <vector>

#include "LevelFixture.h"

#include "engine/render/Camera.h"
#include "engine/render/ContextBlender.h"
#include "engine/render/KivGraphics.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/world/Pig.h"
#include "game/world/Piglet.h"

namespace {
constexpr int KEY_LEFT = 203;
constexpr int KEY_RIGHT = 205;
} // namespace

class PigLooks : public LevelTest {
protected:
    // Counts the white of an eye and its dark pupil in a square of screen pixels round a point of the pig
    // (units from its centre, x towards the way it faces when `ahead` is set, else away from it).
    std::pair<int, int> eyePixels(const Pig& pig, bool ahead)
    {
        KivGraphics* g = KivGraphics::instance();
        const float w = static_cast<float>(g->width), h = static_cast<float>(g->height);
        const float side = ahead ? pig.facing() : -pig.facing();
        float sx = 0.0f, sy = 0.0f;
        level().contextGame->camera->worldToScreen(V3(pig.position.x + side * 35.0f, pig.position.y + 24.0f, 0.0f),
                                                   w, h, sx, sy);
        // The screen is read once for the whole square (a read per pixel is slow on the software renderer).
        int screenW = 0, screenH = 0;
        const std::vector<std::uint32_t> screen = g->readScreen(screenW, screenH);
        int white = 0, dark = 0;
        for (int y = static_cast<int>(sy) - 10; y <= static_cast<int>(sy) + 10; ++y) {
            for (int x = static_cast<int>(sx) - 10; x <= static_cast<int>(sx) + 10; ++x) {
                const bool inside = x >= 0 && y >= 0 && x < screenW && y < screenH;
                const UColor c(inside ? screen[static_cast<std::size_t>(y) * static_cast<std::size_t>(screenW) +
                                               static_cast<std::size_t>(x)]
                                      : 0u);
                const int r = (c.argb >> 16) & 0xFF, gr = (c.argb >> 8) & 0xFF, b = c.argb & 0xFF;
                white += r > 225 && gr > 225 && b > 225 ? 1 : 0;
                dark += r < 70 && gr < 70 && b < 70 ? 1 : 0;
            }
        }
        return {white, dark};
    }
};

TEST_F(PigLooks, TheEyeIsOnTheSideThePigFacesAndThePigletsStandBehindIt)
{
    Pig* pig = playToPig();
    ASSERT_NE(pig, nullptr);
    frames(30);
    // At the start the piglets stand in line behind the pig, none on it.
    for (KivBase* p = level().pigletList->getFirstChild(); p != nullptr; p = p->getNext()) {
        const auto* piglet = static_cast<Piglet*>(p);
        EXPECT_GE((pig->position.x - piglet->position.x) * pig->facing(), piglet->gap() - 0.5f) << piglet->type;
    }
    for (int key : {KEY_RIGHT, KEY_LEFT}) {
        pressKey(key);
        frames(40);
        frames(1);
        saveScreenshot(key == KEY_RIGHT ? "pig-walking-right" : "pig-walking-left");
        EXPECT_EQ(pig->facing(), key == KEY_RIGHT ? 1.0f : -1.0f);
        const auto [white, dark] = eyePixels(*pig, true);
        EXPECT_GT(white, 10) << "the white of the eye, facing " << pig->facing();
        EXPECT_GT(dark, 4) << "the pupil";
        const auto [backWhite, backDark] = eyePixels(*pig, false);
        EXPECT_LT(backWhite, 3) << "no eye at the tail end";
        releaseKey(key);
        frames(40);
    }
}

// Walking, the pig shows every frame of its leg cycle and each piglet every frame of one of its own, not
// the pig's and not another piglet's; standing, a piglet shows the cycle's first frame.
TEST_F(PigLooks, ThePigletsStepThroughTheirOwnWalkCycle)
{
    Pig* pig = playToPig();
    ASSERT_NE(pig, nullptr);
    frames(30);
    std::vector<Piglet*> piglets;
    for (KivBase* p = level().pigletList->getFirstChild(); p != nullptr; p = p->getNext()) {
        piglets.push_back(static_cast<Piglet*>(p));
    }
    ASSERT_EQ(piglets.size(), 3u);
    std::vector<Skin*> standing;
    for (const Piglet* piglet : piglets) {
        standing.push_back(piglet->drawnBody());
    }
    pressKey(KEY_RIGHT);
    std::vector<std::set<Skin*>> seen(piglets.size());
    std::set<Skin*> pigFrames;
    for (int i = 0; i < 80; ++i) {
        frames(1);
        pigFrames.insert(pig->drawnBody());
        for (std::size_t n = 0; n < piglets.size(); ++n) {
            seen[n].insert(piglets[n]->drawnBody());
        }
        if (i == 60) {
            saveScreenshot("piglets-walking");
        }
    }
    releaseKey(KEY_RIGHT);
    frames(60);
    // Frames come faster than the physics steps: the pig's cycle runs through them too.
    EXPECT_EQ(pigFrames.size(), static_cast<std::size_t>(PigBody::WALK_FRAMES));
    for (std::size_t n = 0; n < piglets.size(); ++n) {
        EXPECT_EQ(seen[n].size(), static_cast<std::size_t>(PigBody::WALK_FRAMES)) << "piglet " << n;
        EXPECT_EQ(seen[n].count(nullptr), 0u);
        EXPECT_TRUE(seen[n].count(standing[n]) == 1) << "the standing frame is the cycle's first";
        EXPECT_EQ(piglets[n]->drawnBody(), standing[n]) << "standing again";
        for (Skin* frame : seen[n]) {
            EXPECT_EQ(pigFrames.count(frame), 0u);
            for (std::size_t other = n + 1; other < piglets.size(); ++other) {
                EXPECT_EQ(seen[other].count(frame), 0u);
            }
        }
    }
}
