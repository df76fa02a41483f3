#include "game/level/GameServer.h"

#include "game/level/LevelServices.h"
#include "game/level/MyRootObject.h"

namespace {
int gChecking = 0; // CheckScopes alive
} // namespace

GameServer::GameServer(int32_t mode, int32_t maxPeers, const UString& identity, double version,
                       const UString& secondIdentity)
    : Server(mode, maxPeers, identity, version, secondIdentity, 0.05)
{
}

GameServer::~GameServer() = default;

void GameServer::render()
{
    NetRole::render();
    if (root != nullptr) {
        drawDebugOverlay(V3(-390.0f, 280.0f, 0.0f), LevelServices::font(u"fontTiny"));
    }
}

void GameServer::runLevelStart()
{
    Scope untrusted(*this, bReadingUntrusted, bReadingUntrusted || bLevelFromOutside);
    postReplicateGlobalAll();
}

RootObject* GameServer::createRootObject() { return new MyRootObject(); }

GameServer::CheckScope::CheckScope() { ++gChecking; }

GameServer::CheckScope::~CheckScope() { --gChecking; }

bool GameServer::isChecking() { return gChecking > 0; }
