// A peer cannot end the game: every message that cannot be read drops that message and that peer with a
// warning, over real UDP, and the game runs on. Refused and dropped traffic is logged at most once a
// second per address.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "NetTestObjects.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/NetConnection.h"

namespace {

const NetAddress LOCALHOST(0x7F000001u, 0);

void runFrames(const std::vector<NetRole*>& roles, double seconds)
{
    for (double t = 0.0; t < seconds; t += 0.01) {
        for (NetRole* role : roles) {
            role->tick(0.0, 0.01);
        }
        struct timespec pause = {0, 200000};
        nanosleep(&pause, nullptr);
    }
}

void command(Packet& packet, uint8_t which)
{
    packet.doBit(which, 0);
    packet.doBit(which, 1);
}

uint32_t classIndex(const RuntimeClass& runtimeClass)
{
    RuntimeClassManager::getInstance()->buildClassArray();
    return static_cast<uint32_t>(runtimeClass.getIndex());
}

struct BadMessage {
    const char* what;
    std::function<void(Packet&)> write;
};

// Messages that no peer may send. The raw bytes follow the command bits.
std::vector<BadMessage> badMessages(bool toClient)
{
    std::vector<BadMessage> cases = {
        {"truncated", [](Packet& p) { command(p, NetRole::RPCCALL); }},
        {"unknown class id",
         [](Packet& p) {
             command(p, NetRole::RPCCALL);
             uint32_t id = 0x7FFFFF00u;
             p.doVarUInt(id);
         }},
        {"no remote call",
         [](Packet& p) {
             command(p, NetRole::RPCCALL);
             uint32_t id = classIndex(TestThing::classRecord);
             p.doVarUInt(id);
         }},
        {"overlong integer",
         [](Packet& p) {
             command(p, NetRole::RPCCALL);
             uint8_t bytes[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
             p.doBytes(bytes, sizeof bytes);
         }},
        {"unknown object id",
         [](Packet& p) {
             command(p, NetRole::RPCCALL);
             uint32_t id = classIndex(RPC_TestThing_request::classRecord);
             p.doVarUInt(id);
             uint32_t target = 4242;
             p.doVarUInt(target);
         }},
    };
    if (toClient) {
        cases.push_back({"object id 0", [](Packet& p) {
                             command(p, NetRole::COPYOBJ);
                             uint32_t uid = 0;
                             p.doVarUInt(uid);
                         }});
        cases.push_back({"spawned remote call", [](Packet& p) {
                             command(p, NetRole::SPAWNOBJ);
                             uint32_t id = classIndex(RPC_TestThing_request::classRecord);
                             p.doVarUInt(id);
                         }});
    }
    return cases;
}

class PeerInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A fatal error would throw here; none may happen.
        ErrorManager::setThrowForTests(true);
        Logger::setObserver([this](UStringView line) { log.push_back(wideToUtf8(line)); });
        server = std::make_unique<TestServer>();
        server->connection = new NetConnection(LOCALHOST, false);
        server->bOwnsConnection = true;
        buildWorld(*server);
        THEROLE = nullptr;
    }
    void TearDown() override
    {
        Logger::setObserver(nullptr);
        THEROLE = nullptr;
    }

    std::unique_ptr<TestClient> connectClient()
    {
        auto client = std::make_unique<TestClient>();
        client->connection = new NetConnection(LOCALHOST, false);
        client->bOwnsConnection = true;
        client->connectTo(server->connection->getLocalAddress());
        runFrames({server.get(), client.get()}, 0.3);
        EXPECT_EQ(client->getClientState(), NetHost::ClientState::Connected);
        EXPECT_TRUE(client->hasReceivedState());
        return client;
    }

    int countLines(const std::string& part) const
    {
        int n = 0;
        for (const std::string& line : log) {
            n += line.find(part) != std::string::npos ? 1 : 0;
        }
        return n;
    }

    // A good client still gets the world and its calls still arrive: the game runs on.
    void expectTheGameRunsOn()
    {
        auto client = connectClient();
        ASSERT_NE(client->root, nullptr);
        auto* mirror = static_cast<TestThing*>(client->root->getFirstChild());
        THEROLE = client.get();
        RPC_TestThing_request request(mirror, u"still here");
        RPC::send(request);
        THEROLE = nullptr;
        runFrames({server.get(), client.get()}, 0.2);
        EXPECT_EQ(static_cast<TestThing*>(server->root->getFirstChild())->text, u"still here");
    }

