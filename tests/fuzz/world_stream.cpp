// Feeds arbitrary bytes to one object of every world class as the stored values of a level file, the way
// a level's copy commands reach them, then ticks what arrived. Values the objects cannot use are clamped
// with a warning when they arrive; values that cannot be read end in the fatal path (a FatalError in test
// mode). Neither may crash or leak.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/RootObject.h"
#include "engine/net/Server.h"
#include "game/world/EditorObject.h"

namespace {
class FuzzServer : public Server {
public:
    FuzzServer() : Server(2, 4, u"TobbleXmasdemo", 1.25, u"fuzz", 0.05) {}

protected:
    RootObject* createRootObject() override { return new RootObject(); }
};

// The world classes: the editable object classes with a factory.
std::vector<const RuntimeClass*> worldClasses()
{
    std::vector<const RuntimeClass*> out;
    for (const RuntimeClass* c : RuntimeClassManager::getInstance()->getClasses()) {
        if (c->isDerivedFrom(&EditorObject::classRecord) && c->hasFactory()) {
            out.push_back(c);
        }
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<const RuntimeClass*> classes = worldClasses();
    ErrorManager::setThrowForTests(true);
    Logger::setObserver([](UStringView) {});
    {
        FuzzServer server;
        server.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
        server.bOwnsConnection = true;
        server.start(nullptr);
        THEROLE = &server;
        std::vector<KivBase*> objects;
        for (const RuntimeClass* c : classes) {
            KivBase* object = c->create();
            server.registerObject(object, 0);
            server.root->addChild(object);
            objects.push_back(object);
        }
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, 0);
        stream.setReadData(data, size);
        try {
            // Each object reads its values in turn from the bytes, then checks them.
            for (KivBase* object : objects) {
                if (stream.remainingToRead() == 0) {
                    break;
                }
                // The UID belongs to the role's map, whatever the bytes say (as a copy command keeps it).
                const int32_t uid = object->objectUID;
                try {
                    object->netSerializeData(stream);
                } catch (...) {
                    object->objectUID = uid;
                    throw;
                }
                const bool sameUid = object->objectUID == uid;
                object->objectUID = uid;
                if (!sameUid) {
                    break;
                }
                object->netPostReplicate();
            }
            for (int i = 0; i < 3; ++i) {
                server.root->tick(i / 60.0, 1.0 / 60.0);
            }
        } catch (const FatalError&) {
        }
        THEROLE = &server;
    }
    THEROLE = nullptr;
    Logger::setObserver(nullptr);
    return 0;
}
