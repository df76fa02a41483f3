// Feeds arbitrary bytes to a server as a stored stream of world objects (a damaged level file), then ticks
// what arrived. Values the objects cannot use are clamped with a warning when they arrive; a stream that
// cannot be read ends in the fatal path (a FatalError in test mode). Neither may crash or leak.
#include <cstddef>
#include <cstdint>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/RootObject.h"
#include "engine/net/Server.h"

namespace {
class FuzzServer : public Server {
public:
    FuzzServer() : Server(2, 4, u"TobbleXmasdemo", 1.25, u"fuzz", 0.05) {}

protected:
    RootObject* createRootObject() override { return new RootObject(); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    Logger::setObserver([](UStringView) {});
    {
        FuzzServer server;
        server.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
        server.bOwnsConnection = true;
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, 0);
        stream.setReadData(data, size);
        try {
            server.start(&stream);
            THEROLE = &server;
            if (server.root != nullptr) {
                for (int i = 0; i < 3; ++i) {
                    server.root->tick(i / 60.0, 1.0 / 60.0);
                }
            }
        } catch (const FatalError&) {
        }
        THEROLE = &server;
    }
    THEROLE = nullptr;
    return 0;
}
