#pragma once
// The user data folder, where the configuration, the user files, the log and the crash files live.
#include "engine/core/UString.h"

// $XDG_DATA_HOME (else ~/.local/share) + "/Kestrelmoor studios/TobbleXmasdemo/1.25/", each of the three
// levels created when missing and opened to the user's group for reading and writing. With a trailing "/".
UString createUserDataFolder();
