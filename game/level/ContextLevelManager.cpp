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
        editSession = std::make_unique<EditorSession>(fileName);
    }
    createServer();
    load(fileName);
}

ContextLevelManager::ContextLevelManager(const UString& fileName)
{
    if (EditorSession::isAllowed()) {
        editSession = std::make_unique<EditorSession>(fileName);
    }
    createServer();
    load(fileName);
}

ContextLevelManager::ContextLevelManager(Packet& stream)
{
    if (EditorSession::isAllowed()) {
        editSession = std::make_unique<EditorSession>(UString());
    }
    createServer();
    replay(stream);
}

ContextLevelManager::~ContextLevelManager() = default;

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
    server->connection = new NetConnection(address, kiv != nullptr && kiv->bEmulateLocalhost);
    server->bOwnsConnection = true;
    // A level loaded for editing waits with its start-up set-up until its play test begins.
    server->bEditing = editSession != nullptr;
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
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, static_cast<int>(bytes.size()));
    stream.doBytes(bytes.data(), bytes.size());
    stream.rewindToRead();
    if (const UString why = playUntrusted(stream); !why.empty()) {
        refuseSaved(path, why, &bytes);
        return false;
    }
    Logger::logFrom(CONSTRUCTOR, u"Level loaded in %.3lfs.", physicalTime() - start);
    return true;
}

UString ContextLevelManager::playUntrusted(Packet& stream)
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
    if (!why.empty()) {
        // What was read goes with its server; the level played instead gets a new one.
        delete server;
        server = nullptr;
        createServer();
    }
    return why;
}

void ContextLevelManager::refuseSaved(const std::string& path, const UString& why,
                                      const std::vector<std::uint8_t>* bytes)
{
    Logger::logFrom(CONSTRUCTOR, u"The edited level %s cannot be used (%s); the archive's is used.", path, why);
    // The copy is the user's work, kept as the damaged user files are: copied aside for a save to replace,
    // or, without that copy, replaced by no save of this run.
    const bool keptAside = bytes != nullptr && FileManager::keepDamagedCopy(path, *bytes);
    if (!keptAside) {
        FileManager::keepUnreadableFile(path);
    }
    editSession->savedCopyRefused(why, keptAside);
}

UString ContextLevelManager::whyNotPlayable() const
{
    const MyRootObject* root = getRoot();
    if (root == nullptr) {
        return u"it holds no level root";
    }
    const GameController* gc = root->gameController;
    if (gc == nullptr || gc->getParent() != root) {
        return u"it holds no level controller";
    }
    if (root->contextOverlay != nullptr) {
        return u"it was saved with an overlay open";
    }
    // The controller holds its layers and lists by plain pointers: each must be what the controller makes,
    // where it puts it, each list its own, or the object in its place could go away (an effect that ends,
    // say) and leave the pointer behind, or what the level puts in a list would be out of the controller's
    // sight (the baskets of a cargo list that another list's pointer stands for).
    const struct {
        const char16_t* name;
        const KivBase* layer;
    } layers[] = {{u"contextBackground", gc->contextBackground},
                  {u"contextGame", gc->contextGame},
                  {u"contextHUD", gc->contextHUD}};
    for (const auto& [name, layer] : layers) {
        if (layer == nullptr) {
            return formatString(u"its controller lacks its %s", name);
        }
        if (layer->getParent() != gc) {
            return formatString(u"its controller's %s is out of its place", name);
        }
    }
    for (const GameController::ListMember* at = std::begin(GameController::LISTS);
         at != std::end(GameController::LISTS); ++at) {
        const KivBase* list = gc->*at->list;
        if (list == nullptr) {
            return formatString(u"its controller lacks its %s", at->name);
        }
        if (list->getClass() != &KivBase::classRecord || list->getParent() != gc->contextGame) {
            return formatString(u"its controller's %s is not a list in its place", at->name);
        }
        for (const GameController::ListMember* before = std::begin(GameController::LISTS); before != at; ++before) {
            if (gc->*before->list == list) {
                return formatString(u"its controller's %s and %s are one list", before->name, at->name);
            }
        }
        // What the level and its objects find in a list is taken as the list's kind (the pig is the first
        // of pigList, the apples that reach the house are appleList's).
        const auto index = static_cast<std::size_t>(at - std::begin(GameController::LISTS));
        for (const KivBase* object = list->getFirstChild(); object != nullptr; object = object->getNext()) {
            if (!GameController::isOfListKind(index, *object)) {
                return formatString(u"its controller's %s holds an object of another kind", at->name);
            }
        }
    }
    if (gc->findHeroOrNull() == nullptr) {
        return u"it holds no pig";
    }
    if (gc->findHouseOrNull() == nullptr) {
        return u"it holds no house";
    }
    return gc->whyTooCrowded();
}

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
