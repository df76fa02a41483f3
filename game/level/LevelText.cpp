#include "game/level/LevelText.h"

#include <cstdlib>

#include "engine/core/Format.h"
#include "game/language/StringIds.h"
#include "game/level/LevelServices.h"

UString LevelText::formatNumber(int value)
{
    const UString digits = formatString(u"%d", std::abs(value));
    const UString separator = LevelServices::text(STR_THOUSANDSEPARATOR);
    UString out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out += separator;
        }
        out += digits[i];
    }
    return value < 0 ? u"-" + out : out;
}

UString LevelText::formatMinutesSeconds(double seconds)
{
    const int t = static_cast<int>(seconds);
    return formatString(u"%02d:%02d", t / 60, t % 60);
}

UString LevelText::formatPercentTenths(int tenths)
{
    return formatString(u"%d%s%d%%", tenths / 10, LevelServices::text(STR_DECIMALSEPARATOR), tenths % 10);
}
