#include "engine/core/GameInfo.h"

#include "engine/core/Format.h"

UString getVersionString()
{
    return formatString(u"%s v%s.%s %s %s", GameInfo::GAME_ID, GameInfo::VERSION, GameInfo::PATCH, u"32bit", u"");
}
