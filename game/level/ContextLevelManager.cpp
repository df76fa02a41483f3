#include "game/level/ContextLevelManager.h"

#include "game/level/ContextHUD.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/Logger.h"
#include "engine/core/TimeKeeper.h"
#include "engine/files/FileBlock.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetConnection.h"
#include "engine/net/Packet.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelServices.h"
#include "game/level/MyRootObject.h"
#include "game/userdata/ProfileData.h"

namespace {
const char* const CONSTRUCTOR = "ContextLevelManager::ContextLevelManager";

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

ContextLevelManager::~ContextLevelManager()
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.empty()) {
        Logger::logFrom(CONSTRUCTOR, u"Could not read the edited level %s; the archive's is used.",
                        toUString(path.c_str()));
        return false;
    }
    const double start = physicalTime();
    Logger::logFrom(CONSTRUCTOR, u"Loading level: %s", toUString(path.c_str()));
    Packet stream(5, static_cast<int>(bytes.size()));
    stream.doBytes(const_cast<std::uint8_t*>(bytes.data()), bytes.size());
    stream.rewindToRead();
    server->start(&stream);
    Logger::logFrom(CONSTRUCTOR, u"Level loaded in %.3lfs.", physicalTime() - start);
    return true;
}

void ContextLevelManager::replay(Packet& stream)
{
    const double start = physicalTime();
    Logger::logFrom(CONSTRUCTOR, u"Loading level: %s", u"(memory)");
    server->start(&stream);
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
