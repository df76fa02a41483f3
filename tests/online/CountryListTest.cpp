#include "OnlineFixture.h"

#include <algorithm>
#include <cstring>

#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/online/ContextNetworkConfig.h"
#include "game/online/CountryListItem.h"

namespace {
using CountryListTest = OnlineFixture;

int positionOf(const char16_t* code)
{
    for (int p = 0; p < CountryListItem::NUMCOUNTRIES; ++p) {
        if (UStringView(CountryListItem::countries()[static_cast<std::size_t>(CountryListItem::entryAt(p))].code) ==
            UStringView(code)) {
            return p;
        }
    }
    return -1;
}

MenuBackButton* backOf(Context* page)
{
    for (KivBase* child = page->getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* back = dynamic_cast<MenuBackButton*>(child)) {
            return back;
        }
    }
    return nullptr;
}

TEST_F(CountryListTest, TableAndSortedOrder)
{
    const auto& table = CountryListItem::countries();
    EXPECT_EQ(UStringView(table[0].code), u"--");
    EXPECT_EQ(UStringView(table[1].code), u"AF");
    EXPECT_EQ(UStringView(table[240].code), u"ZW");
    EXPECT_FLOAT_EQ(table[1].latitude, 34.46f);
    EXPECT_FLOAT_EQ(table[240].longitude, 31.03f);
    EXPECT_EQ(CountryListItem::entryAt(0), 0);
    EXPECT_EQ(UStringView(table[static_cast<std::size_t>(CountryListItem::entryAt(1))].code), u"AD");
    EXPECT_EQ(UStringView(table[static_cast<std::size_t>(CountryListItem::entryAt(240))].code), u"ZW");
    // Positions outside the list (a damaged file) count as "not specified".
    EXPECT_EQ(CountryListItem::entryAt(-1), 0);
    EXPECT_EQ(CountryListItem::entryAt(241), 0);
    EXPECT_EQ(CountryListItem::displayText(0), u"not specified (--)");
    EXPECT_EQ(CountryListItem::displayText(CountryListItem::entryAt(positionOf(u"DE"))), u"Germany (DE)");
}

TEST_F(CountryListTest, LetterJump)
{
    const int de = positionOf(u"DE");
    EXPECT_EQ(CountryListItem::jumpFrom(de, u'd'), positionOf(u"DJ"));
    EXPECT_EQ(CountryListItem::jumpFrom(positionOf(u"DZ"), u'd'), de);
    EXPECT_EQ(CountryListItem::jumpFrom(de, u'D'), de);
    EXPECT_EQ(CountryListItem::jumpFrom(de, u'x'), de);
    EXPECT_EQ(CountryListItem::jumpFrom(0, u'z'), positionOf(u"ZA"));
}

TEST_F(CountryListTest, LocationOnTheGlobe)
{
    const V3 de = CountryListItem::locationOf(52.50f, 13.41f);
    EXPECT_NEAR(de.x, 0.141f, 1e-3);
    EXPECT_NEAR(de.y, 0.793f, 1e-3);
    EXPECT_NEAR(de.z, -0.592f, 1e-3);
    const V3 none = CountryListItem::locationOf(0.0f, 0.0f);
    EXPECT_EQ(none.x, 0.0f);
    EXPECT_EQ(none.y, 0.0f);
    EXPECT_EQ(none.z, -1.0f);
}

TEST_F(CountryListTest, PageWritesTheChoiceAndNextConfigures)
{
    GameConfiguration& config = global().config;
    config.countryIndex = 5000; // damaged
    config.bNetworkConfigured = 0;
    auto* page = new ContextNetworkConfig();
    push(page);
    frames(1);
    // Shown as "not specified", and left as stored until the player picks a country.
    EXPECT_EQ(page->pCountryItem->shownValue(), 0);
    EXPECT_EQ(config.countryIndex, 5000);
    // Stepping right once shows the smallest code.
    const V3 right = page->pCountryItem->getNavigationPoint(1);
    movePointer(right);
    frames(1);
    click();
    frames(1);
    EXPECT_EQ(config.countryIndex, 1);
    EXPECT_EQ(std::memcmp(config.countryCode, "AD", 2), 0);
    screenshot("online-network-config");
    // A typed letter while the item is highlighted jumps.
    type(u'd');
    frames(2);
    EXPECT_EQ(config.countryIndex, positionOf(u"DE"));
    EXPECT_EQ(std::memcmp(config.countryCode, "DE", 2), 0);
    EXPECT_NEAR(config.location.y, 0.793f, 1e-3);
    // Cancel keeps the country but not the configured flag.
    clickItem(backOf(page));
    frames(2);
    EXPECT_EQ(config.bNetworkConfigured, 0);
    EXPECT_EQ(config.countryIndex, positionOf(u"DE"));

    auto* again = new ContextNetworkConfig();
    push(again);
    clickItem(again->pNextButton);
    frames(2);
    EXPECT_EQ(config.bNetworkConfigured, 1);
    EXPECT_NE(top(), again);
}

// The longest name is shrunk to stand between the field's arrows, as every value of a value item is. On the
// screen the arrows are where the highlighted field drawn with them differs from it drawn without (its range
// narrowed to the shown country), and the name is where the long one differs from a short one.
TEST_F(CountryListTest, TheLongestNameStandsBetweenTheArrows)
{
    auto* page = new ContextNetworkConfig();
    push(page);
    CountryListItem* field = page->pCountryItem;
    field->bForceHover = true;
    auto show = [&](const char16_t* code, bool arrows) {
        const int position = positionOf(code);
        global().config.countryIndex = position;
        field->minValue = arrows ? 0 : position;
        field->maxValue = arrows ? CountryListItem::NUMCOUNTRIES - 1 : position;
        field->highlight = 1.0;
        frames(1);
        return readScreen();
    };
    const Screen shortName = show(u"DE", false);
    const Screen longName = show(u"GS", false);
    const Screen withArrows = show(u"GS", true);
    const int cx = longName.width / 2 + static_cast<int>(field->position.x);
    const int cy = longName.height / 2 - static_cast<int>(field->position.y);
    const int half = static_cast<int>(field->frameWidth() / 2.0f);
    auto arrow = [&](int x, int y) { return withArrows.differsFrom(longName, x, y); };
    const int leftArrowEnd = inkColumns(cx - half, cx, cy, arrow).second;
    const int rightArrowStart = inkColumns(cx, cx + half, cy, arrow).first;
    const auto [first, last] =
        inkColumns(cx - half, cx + half, cy, [&](int x, int y) { return longName.differsFrom(shortName, x, y); });
    EXPECT_LT(leftArrowEnd, first);
    EXPECT_LT(last, rightArrowStart);
    EXPECT_GT(last - first, half); // the name is there, and long
    EXPECT_GT(leftArrowEnd, cx - half); // and so are the arrows
    EXPECT_LT(rightArrowStart, cx + half);
    screenshot("online-country-longest-name", withArrows);
}
} // namespace
