#include "engine/files/UserDataFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"

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

// Creates every missing folder of the path (like mkdir -p), without changing the rights of folders
// that exist.
void makeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty()) {
            mkdir(part.c_str(), 0755);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
}

} // namespace

UString createUserDataFolder()
{
    std::string folder = dataHome();
    makeFolders(folder);
    for (const char16_t* level : {GameInfo::COMPANY, GameInfo::GAME_ID, GameInfo::VERSION}) {
        folder += "/" + wideToUtf8(level);
        if (mkdir(folder.c_str(), 0775) == 0) {
            // The umask may have taken the group's rights away; give them back.
            chmod(folder.c_str(), 0775);
        } else if (errno != EEXIST) {
            const int err = errno;
            Logger::logFrom("createUserDataFolder", u"Warning: Could not create folder '%s' (errno %d:%s).", folder,
                            err, std::strerror(err));
        }
    }
    return utf8ToWide(folder + "/");
}
