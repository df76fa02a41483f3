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
    // The level-start set-up of every object (netPostReplicateGlobal), for a level loaded for editing
    // when its play test begins.
    void runLevelStart() { postReplicateGlobalAll(); }

protected:
    RootObject* createRootObject() override;
};
