// The level panel's rows, colours, badges and placement.
#include <gtest/gtest.h>

#include "LoadedGame.h"
#include "engine/render/Context.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
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

    float leftmost(const ValleyInfoPanel& panel)
    {
        float x = 99999.0f;
        for (KivBase* c = panel.getFirstChild(); c != nullptr; c = c->getNext()) {
            x = std::min(x, static_cast<Renderable*>(c)->position.x);
        }
        return x;
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
    const float plain = leftmost(panel);
    const float h = static_cast<float>(game.global->fontSmall->getScaledLineHeight());
    stats().fullMarks[LevelStats::FULL_SWEETS] = 1;
    panel.setLevel(&icon);
    EXPECT_EQ(panel.countChildren(), 15);
    // Extent 100 - 2h grows to 100 - 1.5h: the block shifts left by half of it (whole units).
    EXPECT_NEAR(leftmost(panel), plain - 0.25f * h, 1.0f);
    stats().newRecord[LevelStats::RECORD_TIME] = 1;
    panel.setLevel(&icon);
    EXPECT_EQ(panel.countChildren(), 16);
    EXPECT_NEAR(leftmost(panel), plain - 0.75f * h, 1.0f);
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
