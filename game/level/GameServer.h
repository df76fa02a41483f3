#pragma once
// The game's server role: its root object is the level's MyRootObject, and it draws the network debug
// overlay over the level.
#include "engine/net/Server.h"

class EditorSession;

class GameServer : public Server {
public:
    // Replication every 0.05 s.
    GameServer(int32_t mode, int32_t maxPeers, const UString& identity, double version, const UString& secondIdentity);
    ~GameServer() override;

    void render() override;
    // The level-start set-up of every object (netPostReplicateGlobal), for a level loaded for editing
    // when its play test begins. A level read from outside is set up as its start would have set it up:
    // untrusted, so that what the set-up cannot take ends in a PacketDecodeError, not the fatal path.
    void runLevelStart();

    // The level was read from a stream from outside (a level the user saved).
    bool bLevelFromOutside = false;
    // The editor's session of a level loaded for editing ("-editor"; not owned), else null. Such a level is
    // played only in play tests, whose runs are booked nowhere.
    EditorSession* editSession = nullptr;

    // While one lives, the levels made and deleted are read only to be checked: their end stops none of
    // the sounds, which belong to the level playing.
    class CheckScope {
    public:
        CheckScope();
        ~CheckScope();
        CheckScope(const CheckScope&) = delete;
        CheckScope& operator=(const CheckScope&) = delete;
    };
    static bool isChecking();

protected:
    RootObject* createRootObject() override;
};
