// Writes the seed of the world stream fuzz target: the stored values of one object of every world class.
// A test only when WORLD_FUZZ_SEED names the file to write:
//   WORLD_FUZZ_SEED=seed.bin test_world --gtest_filter=WorldFuzzSeed.WritesTheValuesOfEveryWorldClass
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "engine/core/ErrorManager.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/RootObject.h"
#include "engine/net/Server.h"
#include "game/world/A99Object.h"
#include "support/ChildTest.h"

namespace {
class SeedServer : public Server {
public:
    SeedServer() : Server(2, 4, u"TobbleXmasdemo", 1.25, u"seed", 0.05) {}

protected:
    RootObject* createRootObject() override { return new RootObject(); }
};

class WorldFuzzSeed : public ::testing::Test {
    void TestBody() override;
};
[[maybe_unused]] const bool seedRegistered =
    ChildTest::registerWhenSet<WorldFuzzSeed>("WORLD_FUZZ_SEED", "WorldFuzzSeed", "WritesTheValuesOfEveryWorldClass");
} // namespace

void WorldFuzzSeed::TestBody()
{
    const char* out = std::getenv("WORLD_FUZZ_SEED");
    ErrorManager::setThrowForTests(true);
    SeedServer server;
    server.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server.bOwnsConnection = true;
    server.start(nullptr);
    THEROLE = &server;
    // The values of one object of every world class, in class order, as the fuzz target reads them.
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    for (const RuntimeClass* c : RuntimeClassManager::getInstance()->getClasses()) {
        if (!c->isDerivedFrom(&EditorObject::classRecord) || !c->hasFactory()) {
            continue;
        }
        KivBase* object = c->create();
        server.registerObject(object, 0);
        server.root->addChild(object);
        if (auto* a = dynamic_cast<A99Object*>(object)) {
            a->position = V3{static_cast<float>(a->objectUID), 10.0f, 0.0f};
        }
        object->netSerializeData(stream);
    }
    std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(stream.data()),
                                               static_cast<std::streamsize>(stream.size()));
    THEROLE = nullptr;
}
