// The level panel's rows, colours, badges and placement.
#include <gtest/gtest.h>

#include "LoadedGame.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Skin.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextAlign.h"
#include "engine/text/TextSprite.h"
#include "game/language/Language.h"
#include "game/front/MyGlobal.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ValleyInfoPanel.h"
#include "game/worldmap/ValleyLevelIcon.h"

namespace {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        game.resetPlayer();
        stats().completed = 1;
        stats().available = 1;
        Context::setCurrent(nullptr);
    }

    LevelStats& stats() { return game.player().levelStats[5]; }

    // The label and value sprites of row r (1..7), whatever badges stand between the rows.
    std::pair<TextSprite*, TextSprite*> row(const ValleyInfoPanel& panel, int r)
    {
        int seen = 0;
        for (KivBase* c = panel.getFirstChild(); c != nullptr; c = c->getNext()) {
            auto* label = dynamic_cast<TextSprite*>(c);
            if (label != nullptr && ++seen == 2 * r - 1) {
                return {label, static_cast<TextSprite*>(label->getNext())};
            }
        }
        return {nullptr, nullptr};
    }

    // The left edge of the labels and the right edge of the values or badges.
    float leftmost(const ValleyInfoPanel& panel) { return textRect(*row(panel, 1).first).left; }
    float rightmost(const ValleyInfoPanel& panel)
    {
        float x = -99999.0f;
        for (KivBase* c = panel.getFirstChild(); c != nullptr; c = c->getNext()) {
            const auto* item = static_cast<const Renderable*>(c);
            if (const auto* text = dynamic_cast<const TextSprite*>(c)) {
                x = std::max(x, textRect(*text).right);
            } else {
                x = std::max(x, item->position.x + item->pSkin->width * KivGraphics::instance()->pixelFactor[0] / 2.0f);
            }
        }
        return x;
    }

    // The rectangle a text sprite covers (its anchor on the left or right edge, centred vertically).
    static Camera::Rect textRect(const TextSprite& text)
    {
        const float w = static_cast<float>(text.pFont->measureLine(text.text)) * text.pFont->getScaleX();
        const float h = static_cast<float>(text.pFont->getScaledLineHeight());
        const float left = (text.flags & TextAlign::RIGHT) != 0 ? text.position.x - w : text.position.x;
        return {left, text.position.y + h / 2.0f, left + w, text.position.y - h / 2.0f};
    }

    static bool meet(const Camera::Rect& a, const Camera::Rect& b)
    {
        return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
    }

    LoadedGame& game = LoadedGame::get();
    ValleyLevelIcon icon{5, 0.0f, V3(-200.4f, -100.7f, 0.0f)};
};

TEST_F(PanelTest, RowsReadTheBestResultsAndFadeCategoriesTheLevelLacks)
{
    stats().score = 12345;
    stats().requiredApples = 6;
    stats().requiredApplesGot = 5;
    stats().time = 65.0;
    stats().targetTime = 90.0;
    ValleyInfoPanel panel;
    panel.setLevel(&icon);
    EXPECT_EQ(panel.countChildren(), 14) << "no badges";
    EXPECT_EQ(row(panel, 2).second->text, u"5/6");
    EXPECT_EQ(row(panel, 2).second->color.argb, 0x80000000u);
    EXPECT_EQ(row(panel, 3).second->text, u"0/0");
    EXPECT_EQ(row(panel, 3).first->color.argb, 0x40000000u);
    EXPECT_EQ(row(panel, 5).second->color.argb, 0x40000000u);
    EXPECT_EQ(row(panel, 6).first->color.argb, 0x80000000u);
    EXPECT_EQ(row(panel, 7).second->text, u"01:05/01:30");
    // Rows go down the panel one line apart.
    const float h = static_cast<float>(game.global->fontSmall->getScaledLineHeight());
    EXPECT_FLOAT_EQ(row(panel, 1).first->position.y - row(panel, 2).first->position.y, h);

    stats().bonusLevel = 1;
    panel.setLevel(&icon);
    EXPECT_EQ(row(panel, 6).first->color.argb, 0x40000000u) << "lives do not count on the sweets level";
}

