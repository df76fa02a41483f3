// Feeds arbitrary bytes to a client role as one message of its server, to a server as a stored level
// stream of the archive, to a server as a level the user saved, and to the level manager as a level the
// user saved (read, checked and set up as the game does); the first byte chooses (bit 0: a stored stream,
// bit 1 with it: the user's, bit 2 with both: through the level manager). A peer's message or a user's
// level that cannot be read must end in a PacketDecodeError (the peer dropped, the saved level refused);
// reaching the fatal path on it is a failure. A damaged stream of the archive ends in the fatal path (a
// FatalError in test mode). None may crash or leak.
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
#include "game/level/ContextLevelManager.h"
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
    if (size == 0) {
        return 0;
    }
    const bool stored = (data[0] & 1) != 0;
    const bool untrusted = !stored || (data[0] & 2) != 0;
    try {
        if (stored && untrusted && (data[0] & 4) != 0) {
            // A level that cannot be played is refused with its reason; the manager then holds none.
            ensureLevelStandIns();
            Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
            stream.setReadData(data + 1, size - 1);
            ContextLevelManager manager(stream);
        } else if (stored) {
            FuzzServer server;
            server.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
            server.bOwnsConnection = true;
            const uint32_t flags = Packet::FLAG_COMMANDS | Packet::FLAG_STORED | (untrusted ? Packet::FLAG_PEER : 0);
            Packet stream(flags, 0);
            stream.setReadData(data + 1, size - 1);
            try {
                server.start(&stream);
            } catch (const PacketDecodeError&) {
                if (!untrusted) {
                    std::fprintf(stderr, "A stream of the archive failed as a peer's message.\n");
                    std::abort();
                }
            }
        } else {
            FuzzClient client;
            client.feed(data + 1, size - 1);
        }
    } catch (const FatalError& error) {
        if (untrusted && !isMissingResource(error)) {
            std::fprintf(stderr, "An untrusted stream reached the fatal path:\n%s\n", error.what());
            std::abort();
        }
    }
    THEROLE = nullptr;
    return 0;
}
