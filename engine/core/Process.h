#pragma once
// Process-wide state: the executable's name, the command-line arguments and the restart flag.
#include <string>
#include <vector>

#include "engine/core/UString.h"

namespace Process {

void setCommandLine(int argc, char** argv);
const UString& executableName();               // file name only, e.g. "tobble"
const UString& executablePath();               // as given in argv[0]
const std::vector<UString>& arguments();       // without argv[0]
bool hasArgument(UStringView argument);

// Set to make the shell delete and rebuild the engine and the game at the end of the loop step.
bool restartRequested();
void setRestartRequested(bool value);

} // namespace Process
