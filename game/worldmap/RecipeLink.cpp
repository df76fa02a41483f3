#include "game/worldmap/RecipeLink.h"

#include <string>

#include "engine/core/Format.h"
#include "engine/files/Md5.h"
#include "game/userdata/ProfileData.h"

std::uint32_t RecipeLink::maskOf(const ProfileData& profile)
{
    std::uint32_t mask = 0;
    for (int n = ProfileData::NUMLEVELS - 1; n >= 0; --n) {
        mask = mask * 2u + (profile.levelStats[n].fullMarks[LevelStats::FULL_PERFECT] != 0 ? 1u : 0u);
    }
    return mask;
}

UString RecipeLink::identifier(std::uint32_t mask)
{
    const std::string text = wideToUtf8(formatString(u"J%08x", mask));
    const Md5Digest digest = md5Digest(text.data(), text.size());
    return md5ToHex(digest.data()) + formatString(u"%08x", mask);
}

UString RecipeLink::url(UStringView host, std::uint32_t mask)
{
    return formatString(u"http://%s/tobble/recipe.php?id=%s", host, identifier(mask));
}
