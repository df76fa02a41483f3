#include "game/level/LevelBuilder.h"

#include "engine/core/ErrorManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetConnection.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"

LevelBuilder::LevelBuilder() : previousRole(THEROLE)
{
    levelServer = std::make_unique<GameServer>(2, 4, u"TobbleXmasdemo", 1.25, u"");
    levelServer->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    levelServer->bOwnsConnection = true;
    levelServer->bEditing = true;
    levelServer->start(nullptr);
}

LevelBuilder::~LevelBuilder()
{
    THEROLE = levelServer.get();
    levelServer.reset();
    THEROLE = previousRole;
}

MyRootObject& LevelBuilder::root() { return *static_cast<MyRootObject*>(levelServer->root); }

GameController& LevelBuilder::controller() { return *root().gameController; }

KivBase* LevelBuilder::add(KivBase* list, KivBase* object)
{
    THEROLE = levelServer.get();
    levelServer->registerObject(object, 0);
    list->netAddChild(object);
    return object;
}

void LevelBuilder::clear(KivBase* list)
{
    THEROLE = levelServer.get();
    while (KivBase* child = list->getLastChild()) {
        child->destroy();
    }
}

Packet LevelBuilder::stream() const
{
    Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    levelServer->writeFullState(packet);
    packet.rewindToRead();
    return packet;
}

bool LevelBuilder::save(const std::string& path) const { return levelServer->saveLevelFile(path); }
