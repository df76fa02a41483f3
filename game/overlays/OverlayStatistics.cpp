#include "game/overlays/OverlayStatistics.h"

#include "engine/core/Format.h"
#include "engine/render/Renderable.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/front/Global.h"
#include "game/language/StringIds.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/menus/MenuPanel.h"
#include "game/overlays/OverlayKit.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayStatistics::classRecord(RuntimeClass::hashName(u"OverlayStatistics"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayStatistics>);
const RuntimeClass RPC_OverlayStatistics_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayStatistics_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayStatistics_construct>);

OverlayStatistics::OverlayStatistics()
{
    if (const GameConfiguration* config = LevelServices::configuration()) {
        closeKey1 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_STATISTICS].keyboard);
        closeKey2 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_STATISTICS].joystick);
    }
    clickToClose = true;
}

void OverlayStatistics::construct()
{
    RPC_OverlayStatistics_construct call(this);
    RPC::send(call);
}

void OverlayStatistics::local_construct()
{
    using namespace OverlayKit;
    GameController* level = GameController::getCurrent();
    LevelStats stats;
    if (level != nullptr) {
        level->levelStats.computeScore();
        stats = level->levelStats;
    }
    FontQuad* large = fontLarge();
    FontQuad* medium = fontMedium();
    // White and green rows on the light frosted panel: the medium font's outlined face keeps them readable
    // (same size and spacing; the rows are laid out by the plain face's line height).
    FontQuad* rowFont = LevelServices::font(u"fontMediumOutline");
    if (rowFont == nullptr) {
        rowFont = medium;
    }
    appendChild(new MenuPanel(0.0f, 0.0f, 0.0f, 700.0f, 400.0f, false, UString()));
    appendChild(text(0.0f, 150.0f, LevelServices::text(STR_STATISTICS), large, WHITE, 5));
    const int L = medium != nullptr ? medium->getLineHeight() : 0;
    float y = 150.0f - static_cast<float>(large != nullptr ? large->getLineHeight() : 0);

    auto fraction = [](int32_t got, int32_t total) { return formatString(u"%d/%d", got, total); };
    struct Row {
        int label;
        UString value;
        int32_t points;
        int full;
    };
    const Row rows[] = {
        {STR_STATSAPPLESREQUIRED, fraction(stats.requiredApplesGot, stats.requiredApples), stats.requiredApplesPoints,
         LevelStats::FULL_REQUIRED_APPLES},
        {STR_STATSAPPLESBONUS, fraction(stats.bonusApplesGot, stats.bonusApples), stats.bonusApplesPoints,
         LevelStats::FULL_BONUS_APPLES},
        {STR_STATSSWEETS, fraction(stats.sweetsGot, stats.sweets), stats.sweetsPoints, LevelStats::FULL_SWEETS},
        {STR_STATSSECRETS, fraction(stats.secretsFound, stats.secrets), stats.secretsPoints, LevelStats::FULL_SECRETS},
        {STR_STATSDEATHS, formatString(u"%d", stats.livesLost), stats.livesPoints, LevelStats::FULL_LIVES},
        {STR_STATSTIME,
         formatString(u"%s/%s", formatMinutesSeconds(stats.time), formatMinutesSeconds(stats.targetTime)),
         stats.timePoints, LevelStats::FULL_TIME},
    };
    for (const Row& row : rows) {
        const std::uint32_t colour = stats.fullMarks[row.full] != 0 ? GREEN : WHITE;
        appendChild(text(-300.0f, y, LevelServices::text(row.label), rowFont, colour, 3));
        appendChild(text(150.0f, y, row.value, rowFont, colour, 9));
        appendChild(text(300.0f, y, formatPercentTenths(row.points), rowFont, colour, 9));
        y -= static_cast<float>(L);
    }
    y -= static_cast<float>(L + L / 2);
    auto* ruler = new Renderable();
    ruler->setSkin(sprite(u"horizontalRuler:0"));
    ruler->position = V3(0.0f, y, 0.0f);
    ruler->setScale(V3(2.34375f, 1.0f, 1.0f));
    appendChild(ruler);
    y -= static_cast<float>(L / 2);
    const std::uint32_t totalColour = stats.totalPoints == 1000 ? GREEN : WHITE;
    appendChild(text(-300.0f, y, LevelServices::text(STR_STATSTOTAL), rowFont, totalColour, 3));
    appendChild(text(300.0f, y, formatPercentTenths(stats.totalPoints), rowFont, totalColour, 9));
    appendChild(text(0.0f, -190.0f, continuePrompt(closeKey1), fontSmall(), TEXT_DARK, 36));
}

void OverlayStatistics::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
}

RPC_OverlayStatistics_construct::RPC_OverlayStatistics_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayStatistics_construct::invoke() { static_cast<OverlayStatistics*>(target)->local_construct(); }
