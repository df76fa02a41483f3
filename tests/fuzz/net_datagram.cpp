// Feeds arbitrary datagrams to a server host: first as they are (the CRC check must drop them), then
// with a correct CRC and the sender word of a connected peer, so that the fragment checks and the message
// reassembly see them. Nothing may crash; a bad datagram is dropped and counted.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/net/NetConnection.h"
#include "engine/net/NetDatagram.h"
#include "engine/net/NetHost.h"

namespace {
// A host that keeps the messages it is given instead of running them.
class FuzzHost : public NetHost {
public:
    FuzzHost() : NetHost(2, true, u"TobbleXmasdemo", 1.25, u"fuzz") { maxPeers = 4; }
    std::size_t delivered = 0;

protected:
    void onMessage(Node&, const std::uint8_t*, std::size_t size) override { delivered += size; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    FuzzHost host;
    const NetAddress peerAddress(0x7F000001u, 40000);
    // A peer connects properly first.
    HandshakeDatagram connect{};
    connect.tag = HandshakeDatagram::HANDSHAKE_TAG;
    connect.type = HandshakeDatagram::CONNECT;
    connect.version = 1.25;
    std::memcpy(connect.identity, "TobbleXmasdemo", 14);
    NetDatagram::seal(connect);
    host.handleDatagram(reinterpret_cast<const std::uint8_t*>(&connect), sizeof(connect), peerAddress);
    const std::uint32_t peerWord = host.getPeers().empty() ? 0 : host.getPeers()[0]->getPeerWord();

    // The input is a list of datagrams, each preceded by a two-byte length.
    std::size_t at = 0;
    while (at + 2 <= size) {
        std::size_t length = data[at] | (data[at + 1] << 8);
        at += 2;
        length = std::min(length, size - at);
        std::vector<std::uint8_t> datagram(data + at, data + at + length);
        at += length;
        host.handleDatagram(datagram.data(), datagram.size(), peerAddress);
        if (datagram.size() >= sizeof(DataDatagramHeader)) {
            std::memcpy(datagram.data(), &peerWord, 4);
            NetDatagram::seal(datagram.data(), datagram.size());
            host.handleDatagram(datagram.data(), datagram.size(), peerAddress);
        }
    }
    return 0;
}