TEST_F(PanelTest, BadgesWidenTheBlockWhichStaysCentred)
{
    ValleyInfoPanel panel;
    panel.setLevel(&icon);
    const float plain = rightmost(panel) - leftmost(panel);
    auto expectCentred = [&] {
        const Camera::Rect bubble = panel.bubbleRect();
        EXPECT_NEAR((leftmost(panel) + rightmost(panel)) / 2.0f, (bubble.left + bubble.right) / 2.0f, 1.0f);
    };
    expectCentred();
    stats().fullMarks[LevelStats::FULL_SWEETS] = 1;
    panel.setLevel(&icon);
    EXPECT_EQ(panel.countChildren(), 15);
    const float withFull = rightmost(panel) - leftmost(panel);
    EXPECT_GT(withFull, plain);
    expectCentred();
    stats().newRecord[LevelStats::RECORD_TIME] = 1;
    panel.setLevel(&icon);
    EXPECT_EQ(panel.countChildren(), 16);
    EXPECT_GT(rightmost(panel) - leftmost(panel), withFull);
    expectCentred();
}

TEST_F(PanelTest, ValuesStayClearOfTheBadgesInBothLanguages)
{
    // Every badge, and the widest values a level shows.
    stats().score = 1000000;
    stats().livesLost = 12;
    stats().time = 106.0;
    stats().targetTime = 120.0;
    stats().requiredApples = stats().requiredApplesGot = 12;
    stats().bonusApples = stats().bonusApplesGot = 10;
    for (auto& flag : stats().fullMarks) {
        flag = 1;
    }
    for (auto& flag : stats().newRecord) {
        flag = 1;
    }
    Language& language = *Kiv::instance()->language;
    for (int lang : {0, 1}) {
        language.setLanguage(lang);
        ValleyInfoPanel panel;
        panel.setLevel(&icon);
        const Camera::Rect bubble = panel.bubbleRect();
        std::vector<Camera::Rect> texts, badges;
        for (KivBase* c = panel.getFirstChild(); c != nullptr; c = c->getNext()) {
            const auto* item = static_cast<const Renderable*>(c);
            if (const auto* text = dynamic_cast<const TextSprite*>(c)) {
                texts.push_back(textRect(*text));
            } else {
                const float hw = item->pSkin->width * KivGraphics::instance()->pixelFactor[0] / 2.0f;
                const float hh = item->pSkin->height * KivGraphics::instance()->pixelFactor[1] / 2.0f;
                badges.push_back({item->position.x - hw, item->position.y + hh, item->position.x + hw,
                                  item->position.y - hh});
            }
        }
        ASSERT_EQ(texts.size(), 14u);
        ASSERT_EQ(badges.size(), 14u);
        EXPECT_EQ(row(panel, 7).second->text, u"01:46/02:00");
        for (std::size_t i = 0; i < texts.size(); ++i) {
            for (const Camera::Rect& badge : badges) {
                EXPECT_FALSE(meet(texts[i], badge)) << "language " << lang << ", text " << i;
            }
            if (i % 2 == 1) {
                EXPECT_FALSE(meet(texts[i - 1], texts[i])) << "language " << lang << ", row " << i / 2 + 1;
            }
            EXPECT_GE(texts[i].left, bubble.left + 15.0f);
            EXPECT_LE(texts[i].right, bubble.right - 15.0f);
        }
        // Each badge stands beside its own row: no taller than the rows' pitch, clear of every other badge.
        const float pitch = static_cast<float>(game.global->fontSmall->getScaledLineHeight());
        for (std::size_t i = 0; i < badges.size(); ++i) {
            EXPECT_LE(badges[i].right, bubble.right - 10.0f) << "language " << lang;
            EXPECT_LE(badges[i].top - badges[i].bottom, pitch) << "badge " << i;
            for (std::size_t j = i + 1; j < badges.size(); ++j) {
                EXPECT_FALSE(meet(badges[i], badges[j])) << "badges " << i << " and " << j;
            }
        }
    }
    language.setLanguage(0);
}

TEST_F(PanelTest, OpensTowardsTheMiddleOfTheScreen)
{
    ValleyInfoPanel panel;
    Context view;
    Context::setCurrent(&view);
    // Left of and below the camera: not mirrored, beside the icon at whole units.
    panel.setLevel(&icon);
    EXPECT_EQ(panel.scale, V3(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(panel.position, V3(-218.0f, -90.0f, 0.0f));
    // Right of and above it: mirrored both ways.
    ValleyLevelIcon other(5, 0.0f, V3(150.0f, 60.0f, 0.0f));
    panel.setLevel(&other);
    EXPECT_EQ(panel.scale, V3(-1.0f, -1.0f, 1.0f));
    EXPECT_EQ(panel.position, V3(168.0f, 50.0f, 0.0f));
    // Exactly level with the camera counts as left and below.
    ValleyLevelIcon level(5, 0.0f, V3(0.0f, 0.0f, 0.0f));
    panel.setLevel(&level);
    EXPECT_EQ(panel.scale, V3(1.0f, 1.0f, 1.0f));
    Context::setCurrent(nullptr);
}

} // namespace