    std::unique_ptr<TestServer> server;
    std::vector<std::string> log;
};

} // namespace

TEST_F(PeerInput, OneBadMessageFromAClientDropsThatClientOnly)
{
    for (const BadMessage& bad : badMessages(false)) {
        SCOPED_TRACE(bad.what);
        auto client = connectClient();
        auto bystander = connectClient();
        ASSERT_EQ(server->getPeers().size(), 2u);
        Packet message(Packet::FLAG_COMMANDS);
        bad.write(message);
        client->queueTo(*client->getPeers()[0], message);
        runFrames({server.get(), client.get(), bystander.get()}, 0.3);
        ASSERT_EQ(server->getPeers().size(), 1u);
        EXPECT_EQ(server->getPeers()[0]->getAddress(), bystander->connection->getLocalAddress());
        // The dropped client is told so.
        EXPECT_EQ(client->getClientState(), NetHost::ClientState::Disconnected);
        EXPECT_EQ(countLines("Warning: Peer " + wideToUtf8(client->connection->getLocalAddress().toString()) +
                             " sent a message that cannot be read"),
                  1);
        client.reset();
        bystander.reset();
        runFrames({server.get()}, 0.05);
    }
    expectTheGameRunsOn();
}

TEST_F(PeerInput, OneBadMessageFromTheServerEndsTheClientsSessionNotTheClient)
{
    for (const BadMessage& bad : badMessages(true)) {
        SCOPED_TRACE(bad.what);
        auto client = connectClient();
        const std::size_t objects = client->objectMap.size();
        Packet message(Packet::FLAG_COMMANDS);
        bad.write(message);
        server->queueTo(*server->getPeers()[0], message);
        runFrames({server.get(), client.get()}, 0.3);
        EXPECT_EQ(client->getClientState(), NetHost::ClientState::Disconnected);
        EXPECT_TRUE(client->getPeers().empty());
        EXPECT_EQ(client->objectMap.size(), objects); // nothing half-made was left behind
        EXPECT_EQ(countLines("sent a message that cannot be read"), 1);
        // The server hears the goodbye.
        EXPECT_TRUE(server->getPeers().empty());
        log.clear();
    }
    expectTheGameRunsOn();
}

TEST_F(PeerInput, RefusedConnectsAreLoggedOnceASecondPerAddress)
{
    HandshakeDatagram connect{};
    connect.tag = HandshakeDatagram::HANDSHAKE_TAG;
    connect.type = HandshakeDatagram::CONNECT;
    connect.version = 9.0; // another version: refused
    std::memcpy(connect.identity, "TobbleXmasdemo", 14);
    NetDatagram::seal(connect);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&connect);
    const NetAddress flooder(0x0A000001u, 5000);
    const NetAddress other(0x0A000002u, 5000);

    server->service(100.0);
    for (int i = 0; i < 10000; ++i) {
        server->handleDatagram(bytes, sizeof connect, flooder);
    }
    EXPECT_EQ(server->refusedPeers, 10000u);
    EXPECT_EQ(countLines("Refusing 10.0.0.1:5000"), 1);
    server->handleDatagram(bytes, sizeof connect, other);
    EXPECT_EQ(countLines("Refusing 10.0.0.2:5000"), 1);

    // Garbage counts against the same address.
    const uint8_t garbage[40] = {1, 2, 3};
    server->handleDatagram(garbage, sizeof garbage, flooder);
    server->service(100.99);
    server->handleDatagram(bytes, sizeof connect, flooder);
    EXPECT_EQ(countLines("10.0.0.1:5000"), 1);

    server->service(101.0);
    server->handleDatagram(bytes, sizeof connect, flooder);
    EXPECT_EQ(countLines("Refusing 10.0.0.1:5000: another game or version. (10001 more from this address left out.)"),
              1)
        << log.back();
    EXPECT_EQ(server->badDatagrams, 1u);
}
