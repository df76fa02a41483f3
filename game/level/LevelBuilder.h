#pragma once
// Builds a level in code: a game server in editing mode whose empty world (MyRootObject::start) holds a
// freshly constructed GameController with its starter content. Objects are added to the controller's
// lists; the level is then written as a stored replication stream, the form of a level file. The server
// is the current network role while the builder lives; the previous role is put back afterwards.
#include <memory>
#include <string>

#include "engine/net/Packet.h"

class GameController;
class GameServer;
class KivBase;
class MyRootObject;
class NetRole;

class LevelBuilder {
public:
    LevelBuilder();
    ~LevelBuilder();
    LevelBuilder(const LevelBuilder&) = delete;
    LevelBuilder& operator=(const LevelBuilder&) = delete;

    GameController& controller();
    MyRootObject& root();
    GameServer& server() { return *levelServer; }

    // Registers a new object with the level's role and appends it to the list on every peer.
    KivBase* add(KivBase* list, KivBase* object);
    // Removes every child of a list (through the role, as the editor would).
    void clear(KivBase* list);

    // The level as a stored stream, ready to be read.
    Packet stream() const;
    // The level file; false when it cannot be written.
    bool save(const std::string& path) const;

private:
    std::unique_ptr<GameServer> levelServer;
    NetRole* previousRole;
};
