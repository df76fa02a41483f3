#include "engine/audio/SoundFile.h"

#include <cerrno>
#include <cstring>

#include "engine/audio/KivAudio.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/SystemInfo.h"

namespace SoundFile {

std::vector<std::uint8_t> read(const UString& fileName)
{
    if (FileManager* files = FileManager::instance()) {
        const FileData data = files->open(fileName);
        return std::vector<std::uint8_t>(data.bytes.get(), data.bytes.get() + data.size);
    }
    // Without the engine's file layer (tools): a loose file.
    std::vector<std::uint8_t> bytes;
    if (!FileIO::readWholeFile(wideToUtf8(fileName), bytes)) {
        const int err = errno;
        KIV_FATAL(formatString(u"Failed to open file '%s' (errno %d:%s, cwd %s)", fileName, err, std::strerror(err),
                               SystemInfo::currentFolder()));
    }
    return bytes;
}

void verify(const UString& fileName)
{
    if (const FileManager* files = FileManager::instance()) {
        files->verifyFile(fileName);
    } else {
        FileManager::verifyFileDisk(fileName);
    }
}

void loadOrVerify(const UString& fileName, const std::function<void()>& load)
{
    KIV_ASSERT(KivAudio::instance() != nullptr);
    if (const Kiv* kiv = Kiv::instance(); kiv != nullptr && kiv->bEnableDelayedLoad) {
        verify(fileName);
    } else {
        load();
    }
}

} // namespace SoundFile
