// Feeds arbitrary bytes to the loaders of the user's files: as the high-score file and the player file
// (even first byte) through the records that read them, and as the configuration text (odd first byte).
// A damaged file must leave the defaults in range, never crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/core/ErrorManager.h"
#include "engine/files/MemoryIniFile.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileManager.h"

namespace {
// The user data folder of this run: a folder of its own under the temporary folder.
const std::string& userFolder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/fuzz-user-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) {
            std::abort();
        }
        setenv("XDG_DATA_HOME", made, 1);
        static std::string top = made;
        std::atexit([] { std::filesystem::remove_all(top); });
        return wideToUtf8(GameConfiguration::getSaveFolder());
    }();
    return folder;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    if (size == 0) {
        return 0;
    }
    const std::string& folder = userFolder();
    if ((data[0] & 1) != 0) {
        MemoryIniFile ini = MemoryIniFile::fromText(data + 1, size - 1);
        (void)ini.getInt(u"KivGraphics", u"videoModeWidth", 800);
        (void)ini.getBool(u"Kiv", u"bTickWhilePaused", false);
        (void)ini.toText(u"first line");
        return 0;
    }
    for (const char* name : {"TobbleXmasdemo.hst", "TobbleXmasdemo.pro"}) {
        std::ofstream(folder + name, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    {
        GameConfiguration config;
        ProfileManager profiles;
        if (profiles.currentProfile < 0 || profiles.currentProfile >= ProfileManager::MAXPROFILES ||
            config.soundVolume < 0 || config.soundVolume > 24) {
            std::abort();
        }
        LevelStats totals;
        for (const LevelStats& stats : profiles.getCurrentProfile().levelStats) {
            totals.add(stats);
        }
    }
    return 0;
}
