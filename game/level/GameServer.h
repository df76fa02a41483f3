#pragma once
// The game's server role: its root object is the level's MyRootObject, and it draws the network debug
// overlay over the level.
#include "engine/net/Server.h"

class GameServer : public Server {
public:
    // Replication every 0.05 s.
    GameServer(int32_t mode, int32_t maxPeers, const UString& identity, double version, const UString& secondIdentity);
    ~GameServer() override;

    void render() override;

protected:
    RootObject* createRootObject() override;
};
