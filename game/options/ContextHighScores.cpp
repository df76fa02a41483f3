#include "game/options/ContextHighScores.h"

#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/V3.h"
#include "engine/core/Matrix4.h"
#include "engine/text/FontGDI.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuSupport.h"
#include "game/options/ContextHighScoreOptions.h"
#include "game/userdata/FixedText.h"

ContextHighScores::ContextHighScores() : nameFont(std::make_unique<FontGDI>(u"Arial", NAME_PIXEL_SIZE))
{
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
    }
    addTitle(STR_HIGHSCORES);

    pSeasonItem = new MenuChoiceItem(0.0f, 150.0f, 0.0f, &season, 0, SEASONS - 1, STR_SEASON0, UString(), UString());
    addItem(pSeasonItem);
    optionsButton = new MenuButton(static_cast<float>(cornerX - 128), static_cast<float>(-cornerY), 0.0f,
                                   MenuSupport::text(STR_HIGHSCOREOPTIONSDOTS), UString());
    addItem(optionsButton);
    keepToEdges(optionsButton, true, true);
    pOkButton = addBackButton(STR_OK);
}

ContextHighScores::~ContextHighScores() = default;

UColor ContextHighScores::rowColor(int seasonIndex, int row)
{
    static constexpr std::uint32_t COLOURS[SEASONS + 1] = {0xFFFFFF00u, 0xFF00FF00u, 0xFF804000u, 0xFFFF8000u,
                                                           0xFF80FFFFu};
    const int s = seasonIndex < 0 ? 0 : seasonIndex >= SEASONS ? SEASONS - 1 : seasonIndex;
    return lerpColor(UColor(COLOURS[s]), UColor(COLOURS[s + 1]), static_cast<float>(row) / static_cast<float>(ROWS));
}

int ContextHighScores::seasonShown() const { return season < 0 ? 0 : season >= SEASONS ? SEASONS - 1 : season; }

ContextHighScores::RowTexts ContextHighScores::rowTexts(int row) const
{
    const int level = ROWS * seasonShown() + row;
    const HIGHSCOREENTRY& entry = Global::instance()->config.highScores[level];
    RowTexts texts{formatString(u"%d", level + 1), FixedText256::read(entry.name), formatNumber(entry.score),
                   formatMinutesSeconds(entry.time), formatPercentTenths(entry.points)};
    if (texts.name.empty()) {
        texts.name = u"...";
    }
    return texts;
}

void ContextHighScores::tickContents(double tickTime, double dt)
{
    ContextMenu::tickContents(tickTime, dt);
    const float wave = 0.5f + 0.5f * std::sin(16.0f * static_cast<float>(time));
    highlightColour = lerpColor(UColor(0xFF80FF00u), UColor(0xFFC0FF80u), wave);
    if (optionsButton->takeClick()) {
        MenuSupport::pushScreen(new ContextHighScoreOptions());
    }
}

void ContextHighScores::renderContents()
{
    ContextMenu::renderContents();
    const Global* global = Global::instance();
    FontQuad* font = MenuSupport::font(MenuSupport::FONT_MEDIUM);
    if (global == nullptr || font == nullptr) {
        return;
    }
    const int s = seasonShown();
    for (int r = 0; r < ROWS; ++r) {
        const UColor colour = r == global->highlightedHighScore ? highlightColour : rowColor(s, r);
        const float y = static_cast<float>(90 - 30 * r);
        const auto [number, name, score, time, percent] = rowTexts(r);
        // The rows stand on the backdrop's trees, snow and roof: a dark rim under each text keeps the light
        // season colours readable on all of them.
        const UColor rim(MenuSupport::DARK_RIM);
        for (const auto& d : MenuSupport::RIM) {
            const V3 off(1.5f * d[0], 1.5f * d[1], 0.0f);
            font->print(V3(-300.0f, y, 0.0f) + off, rim, 8, number);
            nameFont->drawText(Matrix4::identity().data(), rim.argb, 0x202, name, -290.0f + off.x, y + off.y, 0.0f);
            font->print(V3(100.0f, y, 0.0f) + off, rim, 8, score);
            font->print(V3(200.0f, y, 0.0f) + off, rim, 8, time);
            font->print(V3(300.0f, y, 0.0f) + off, rim, 8, percent);
        }
        font->print(V3(-300.0f, y, 0.0f), colour, 8, number);
        nameFont->drawText(Matrix4::identity().data(), colour.argb, 0x202, name, -290.0f, y, 0.0f);
        font->print(V3(100.0f, y, 0.0f), colour, 8, score);
        font->print(V3(200.0f, y, 0.0f), colour, 8, time);
        font->print(V3(300.0f, y, 0.0f), colour, 8, percent);
    }
}
