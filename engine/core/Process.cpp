#include "engine/core/Process.h"

namespace {
UString gExecutableName;
UString gExecutablePath;
std::vector<UString> gArguments;
bool gRestart = false;
} // namespace

namespace Process {

void setCommandLine(int argc, char** argv)
{
    gArguments.clear();
    gExecutablePath = argc > 0 && argv[0] ? utf8ToWide(argv[0]) : UString(u"tobble");
    const auto slash = gExecutablePath.find_last_of(u'/');
    gExecutableName = slash == UString::npos ? gExecutablePath : gExecutablePath.substr(slash + 1);
    for (int i = 1; i < argc; ++i) {
        gArguments.push_back(utf8ToWide(argv[i] ? argv[i] : ""));
    }
}

const UString& executableName() { return gExecutableName; }
const UString& executablePath() { return gExecutablePath; }
const std::vector<UString>& arguments() { return gArguments; }

bool hasArgument(UStringView argument)
{
    for (const auto& a : gArguments) {
        if (a == argument) {
            return true;
        }
    }
    return false;
}

bool restartRequested() { return gRestart; }
void setRestartRequested(bool value) { gRestart = value; }

} // namespace Process
