#include "WorldFixture.h"

#include "LevelFixture.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/KivRandom.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "game/level/MyRootObject.h"

void WorldTest::SetUp()
{
    env = &LevelEnvironment::get();
    ErrorManager::setThrowForTests(true);
    KivRandom::setSeed(12345);
}

void WorldTest::TearDown()
{
    if (server != nullptr) {
        THEROLE = server.get();
        server.reset();
    }
    THEROLE = nullptr;
}

void WorldTest::load(LevelBuilder& builder, bool editing)
{
    Packet stream = builder.stream();
    if (server != nullptr) {
        THEROLE = server.get();
        server.reset();
    }
    server = std::make_unique<GameServer>(2, 4, u"TobbleXmasdemo", 1.25, u"");
    server->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server->bOwnsConnection = true;
    server->bEditing = editing;
    server->start(&stream);
    // The loaded level stays the current role, so its objects can be asked about the level.
    THEROLE = server.get();
    clock = 0.0;
}

GameController& WorldTest::gc() { return *static_cast<MyRootObject*>(server->root)->gameController; }

Pig& WorldTest::pig() { return *static_cast<Pig*>(gc().findHero()); }

KivBase* WorldTest::find(int32_t uid) { return server->findObjectOrNull(uid); }

void WorldTest::play()
{
    THEROLE = server.get();
    gc().gotoState(GameController::STATE_PLAYING, 0.0);
}

void WorldTest::steps(int count)
{
    THEROLE = server.get();
    for (int i = 0; i < count; ++i) {
        clock += STEP;
        gc().tickEntry(clock, STEP);
    }
}

std::vector<uint8_t> WorldTest::fullState()
{
    Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    THEROLE = server.get();
    server->writeFullState(packet);
    return std::vector<uint8_t>(packet.data(), packet.data() + packet.size());
}

void WorldTest::flatLevel(LevelBuilder& builder)
{
    GameController& level = builder.controller();
    level.playingArea.left = -2000.0f;
    level.playingArea.right = 2000.0f;
    level.playingArea.top = 2000.0f;
    level.playingArea.bottom = -400.0f;
    level.applesNeeded = 1;
}
