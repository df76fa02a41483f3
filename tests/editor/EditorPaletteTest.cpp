// The resource palette on the real game data: the grid of every skin, narrowing by a typed name start,
// choosing a skin for the edited object with a press, and closing on a press beside the icons.
#include <algorithm>
#include <cmath>

#include "EditorFixture.h"

#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Skin.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/ContextEditorTools.h"
#include "game/editor/EditorToolIcon.h"
#include "game/front/ContextManager.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/world/EditorObject.h"

namespace {
std::vector<EditorToolIcon*> icons(ContextEditorTools& tools)
{
    std::vector<EditorToolIcon*> all;
    for (KivBase* child = tools.getFirstChild(); child != nullptr; child = child->getNext()) {
        all.push_back(dynamic_cast<EditorToolIcon*>(child));
    }
    return all;
}

int visibleCount(ContextEditorTools& tools)
{
    int n = 0;
    for (EditorToolIcon* icon : icons(tools)) {
        n += icon->quad.bHidden ? 0 : 1;
    }
    return n;
}
} // namespace

class PaletteTest : public EditorTest {
protected:
    // Opens the palette for the skin of the level's house (an object that keeps the skin it is given);
    // false without a level.
    bool openForHeroSkin()
    {
        if (!loadLevel(true)) {
            return false;
        }
        THEROLE = manager->server;
        hero = static_cast<EditorObject*>(level().findHouse());
        tools = editor().tools;
        tools->setTool(hero, &hero->pSkin, &Skin::classRecord);
        stack().addContext(tools);
        frames(2);
        return true;
    }
    // Presses and releases the mouse at a point of the palette.
    void pressAt(const V3& world)
    {
        const KivGraphics* graphics = KivGraphics::instance();
        float sx = 0.0f;
        float sy = 0.0f;
        tools->camera->worldToScreen(world, static_cast<float>(graphics->width), static_cast<float>(graphics->height),
                                     sx, sy);
        mouseMove(sx, static_cast<float>(graphics->height) - sy);
        frames(1);
        mouseButton(0, true);
        frames(1);
        mouseButton(0, false);
        frames(1);
    }
    void typeText(const char* text)
    {
        for (const char* c = text; *c != 0; ++c) {
            PlatformEventInjector::text(std::string(1, *c));
            frames(1);
        }
    }

    EditorObject* hero = nullptr;
    ContextEditorTools* tools = nullptr;
};

TEST_F(PaletteTest, GridHoldsEverySkinInNameOrderAndFitsTheScreenWidth)
{
    ASSERT_TRUE(openForHeroSkin());
    int skins = 0;
    for (const auto& [name, resource] : ResourceManager::instance()->resources()) {
        skins += resource != nullptr && resource->isDerivedFrom(&Skin::classRecord) ? 1 : 0;
    }
    const std::vector<EditorToolIcon*> all = icons(*tools);
    ASSERT_EQ(static_cast<int>(all.size()), skins);
    const float halfW = static_cast<float>(KivGraphics::instance()->width / 2);
    const float halfH = static_cast<float>(KivGraphics::instance()->height / 2);
    for (std::size_t i = 0; i < all.size(); ++i) {
        ASSERT_NE(all[i], nullptr);
        if (i > 0) {
            EXPECT_LE(all[i - 1]->name, all[i]->name);
        }
        const Renderable& q = all[i]->quad;
        const float w = q.pSkin->width * q.scale.x;
        const float h = q.pSkin->height * q.scale.y;
        // Small sprites at half size; larger ones shrunk so that the longer side is 40 units.
        if (q.pSkin->width <= 80.0f && q.pSkin->height <= 80.0f) {
            EXPECT_FLOAT_EQ(q.scale.x, 0.5f) << wideToUtf8(all[i]->name);
        } else {
            EXPECT_NEAR(std::max(w, h), 40.0f, 1e-3f) << wideToUtf8(all[i]->name);
        }
        // Every icon starts inside the margins.
        const float left = q.position.x - q.pSkin->origin.x * q.scale.x - w * 0.5f;
        EXPECT_GE(left, -halfW + 20.0f - 1e-3f);
        EXPECT_LE(left, halfW - 20.0f);
    }
    const Renderable& first = all.front()->quad;
    EXPECT_NEAR(first.position.y - first.pSkin->origin.y * first.scale.y + first.pSkin->height * first.scale.y * 0.5f,
                halfH - 20.0f, 1e-3f);
    saveScreenshot("editor-palette");
}

