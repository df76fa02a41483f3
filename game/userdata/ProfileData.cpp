#include "game/userdata/ProfileData.h"

#include <algorithm>
#include <cstring>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/kiv/Kiv.h"
#include "game/language/Language.h"
#include "game/userdata/FixedText.h"
#include "game/userdata/RandomId.h"

void ProfileData::reset()
{
    std::memset(name, 0, sizeof name);
    profileId = drawRandomId();
    for (LevelStats& stats : levelStats) {
        stats.reset();
    }
    totals.reset();
    currentLevel = 0;
    levelStats[0].available = 1;
}

void ProfileData::setName(UStringView text) { FixedText256::assign(name, text); }

UString ProfileData::getName() const { return FixedText256::read(name); }

void ProfileData::bringIntoRange()
{
    FixedText256::terminate(name);
    for (LevelStats& stats : levelStats) {
        stats.normaliseFlags();
        stats.clampCounters();
    }
    totals.normaliseFlags();
    totals.clampCounters();
    currentLevel = std::clamp(currentLevel, 0, NUMLEVELS - 1);
}

// Four levels to a world, worlds "a" to "h"; the first world holds the Christmas levels.
UString ProfileData::levelNumberToFile(int levelNumber)
{
    if (levelNumber < 0 || levelNumber >= NUMLEVELS) {
        KIV_FATAL(formatString(u"Unhandled level number (%d)", levelNumber));
    }
    static constexpr const char16_t* LEVEL_CODES[4] = {u"1", u"2", u"3", u"9"};
    static constexpr const char16_t* XMAS_CODES[4] = {u"1xmas", u"2xmas", u"3xmas", u"9"};
    const char16_t world = static_cast<char16_t>(u'a' + levelNumber / 4);
    const char16_t* code = levelNumber < 4 ? XMAS_CODES[levelNumber] : LEVEL_CODES[levelNumber % 4];
    return formatString(u"./levels/%c%s.lev", world, code);
}

UString ProfileData::levelNumberToTitle(int levelNumber)
{
    KIV_ASSERT(levelNumber >= 0 && levelNumber < NUMLEVELS);
    Kiv* kiv = Kiv::instance();
    KIV_ASSERT(kiv != nullptr && kiv->language != nullptr);
    return levelNumberToTitle(*kiv->language, levelNumber);
}

UString ProfileData::levelNumberToTitle(const Language& language, int levelNumber)
{
    KIV_ASSERT(levelNumber >= 0 && levelNumber < NUMLEVELS);
    return language.getText(static_cast<uint32_t>(STR_LEVELTITLE0 + levelNumber));
}

UString ProfileData::levelNumberToMusic(int levelNumber)
{
    if (levelNumber == 31) {
        return u"musicMenu";
    }
    if (levelNumber == 19) {
        return u"musicNone";
    }
    switch (levelNumber % 4) {
    case 0:
        return u"musicGame1";
    case 1:
        return u"musicGame2";
    case 2:
        return u"musicGame3";
    case 3:
        return u"musicBonus";
    default:
        KIV_FATAL(formatString(u"Unhandled level number (%d)", levelNumber));
    }
}

UString ProfileData::levelNumberToMinimap(int levelNumber) { return formatString(u"minimap%02d", levelNumber); }
