// Feeds arbitrary bytes to a client role as one message of its server, and to a server as a stored level
// stream. A peer's message that cannot be read must drop the message and the peer; reaching the fatal path
// on it is a failure. A damaged stored stream ends in the fatal path (a FatalError in test mode). Neither
// may crash or leak.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/core/ErrorManager.h"
#include "engine/net/Client.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/RootObject.h"
#include "engine/net/Server.h"
#include "tests/fuzz/MissingResources.h"

namespace {
class FuzzServer : public Server {
public:
    FuzzServer() : Server(2, 4, u"TobbleXmasdemo", 1.25, u"fuzz", 0.05) {}

protected:
    RootObject* createRootObject() override { return new RootObject(); }
};

class FuzzClient : public Client {
public:
    FuzzClient() : Client(2, u"TobbleXmasdemo", 1.25, u"fuzz", 0.05) {}
    void feed(const std::uint8_t* data, std::size_t size)
    {
        UString why;
        processPeerMessage(data, size, why);
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    ensureEmptyResourceManager();
    if (size > 0 && (data[0] & 1) != 0) {
        FuzzServer server;
        server.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
        server.bOwnsConnection = true;
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, 0);
        stream.setReadData(data + 1, size - 1);
        try {
            server.start(&stream);
        } catch (const FatalError&) {
        }
    } else {
        FuzzClient client;
        try {
            client.feed(data, size);
        } catch (const FatalError& error) {
            if (!isMissingResource(error)) {
                std::fprintf(stderr, "A peer's message reached the fatal path:\n%s\n", error.what());
                std::abort();
            }
        }
    }
    THEROLE = nullptr;
    return 0;
}