TEST_F(PaletteTest, TypingNarrowsTheGridAndBackspaceClearsIt)
{
    ASSERT_TRUE(openForHeroSkin());
    const int all = visibleCount(*tools);
    typeText("ap");
    EXPECT_EQ(tools->filter, u"ap");
    int expected = 0;
    for (EditorToolIcon* icon : icons(*tools)) {
        const bool match = icon->name.rfind(u"ap", 0) == 0;
        expected += match ? 1 : 0;
        EXPECT_EQ(icon->quad.bHidden, !match) << wideToUtf8(icon->name);
    }
    EXPECT_GT(expected, 0);
    EXPECT_EQ(visibleCount(*tools), expected);
    // Backspace clears the whole filter.
    tap("Backspace");
    EXPECT_TRUE(tools->filter.empty());
    EXPECT_EQ(visibleCount(*tools), all);
}

TEST_F(PaletteTest, PressOnAnIconChoosesItsSkinAndClosesThePalette)
{
    ASSERT_TRUE(openForHeroSkin());
    typeText("apple");
    EditorToolIcon* chosen = nullptr;
    for (EditorToolIcon* icon : icons(*tools)) {
        if (!icon->quad.bHidden && icon->quad.pSkin != hero->pSkin) {
            chosen = icon;
            break;
        }
    }
    ASSERT_NE(chosen, nullptr);
    // An icon that the filter hides does not take the press.
    pressAt(chosen->quad.position);
    EXPECT_EQ(hero->pSkin, chosen->quad.pSkin);
    EXPECT_EQ(ResourceManager::instance()->find(chosen->name, false), hero->pSkin);
    EXPECT_NE(stack().getTop(), tools);
    EXPECT_EQ(tools->getParent(), nullptr);

    // Again for the same class: the grid stays, the filter and the camera depth are reset.
    const std::vector<EditorToolIcon*> grid = icons(*tools);
    tools->camera->eye.z = -100.0f;
    tools->setTool(hero, &hero->pSkin, &Skin::classRecord);
    EXPECT_EQ(icons(*tools), grid);
    EXPECT_TRUE(tools->filter.empty());
    EXPECT_FLOAT_EQ(tools->camera->eye.z, -static_cast<float>(KivGraphics::instance()->width / 2));

    // A press beside the icons closes the palette and changes nothing.
    stack().addContext(tools);
    frames(1);
    typeText("apple");
    Skin* before = hero->pSkin;
    const float halfW = static_cast<float>(KivGraphics::instance()->width / 2);
    const float halfH = static_cast<float>(KivGraphics::instance()->height / 2);
    pressAt(V3(halfW - 5.0f, -halfH + 5.0f, 0.0f));
    EXPECT_EQ(hero->pSkin, before);
    EXPECT_NE(stack().getTop(), tools);
}

TEST_F(PaletteTest, ChosenSkinBlinksEightFramesOnAndEightOff)
{
    ASSERT_TRUE(openForHeroSkin());
    EditorToolIcon* current = nullptr;
    for (EditorToolIcon* icon : icons(*tools)) {
        if (icon->quad.pSkin == hero->pSkin) {
            current = icon;
        }
    }
    ASSERT_NE(current, nullptr);
    // Pixels of a box around the icon, as drawn in the last frame.
    auto box = [&] {
        const KivGraphics* graphics = KivGraphics::instance();
        float sx = 0.0f;
        float sy = 0.0f;
        tools->camera->worldToScreen(current->quad.position, static_cast<float>(graphics->width),
                                     static_cast<float>(graphics->height), sx, sy);
        int w = 0;
        int h = 0;
        const std::vector<std::uint32_t> all = KivGraphics::instance()->readScreen(w, h);
        std::vector<std::uint32_t> part;
        for (int y = static_cast<int>(sy) - 70; y <= static_cast<int>(sy) + 70; y += 2) {
            for (int x = static_cast<int>(sx) - 70; x <= static_cast<int>(sx) + 70; x += 2) {
                const bool inside = x >= 0 && y >= 0 && x < w && y < h;
                part.push_back(inside ? all[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] : 0u);
            }
        }
        return part;
    };
    // Move the pointer away so that no name label covers the icon.
    mouseMove(5.0f, 5.0f);
    Kiv& kiv = *Kiv::instance();
    while ((kiv.frameCounter + 1) % 16 != 0) {
        frames(1);
    }
    frames(1); // drawn with (frameCounter / 8) even: the marker shows
    ASSERT_EQ((kiv.frameCounter / 8) % 2, 0u);
    const std::vector<std::uint32_t> on = box();
    frames(8); // eight frames later it is off
    const std::vector<std::uint32_t> off = box();
    frames(8); // and on again
    const std::vector<std::uint32_t> again = box();
    int changed = 0;
    for (std::size_t i = 0; i < on.size(); ++i) {
        changed += on[i] != off[i] ? 1 : 0;
    }
    EXPECT_GT(changed, 20);
    EXPECT_EQ(on, again);
}
