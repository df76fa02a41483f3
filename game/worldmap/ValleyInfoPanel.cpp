#include "game/worldmap/ValleyInfoPanel.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/Quad.h"
#include "engine/render/SlicedSkin.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ValleyLevelIcon.h"

namespace {
constexpr std::uint32_t INK = 0x80000000u;   // black at half opacity
constexpr std::uint32_t FADED = 0x40000000u; // black at quarter opacity: the category is not in the level

UString textOf(int id)
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->language != nullptr ? UString(kiv->language->getText(static_cast<std::uint32_t>(id)))
                                                      : UString();
}

struct Row {
    int label;
    UString value;
    std::uint32_t color;
    bool full;
    std::uint32_t tint;
    bool record;
};

UString countPair(int32_t got, int32_t available) { return formatString(u"%d/%d", got, available); }
} // namespace

ValleyInfoPanel::ValleyInfoPanel()
{
    bubble = new SlicedSkin(ResourceManager::instance()->find<Quad>(u"gui-game-speechBubble:2"));
    bubble->setBorders(35, 20, 35, 20);
    setSkin(bubble, true);
}

void ValleyInfoPanel::setLevel(ValleyLevelIcon* newIcon)
{
    icon = newIcon;
    const LevelStats& s = Global::instance()->profiles.getCurrentProfile().levelStats[icon->levelNumber];
    while (getLastChild() != nullptr) {
        getLastChild()->destroy();
    }

    FontQuad* font = Global::instance()->fontSmall;
    const int h = font->getScaledLineHeight();
    const float hf = static_cast<float>(h);
    bubble->setSize(250.0f, 7.0f * hf + 50.0f);
    bubble->setOriginByAlignment(1);

    float sx = 1.0f, sy = 1.0f;
    if (const Context* context = Context::getCurrent(); context != nullptr && context->camera != nullptr) {
        sx = icon->position.x > context->camera->eye.x ? -1.0f : 1.0f;
        sy = icon->position.y > context->camera->eye.y ? -1.0f : 1.0f;
    }
    position = V3(std::trunc(icon->position.x - 18.0f * sx), std::trunc(icon->position.y + 10.0f * sy),
                  icon->position.z);
    scale = V3(sx, sy, 1.0f);
    updateVisuals();

    using LS = LevelStats;
    auto faded = [](int32_t available) { return available > 0 ? INK : FADED; };
    const Row rows[ROWS] = {
        {STR_STATSSCORE, formatNumber(s.score), INK, s.fullMarks[LS::FULL_PERFECT] != 0, 0xFFFFFFFFu,
         s.newRecord[LS::RECORD_SCORE] != 0},
        {STR_STATSAPPLESREQUIRED, countPair(s.requiredApplesGot, s.requiredApples), faded(s.requiredApples),
         s.fullMarks[LS::FULL_REQUIRED_APPLES] != 0, 0xFFFF8000u, s.newRecord[LS::RECORD_REQUIRED_APPLES] != 0},
        {STR_STATSAPPLESBONUS, countPair(s.bonusApplesGot, s.bonusApples), faded(s.bonusApples),
         s.fullMarks[LS::FULL_BONUS_APPLES] != 0, 0xFFFF0000u, s.newRecord[LS::RECORD_BONUS_APPLES] != 0},
        {STR_STATSSWEETS, countPair(s.sweetsGot, s.sweets), faded(s.sweets), s.fullMarks[LS::FULL_SWEETS] != 0,
         0xFFFF00FFu, s.newRecord[LS::RECORD_SWEETS] != 0},
        {STR_STATSSECRETS, countPair(s.secretsFound, s.secrets), faded(s.secrets), s.fullMarks[LS::FULL_SECRETS] != 0,
         0xFF0080FFu, s.newRecord[LS::RECORD_SECRETS] != 0},
        {STR_STATSDEATHS, formatString(u"%d", s.livesLost), s.bonusLevel != 0 ? FADED : INK,
         s.fullMarks[LS::FULL_LIVES] != 0, 0xFF00FFFFu, s.newRecord[LS::RECORD_LIVES_LOST] != 0},
        {STR_STATSTIME, formatString(u"%s/%s", formatMinutesSeconds(s.time), formatMinutesSeconds(s.targetTime)), INK,
         s.fullMarks[LS::FULL_TIME] != 0, 0xFF00FF00u, s.newRecord[LS::RECORD_TIME] != 0},
    };

    for (int r = 1; r <= ROWS; ++r) {
        const Row& row = rows[r - 1];
        const float y = -static_cast<float>(r) * hf;
        auto* label = new TextSprite(-100.0f, y, 0.0f, textOf(row.label), font, UColor(row.color));
        label->flags = 0x12;
        label->bShadow = false;
        appendChild(label);
        auto* value = new TextSprite(2.0f * (50.0f - hf), y, 0.0f, row.value, font, UColor(row.color));
        value->flags = 0x18;
        value->bShadow = false;
        appendChild(value);
        if (row.full) {
            auto* full = new Renderable();
            full->pSkin = ResourceManager::instance()->find<Skin>(u"valleyIcons:2");
            full->scaleMode = SCALE_PIXELS;
            full->color = UColor(row.tint);
            full->setPosition(V3(100.0f - 1.5f * hf, y, 0.0f));
            appendChild(full);
        }
        if (row.record) {
            auto* record = new Renderable();
            record->pSkin = ResourceManager::instance()->find<Skin>(u"valleyIcons:3");
            record->scaleMode = SCALE_PIXELS;
            record->setPosition(V3(100.0f - 0.5f * hf, y, 0.0f));
            appendChild(record);
        }
    }

    float minX = 99999.0f, maxX = -99999.0f, minY = 99999.0f, maxY = -99999.0f;
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        const V3& p = static_cast<Renderable*>(child)->position;
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const V3 offset(std::trunc(boundsCenter.x - (minX + maxX) / 2.0f),
                    std::trunc(boundsCenter.y - (minY + maxY) / 2.0f + 10.0f * sy), boundsCenter.z);
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        auto* item = static_cast<Renderable*>(child);
        item->position += offset;
        item->updateVisuals();
    }
}

void ValleyInfoPanel::render()
{
    if (bHidden) {
        return;
    }
    Renderable::render();
    const Kiv* kiv = Kiv::instance();
    const Global* global = Global::instance();
    if (kiv == nullptr || kiv->bRelease || icon == nullptr || global->fontTiny == nullptr) {
        return;
    }
    const LevelStats& s = global->profiles.getCurrentProfile().levelStats[icon->levelNumber];
    const UString lines[4] = {
        formatString(u"sum_timesPlayed=%d", s.timesPlayed),
        formatString(u"sum_totalPlayingTime=%s", formatMinutesSeconds(s.totalTime)),
        formatString(u"sum_totalDeaths=%d", s.totalLivesLost),
        formatString(u"sum_totalSpoils=%d", s.totalApplesLost),
    };
    for (int k = 1; k <= 4; ++k) {
        global->fontTiny->print(V3(position.x, position.y - 10.0f * static_cast<float>(k), position.z),
                                UColor(0xFFFFFFFFu), 3, lines[k - 1]);
    }
}
