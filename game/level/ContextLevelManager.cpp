#include "game/level/ContextLevelManager.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/Format.h"
#include "engine/core/KivRandom.h"
#include "engine/core/Logger.h"
#include "engine/core/TimeKeeper.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetConnection.h"
#include "engine/net/Packet.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/front/ContextManager.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextSky.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelServices.h"
#include "game/level/MyRootObject.h"
#include "game/userdata/ProfileData.h"

namespace {
const char* const CONSTRUCTOR = "ContextLevelManager::ContextLevelManager";
// An edited level far larger than any level of the game is not read.
constexpr std::size_t MAX_SAVED_LEVEL_SIZE = 16u << 20;

double physicalTime()
{
    const Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->timeKeeper != nullptr) {
        return kiv->timeKeeper->getPhysicalTime() - kiv->timeKeeper->getStartTime();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
} // namespace

ContextLevelManager::ContextLevelManager(int levelNumber)
{
    const UString fileName = ProfileData::levelNumberToFile(levelNumber);
    if (EditorSession::isAllowed()) {
        editSession = std::make_unique<EditorSession>(fileName, this);
    }
    createServer();
    load(fileName);
    rememberLoaded();
}

ContextLevelManager::ContextLevelManager(const UString& fileName)
{
    if (EditorSession::isAllowed()) {
        editSession = std::make_unique<EditorSession>(fileName, this);
    }
    createServer();
    load(fileName);
    rememberLoaded();
}

ContextLevelManager::ContextLevelManager(Packet& stream)
{
    if (EditorSession::isAllowed()) {
        editSession = std::make_unique<EditorSession>(UString(), this);
    }
    createServer();
    replay(stream);
    rememberLoaded();
}

void ContextLevelManager::rememberLoaded()
{
    if (editSession != nullptr && server != nullptr) {
        editSession->rememberSaved(*server);
    }
}

class ContextLevelManager::CoveredKeys : public KivBase {
public:
    explicit CoveredKeys(ContextLevelManager& level) : level(level) {}
    void tick(double /*time*/, double /*dt*/) override
    {
        const Kiv* kiv = Kiv::instance();
        if (kiv != nullptr && kiv->input != nullptr && EditorSession::isSaveKey(*kiv->input)) {
            level.saveUnderCover();
        }
    }

private:
    ContextLevelManager& level;
};

ContextLevelManager::ContextLevelManager(CheckOnly) : bCheckOnly(true) { createServer(); }

ContextLevelManager::~ContextLevelManager() { delete coveredKeys.get(); }

ContextLevelManager::ServerOwner::~ServerOwner()
{
    delete server;
    server = nullptr;
}

void ContextLevelManager::createServer()
{
    bEscapeCloses = false;
    // The editor is steered with the mouse.
    bShowPointer = editSession != nullptr;
    double version = 0.0;
    std::sscanf("1.25", "%lf", &version);
    server = new GameServer(2, 4, u"TobbleXmasdemo", version, LevelServices::playerName());
    NetAddress address;
    address.setBoth(u"localhost", 0);
    const Kiv* kiv = Kiv::instance();
    // A level read only to be checked binds no socket.
    server->connection = new NetConnection(address, bCheckOnly || (kiv != nullptr && kiv->bEmulateLocalhost));
    server->bOwnsConnection = true;
    // A level loaded for editing waits with its start-up set-up until its play test begins.
    server->bEditing = editSession != nullptr || bCheckOnly;
    server->editSession = editSession.get();
}

void ContextLevelManager::load(const UString& fileName)
{
    if (editSession != nullptr && loadSaved(fileName)) {
        return;
    }
    const double start = physicalTime();
    Logger::logFrom(CONSTRUCTOR, u"Loading level: %s", fileName);
    FileBlock file(0, fileName);
    Packet stream(5, static_cast<int>(file.size()));
    stream.doBytes(const_cast<std::uint8_t*>(file.data()), file.size());
    stream.rewindToRead();
    server->start(&stream);
    Logger::logFrom(CONSTRUCTOR, u"Level loaded in %.3lfs.", physicalTime() - start);
}

bool ContextLevelManager::loadSaved(const UString& fileName)
{
    const std::string path = EditorSession::savedLevelPath(fileName);
    const UString shownPath = toUString(path.c_str());
    // Read as the user files are: a regular file only, without waiting on a FIFO or device, within a cap.
    std::vector<std::uint8_t> bytes;
    if (!FileIO::readWholeFile(path, bytes, MAX_SAVED_LEVEL_SIZE)) {
        const int error = errno;
        if (error == ENOENT) {
            return false; // no edited copy
        }
        UString why = error == EISDIR   ? UString(u"it is a folder")
                      : error == EINVAL ? UString(u"it is not a regular file")
                      : error == EFBIG  ? formatString(u"it is larger than %u bytes",
                                                       static_cast<unsigned>(MAX_SAVED_LEVEL_SIZE))
                                        : toUString(std::strerror(error));
        refuseSaved(path, why, nullptr);
        return false;
    }
    if (bytes.empty()) {
        refuseSaved(path, u"the file is empty", &bytes);
        return false;
    }
    const double start = physicalTime();
    Logger::logFrom(CONSTRUCTOR, u"Loading level: %s", shownPath);
    if (const UString why = readSavedCopy(bytes); !why.empty()) {
        renewServer();
        refuseSaved(path, why, &bytes);
        return false;
    }
    Logger::logFrom(CONSTRUCTOR, u"Level loaded in %.3lfs.", physicalTime() - start);
    return true;
}

UString ContextLevelManager::playUntrusted(Packet& stream)
{
    const UString why = readUntrusted(stream);
    if (!why.empty()) {
        renewServer();
    }
    return why;
}

void ContextLevelManager::renewServer()
{
    // What was read goes with its server; the level played instead gets a new one.
    delete server;
    server = nullptr;
    createServer();
}

UString ContextLevelManager::readUntrusted(Packet& stream)
{
    // The copy is the user's, not our own data: what cannot be read or played is reported here, not through
    // the fatal path, and is found before the level's set-up builds on it.
    UString why;
    server->bLevelFromOutside = true;
    try {
        server->start(&stream, [this] { return whyNotPlayable(); });
    } catch (const PacketDecodeError& error) {
        why = error.message;
    }
    return why;
}

UString ContextLevelManager::readSavedCopy(const std::vector<std::uint8_t>& bytes)
{
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
    stream.setReadData(bytes.data(), bytes.size());
    return readUntrusted(stream);
}

UString ContextLevelManager::whyNotLoadable(const std::vector<std::uint8_t>& bytes)
{
    // Put back however the check ends; declared first, so that it runs after the level read is gone.
    struct Restore {
        NetRole* role = THEROLE;
        std::uint32_t seed = KivRandom::getSeed();
        ~Restore()
        {
            KivRandom::setSeed(seed);
            THEROLE = role;
        }
    } restore;
    const double start = physicalTime();
    const GameServer::CheckScope checking;
    ContextLevelManager reader{CheckOnly{}};
    const UString why = reader.readSavedCopy(bytes);
    Logger::logFrom("ContextLevelManager::whyNotLoadable", u"%u bytes read as a saved copy in %.1f ms%s%s.",
                    static_cast<unsigned>(bytes.size()), (physicalTime() - start) * 1000.0,
                    why.empty() ? u"" : u": ", why);
    // Its objects go as those of their own role.
    THEROLE = reader.server;
    return why;
}

UString ContextLevelManager::restoreEdited(const std::vector<std::uint8_t>& bytes)
{
    GameServer* const played = server;
    server = nullptr;
    createServer();
    const UString why = readSavedCopy(bytes);
    GameServer* const gone = why.empty() ? played : server;
    server = why.empty() ? server : played;
    THEROLE = gone;
    delete gone;
    THEROLE = server;
    return why;
}

void ContextLevelManager::refuseSaved(const std::string& path, const UString& why,
                                      const std::vector<std::uint8_t>* bytes)
{
    Logger::logFrom(CONSTRUCTOR, u"The edited level %s cannot be used (%s); the archive's is used.", path, why);
    // The copy is the user's work, kept as the damaged user files are: copied aside under a name of its own
    // for a save to replace, or, without that copy, replaced by no save of this run.
    std::string keptAs;
    if (bytes == nullptr || !FileManager::keepDamagedCopy(path, *bytes, &keptAs)) {
        FileManager::keepUnreadableFile(path);
    }
    editSession->savedCopyRefused(why, keptAs);
}

UString ContextLevelManager::whyNotPlayable() const { return GameController::whyNotPlayable(getRoot()); }

void ContextLevelManager::replay(Packet& stream)
{
    const double start = physicalTime();
    Logger::logFrom(CONSTRUCTOR, u"Loading level: %s", u"(memory)");
    if (!stream.isPeerInput()) {
        server->start(&stream);
    } else if (const UString why = playUntrusted(stream); !why.empty()) {
        Logger::logFrom(CONSTRUCTOR, u"The level %s cannot be used (%s).", u"(memory)", why);
        return;
    }
    Logger::logFrom(CONSTRUCTOR, u"Level loaded in %.3lfs.", physicalTime() - start);
}

void ContextLevelManager::tickContents(double time, double dt)
{
    if (server != nullptr) {
        const Kiv* kiv = Kiv::instance();
        if (editSession != nullptr && kiv != nullptr && kiv->input != nullptr) {
            THEROLE = server;
            editSession->tick(*server, *kiv->input);
        }
        server->tick(time, dt);
        // The editor's panel fields act on the level between its ticks (pointer events and keys), as its
        // current role.
        if (editSession != nullptr) {
            THEROLE = server;
            // A play test that ends (its results continued, End level or Restart level) goes back to
            // editing, or starts again: the level stays.
            if (server->levelResultCode != 0 && editSession->isPlayTest()) {
                editSession->endPlayTest(*server);
                THEROLE = server;
            }
        }
        if (server->levelResultCode != 0) {
            if (KivAudio* audio = KivAudio::instance()) {
                if (audio->currentMusic != nullptr) {
                    audio->currentMusic->stop();
                }
                audio->currentMusic = nullptr;
            }
            bClosed = true;
        }
    }
    // The frame-rate readout stands below the HUD's top row, off the clock and the buttons.
    const GameController* gc = getGameController();
    frameRateDrop = gc != nullptr && gc->contextHUD != nullptr ? gc->contextHUD->topRowHeight() : 0.0f;
    Context::tickContents(time, dt);
}

void ContextLevelManager::onActivate(bool firstActivation)
{
    Context::onActivate(firstActivation);
    delete coveredKeys.get();
}

void ContextLevelManager::onDeactivate(bool closing)
{
    Context::onDeactivate(closing);
    auto* stack = dynamic_cast<ContextManager*>(getParent());
    if (!closing && editSession != nullptr && stack != nullptr && coveredKeys.get() == nullptr) {
        auto* watcher = new CoveredKeys(*this);
        stack->pointerLayer->appendChild(watcher);
        coveredKeys.set(watcher);
    }
}

void ContextLevelManager::saveUnderCover()
{
    if (editSession == nullptr || server == nullptr) {
        return;
    }
    for (KivBase* above = getNext(); above != nullptr; above = above->getNext()) {
        if (auto* screen = dynamic_cast<Context*>(above)) {
            screen->bClosed = true;
        }
    }
    NetRole* const previous = THEROLE;
    THEROLE = server;
    editSession->save(*server);
    THEROLE = previous;
}

void ContextLevelManager::renderContents()
{
    if (server != nullptr) {
        server->render();
    }
}

KivBase* ContextLevelManager::findObjectUnderPointer(const V3& point)
{
    GameController* gc = getGameController();
    const MyRootObject* root = getRoot();
    // An open overlay (pause, statistics) covers the level and its editor.
    if (editSession == nullptr || gc == nullptr || gc->editor == nullptr || root->contextOverlay != nullptr) {
        return Context::findObjectUnderPointer(point);
    }
    NetRole* previous = THEROLE;
    THEROLE = server;
    KivBase* found = gc->editor->findObjectUnderPointer(point);
    THEROLE = previous;
    return found;
}

bool ContextLevelManager::isPlayersRun() const { return editSession == nullptr; }

int ContextLevelManager::getResultCode() const { return server != nullptr ? server->levelResultCode : 0; }

MyRootObject* ContextLevelManager::getRoot() const
{
    return server != nullptr ? dynamic_cast<MyRootObject*>(server->root) : nullptr;
}

GameController* ContextLevelManager::getGameController() const
{
    const MyRootObject* root = getRoot();
    return root != nullptr ? root->gameController : nullptr;
}

const LevelStats* ContextLevelManager::getLevelStats() const
{
    const GameController* gc = getGameController();
    return gc != nullptr ? &gc->levelStats : nullptr;
}
