#include "game/editor/EditorSession.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/Packet.h"
#include "engine/text/Console.h"
#include "game/front/Global.h"
#include "game/level/GameServer.h"

namespace {
constexpr int KEY_S = 0x1F;
constexpr int KEY_F4 = 0x3E;
constexpr int MODIFIER_CTRL = 2;

void report(const UString& line)
{
    Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->console != nullptr) {
        kiv->console->addLine(line);
    } else {
        Logger::logFrom("EditorSession", u"%s", line);
    }
}
} // namespace

EditorSession::EditorSession(const UString& file) : levelFile(file) {}

bool EditorSession::isAllowed()
{
    const Global* global = Global::instance();
    return global != nullptr && global->bEditorAllowed;
}

std::string EditorSession::savedLevelPath(UStringView file)
{
    const Kiv* kiv = Kiv::instance();
    const std::string folder = kiv != nullptr ? kiv->userFolder : std::string();
    const std::string name = std::filesystem::path(wideToUtf8(UString(file))).filename().string();
    return folder + "levels/" + name;
}

void EditorSession::tick(GameServer& server, const KivInput& input)
{
    if (input.wasKeyPressed(KEY_F4)) {
        toggleEditing(server);
    } else if (server.bEditing && input.wasKeyPressed(KEY_S) && input.getModifierState() == MODIFIER_CTRL) {
        save(server);
    }
}

void EditorSession::toggleEditing(GameServer& server)
{
    if (server.bEditing) {
        server.bEditing = false;
        if (!bPlayed) {
            bPlayed = true;
            server.runLevelStart();
        }
        report(u"Editing off: play test.");
    } else {
        server.bEditing = true;
        report(u"Editing on.");
    }
}

bool EditorSession::save(GameServer& server)
{
    if (bPlayed) {
        report(u"Level not saved: it was played since it was loaded. Load it again to save it.");
        return false;
    }
    if (levelFile.empty()) {
        report(u"Level not saved: it has no file name.");
        return false;
    }
    const std::string path = savedLevelPath(levelFile);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    // As the user files are written: a temporary file flushed to the disk, renamed over the old one.
    Packet level(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    server.writeFullState(level);
    const bool written = !error && FileIO::writeFileReplacing(path, level.data(), level.size());
    if (!written) {
        // The level saved before (if any) stays as it was.
        FileManager::reportFailedSave(path, error ? error.value() : errno);
        report(formatString(u"Level not saved: %s could not be written.", toUString(path.c_str())));
        return false;
    }
    report(formatString(u"Level saved: %s", toUString(path.c_str())));
    return true;
}
