// Feeds arbitrary datagrams to a server or a client role (the first byte chooses): first as they are (the
// CRC check must drop them), then with a correct CRC and the sender word of the connected peer, so that
// the fragment checks, the message reassembly and the command processor see them. Nothing may crash, and
// nothing a peer sends may reach the fatal path: a bad datagram is dropped and counted, a message that
// cannot be read drops the peer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/net/Client.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/NetDatagram.h"
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
};

HandshakeDatagram handshake(std::uint8_t type, std::uint32_t senderWord, std::uint32_t peerWord)
{
    HandshakeDatagram h{};
    h.tag = HandshakeDatagram::HANDSHAKE_TAG;
    h.type = type;
    h.senderWord = senderWord;
    h.peerWord = peerWord;
    h.version = 1.25;
    std::memcpy(h.identity, "TobbleXmasdemo", 14);
    NetDatagram::seal(h);
    return h;
}

// The role with a peer at `peerAddress`; returns the word that peer signs its datagrams with.
std::uint32_t connectPeer(NetRole& role, bool server, const NetAddress& peerAddress)
{
    if (server) {
        const HandshakeDatagram connect = handshake(HandshakeDatagram::CONNECT, 0, 0);
        role.handleDatagram(reinterpret_cast<const std::uint8_t*>(&connect), sizeof(connect), peerAddress);
        return role.getPeers().empty() ? 0 : role.getPeers()[0]->getPeerWord();
    }
    role.connectTo(peerAddress);
    const std::uint32_t serverWord = 0x12345678u;
    const HandshakeDatagram accept = handshake(HandshakeDatagram::ACCEPT, serverWord, 0x0BADF00Du);
    role.handleDatagram(reinterpret_cast<const std::uint8_t*>(&accept), sizeof(accept), peerAddress);
    return serverWord;
}

void run(NetRole& role, bool server, const std::uint8_t* data, std::size_t size)
{
    role.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    role.bOwnsConnection = true;
    if (server) {
        static_cast<Server&>(role).start(nullptr);
    }
    const NetAddress peerAddress(0x7F000001u, 40000);
    const std::uint32_t peerWord = connectPeer(role, server, peerAddress);

    // The input is a list of datagrams, each preceded by a two-byte length.
    std::size_t at = 0;
    while (at + 2 <= size) {
        std::size_t length = data[at] | (data[at + 1] << 8);
        at += 2;
        length = std::min(length, size - at);
        std::vector<std::uint8_t> datagram(data + at, data + at + length);
        at += length;
        role.handleDatagram(datagram.data(), datagram.size(), peerAddress);
        if (datagram.size() >= sizeof(DataDatagramHeader)) {
            std::memcpy(datagram.data(), &peerWord, 4);
            NetDatagram::seal(datagram.data(), datagram.size());
            role.handleDatagram(datagram.data(), datagram.size(), peerAddress);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    ensureEmptyResourceManager();
    if (size == 0) {
        return 0;
    }
    const bool server = (data[0] & 1) != 0;
    try {
        if (server) {
            FuzzServer role;
            run(role, true, data + 1, size - 1);
        } else {
            FuzzClient role;
            run(role, false, data + 1, size - 1);
        }
    } catch (const FatalError& error) {
        if (!isMissingResource(error)) {
            std::fprintf(stderr, "A datagram reached the fatal path:\n%s\n", error.what());
            std::abort();
        }
    }
    THEROLE = nullptr;
    return 0;
}
