#pragma once
// Levels built in code and played tick by tick on a game server, without drawing: the level's controller
// is ticked at the physics step with the server as the current role. The game's data come from the
// shared level environment.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelBuilder.h"
#include "game/world/EditorObject.h"
#include "game/world/Pig.h"

class LevelEnvironment;

class WorldTest : public ::testing::Test {
public:
    // A flat level: the starter content, a playing area from -2000 to 2000 with its floor at -400, one
    // apple needed. The pig stands at (-256, 28) and the house at (512, 96).
    static void flatLevel(LevelBuilder& builder);

protected:
    static constexpr double STEP = 1.0 / 60.0;

    void SetUp() override;
    void TearDown() override;

    // A new object of class T at `at`, registered in the builder's level, constructed and in its home list.
    template <class T>
    T* add(LevelBuilder& builder, const V3& at)
    {
        auto* object = new T();
        builder.add(object->getHomeList(), object);
        object->construct();
        object->position = at;
        return object;
    }

    // Loads the builder's level into a fresh game server, as a level manager does, and runs its level
    // set-up; `editing` keeps the set-up from running.
    void load(LevelBuilder& builder, bool editing = false);
    // Puts the level into play (state 4) at once.
    void play();
    // Ticks the level's controller `count` times at STEP.
    void steps(int count);
    GameController& gc();
    Pig& pig();
    // The object of the loaded level with that UID, or null.
    KivBase* find(int32_t uid);
    template <class T>
    T* loaded(const KivBase* original)
    {
        return dynamic_cast<T*>(find(original->objectUID));
    }
    // The loaded level's full state, as a level file holds it.
    std::vector<uint8_t> fullState();

    LevelEnvironment* env = nullptr;
    std::unique_ptr<GameServer> server;
    double clock = 0.0;
};
