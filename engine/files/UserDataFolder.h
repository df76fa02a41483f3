#pragma once
// The user data folder, where the configuration, the user files, the log and the crash files live.
#include "engine/core/UString.h"

// $XDG_DATA_HOME (else ~/.local/share) + "/Kestrelmoor studios/TobbleXmasdemo/1.25/", each of the three
// levels created when missing and opened to the user's group for reading and writing. With a trailing "/".
// When a level cannot be made (a file in its way, no rights) `problem`, when given, says so; the path is
// returned all the same, and the files in it then fail to save with their own warnings.
UString createUserDataFolder(UString* problem = nullptr);
// Tells the user that the folder cannot be used: on standard error, in the log and, where a display
// exists, in a message box.
void reportUserDataFolderProblem(const UString& problem);
