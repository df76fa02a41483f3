#include "game/online/CrashFiles.h"

#include <cstdio>

#include "engine/files/FileManager.h"
#include "engine/files/UserDataFolder.h"
#include "engine/kiv/Kiv.h"
#include "game/front/Global.h"

namespace {
UString crashName(const char16_t* extension) { return u"crash." + getGameId() + extension; }

UString crashPath(const char16_t* extension)
{
    // The engine knows the folder once it runs; before that the folder is made here.
    const Kiv* engine = Kiv::instance();
    const UString folder = engine != nullptr && !engine->userFolder.empty() ? utf8ToWide(engine->userFolder)
                                                                             : createUserDataFolder();
    return folder + crashName(extension);
}
} // namespace

UString getCrashLogFileName() { return crashName(u".log"); }
UString getCrashLogPath() { return crashPath(u".log"); }
UString getCrashDumpFileName() { return crashName(u".mdmp"); }
UString getCrashDumpPath() { return crashPath(u".mdmp"); }
UString getCrashScreenshotFileName() { return crashName(u".jpg"); }
UString getCrashScreenshotPath() { return crashPath(u".jpg"); }
UString getCrashTrafficFileName() { return crashName(u".net"); }
UString getCrashTrafficPath() { return crashPath(u".net"); }

bool CrashFiles::reportWaiting()
{
    return FileManager::existsDisk(getCrashLogPath()) || FileManager::existsDisk(getCrashDumpPath());
}

void CrashFiles::removeAll()
{
    for (const UString& path : {getCrashLogPath(), getCrashScreenshotPath(), getCrashTrafficPath(), getCrashDumpPath()}) {
        std::remove(wideToUtf8(path).c_str());
    }
}
