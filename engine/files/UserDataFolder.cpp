#include "engine/files/UserDataFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "engine/core/Format.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/platform/PlatformWindow.h"

namespace {

std::string dataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && home[0] != 0 ? home : ".") + "/.local/share";
}

// Makes one folder, or finds it in place. `groupRights` gives the user's group read and write rights
// whatever the umask says. An empty text when the folder is there afterwards, else why it is not.
UString makeFolder(const std::string& path, bool groupRights)
{
    if (mkdir(path.c_str(), groupRights ? 0775 : 0755) == 0) {
        if (groupRights) {
            chmod(path.c_str(), 0775);
        }
        return {};
    }
    const int err = errno;
    struct stat info {};
    if (err == EEXIST && stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return {};
        }
        return formatString(u"'%s' is in the way of the folder", path);
    }
    return formatString(u"Could not create folder '%s' (errno %d:%s)", path, err, std::strerror(err));
}

} // namespace

UString createUserDataFolder(UString* problem)
{
    std::string folder = dataHome();
    UString why;
    // Every missing folder of the data home (like mkdir -p), without changing the rights of those that exist.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && why.empty()) {
            why = makeFolder(part, false);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    for (const char16_t* level : {GameInfo::COMPANY, GameInfo::GAME_ID, GameInfo::VERSION}) {
        folder += '/';
        folder += wideToUtf8(level);
        if (why.empty()) {
            why = makeFolder(folder, true);
        }
    }
    if (problem != nullptr) {
        *problem = why;
    }
    folder += '/';
    return utf8ToWide(folder);
}

void reportUserDataFolderProblem(const UString& problem)
{
    const UString text = formatString(u"The user data folder cannot be used: %s. Settings, players and high scores "
                                      u"will not be saved.",
                                      problem);
    std::fprintf(stderr, "%s\n", wideToUtf8(text).c_str());
    Logger::logFrom("reportUserDataFolderProblem", u"Warning: %s", text);
    PlatformWindow::showMessageBox(GameInfo::WINDOW_TITLE, text);
}
