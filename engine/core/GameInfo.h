#pragma once
// The game's identity: it names the user folder, the user files, the archives and the network game.
#include "engine/core/UString.h"

namespace GameInfo {
inline constexpr const char16_t* GAME_ID = u"TobbleXmasdemo";
inline constexpr const char16_t* VERSION = u"1.25";
inline constexpr const char16_t* PATCH = u"t";
inline constexpr const char16_t* COMPANY = u"Kestrelmoor studios";
inline constexpr const char16_t* WINDOW_TITLE = u"Tobble";
} // namespace GameInfo

// "%s v%s.%s %s %s": game id, version, patch letter, "32bit" and an empty suffix.
UString getVersionString();
