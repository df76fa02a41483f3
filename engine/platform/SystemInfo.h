#pragma once
// Facts about the machine and the user, for the log header and the system-information lines.
#include <string>

#include "engine/core/UString.h"

namespace SystemInfo {
UString computerName();
UString userName();
UString currentFolder();
// The folder of the running program file (from /proc/self/exe, else argv[0]) with a trailing "/"; the
// game's data lies beside it. Empty when neither tells.
std::string executableFolder();
// The two-letter ISO 639 code of the user's language from LC_ALL, LC_MESSAGES or LANG; empty when none.
UString localeIsoCode();
} // namespace SystemInfo
