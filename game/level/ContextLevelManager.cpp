#include "game/level/ContextLevelManager.h"

#include <chrono>
#include <cstdio>

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/Logger.h"
#include "engine/core/TimeKeeper.h"
#include "engine/files/FileBlock.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetConnection.h"
#include "engine/net/Packet.h"
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
    createServer();
    load(fileName);
}

ContextLevelManager::ContextLevelManager(const UString& fileName)
{
    createServer();
    load(fileName);
}

ContextLevelManager::ContextLevelManager(Packet& stream)
{
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
    bShowPointer = false;
    double version = 0.0;
    std::sscanf("1.25", "%lf", &version);
    server = new GameServer(2, 4, u"TobbleXmasdemo", version, LevelServices::playerName());
    NetAddress address;
    address.setBoth(u"localhost", 0);
    const Kiv* kiv = Kiv::instance();
    server->connection = new NetConnection(address, kiv != nullptr && kiv->bEmulateLocalhost);
    server->bOwnsConnection = true;
    server->bEditing = false;
}

void ContextLevelManager::load(const UString& fileName)
{
    const double start = physicalTime();
    Logger::logFrom(CONSTRUCTOR, u"Loading level: %s", fileName);
    FileBlock file(0, fileName);
    Packet stream(5, static_cast<int>(file.size()));
    stream.doBytes(const_cast<std::uint8_t*>(file.data()), file.size());
    stream.rewindToRead();
    server->start(&stream);
    Logger::logFrom(CONSTRUCTOR, u"Level loaded in %.3lfs.", physicalTime() - start);
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
        server->tick(time, dt);
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
    Context::tickContents(time, dt);
}

void ContextLevelManager::renderContents()
{
    if (server != nullptr) {
        server->render();
    }
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
