#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "NetTestObjects.h"
#include "engine/core/ErrorManager.h"
#include "engine/net/NetConnection.h"

namespace {

const NetAddress LOCALHOST(0x7F000001u, 0);

template <class Role>
void connect(Role& role, bool emulated)
{
    role.connection = new NetConnection(LOCALHOST, emulated);
    role.bOwnsConnection = true;
}

// Ticks every role with frames of 10 ms for the given time, plus whatever `each` does per frame.
template <class Each>
void run(const std::vector<NetRole*>& roles, double seconds, Each each)
{
    for (double t = 0.0; t < seconds; t += 0.01) {
        for (NetRole* role : roles) {
            role->tick(0.0, 0.01);
        }
        each();
        if (!roles.empty() && dynamic_cast<NetConnection*>(roles[0]->connection) != nullptr &&
            !roles[0]->connection->isEmulated()) {
            struct timespec pause = {0, 200000};
            nanosleep(&pause, nullptr);
        }
    }
}

void run(const std::vector<NetRole*>& roles, double seconds)
{
    run(roles, seconds, [] {});
}

TestThing* firstThing(NetRole& role) { return static_cast<TestThing*>(role.root->getFirstChild()); }

// A link between a client and the server that drops, duplicates and reorders datagrams both ways.
class LossyLink {
public:
    LossyLink(const NetAddress& server)
        : server(server), clientSide(LOCALHOST, true), serverSide(LOCALHOST, true), random(99)
    {
    }
    const NetAddress& address() const { return clientSide.getLocalAddress(); }

    void pump()
    {
        uint8_t buffer[2048];
        NetAddress from;
        for (long n; (n = clientSide.receive(buffer, sizeof(buffer), from)) >= 0;) {
            client = from;
            toServer.emplace_back(buffer, buffer + n);
        }
        for (long n; (n = serverSide.receive(buffer, sizeof(buffer), from)) >= 0;) {
            toClient.emplace_back(buffer, buffer + n);
        }
        forward(toServer, serverSide, server);
        forward(toClient, clientSide, client);
    }

    int dropped = 0;
    int doubled = 0;

private:
    void forward(std::vector<std::vector<uint8_t>>& queue, NetConnection& via, const NetAddress& to)
    {
        std::shuffle(queue.begin(), queue.end(), random);
        std::vector<std::vector<uint8_t>> held;
        for (auto& d : queue) {
            const unsigned roll = random() % 100;
            if (roll < 25) {
                ++dropped;
            } else if (roll < 35) {
                ++doubled;
                via.send(d.data(), d.size(), to);
                via.send(d.data(), d.size(), to);
            } else if (roll < 50) {
                held.push_back(std::move(d)); // late: goes out with the next frame's datagrams
            } else {
                via.send(d.data(), d.size(), to);
            }
        }
        queue = std::move(held);
    }

    NetAddress server;
    NetAddress client;
    NetConnection clientSide;
    NetConnection serverSide;
    std::mt19937 random;
    std::vector<std::vector<uint8_t>> toServer;
    std::vector<std::vector<uint8_t>> toClient;
};

class Session : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { ErrorManager::setThrowForTests(true); }
    void TearDown() override { THEROLE = nullptr; }
    bool emulated() const { return GetParam(); }
};

} // namespace

// Connect, full state, spawns and calls both ways, disconnect: over the emulated link and real UDP.
TEST_P(Session, ClientTakesTheFullStateAndCallsTravelBothWays)
{
    KivNetwork network; // its recorder keeps what the hosts send and receive
    auto server = std::make_unique<TestServer>();
    connect(*server, emulated());
    buildWorld(*server);
    auto client = std::make_unique<TestClient>();
    connect(*client, emulated());
    client->connectTo(server->connection->getLocalAddress());
    run({server.get(), client.get()}, 0.5);
    EXPECT_GT(network.recorder.getRecordCount(), 20u);

    ASSERT_EQ(client->getClientState(), NetHost::ClientState::Connected);
    ASSERT_TRUE(client->hasReceivedState());
    EXPECT_EQ(static_cast<TestRoot*>(server->root)->peersConnected, 1);
    EXPECT_EQ(server->getPeers().size(), 1u);
    EXPECT_EQ(client->hostWord, server->getPeers()[0]->getPeerWord()); // the player id the server gave
    ASSERT_NE(client->root, nullptr);
    EXPECT_EQ(client->getObjectsInTreeOrder().size(), server->getObjectsInTreeOrder().size());
    EXPECT_EQ(client->nextObjectUID, server->nextObjectUID);
    TestThing* mirror = firstThing(*client);
    EXPECT_EQ(mirror->text, firstThing(*server)->text);
    EXPECT_EQ(mirror->postReplicateGlobalCount, 1);

    // Server to clients: a spawn placed by the replicated add-child, and a call.
    THEROLE = server.get();
    auto* spawned = new TestThing();
    server->registerObject(spawned, 0);
    firstThing(*server)->netAddChild(spawned);
    RPC_TestThing_setNumber call(spawned, 77, 0.35f);
    RPC::send(call);
    THEROLE = nullptr;
    run({server.get(), client.get()}, 0.3);
    auto* spawnedMirror = dynamic_cast<TestThing*>(client->findObjectOrNull(spawned->objectUID));
    ASSERT_NE(spawnedMirror, nullptr);
    EXPECT_EQ(spawnedMirror->getParent(), mirror);
    EXPECT_EQ(spawnedMirror->number, 77);

    // Client to server: a call a client may make.
    THEROLE = client.get();
    RPC_TestThing_request request(mirror, u"from the client");
    RPC::send(request);
    THEROLE = nullptr;
    run({server.get(), client.get()}, 0.3);
    EXPECT_EQ(firstThing(*server)->text, u"from the client");

    // The debug overlay's text: the peer with its round trip and queues, and the calls sent per class.
    const UString serverText = server->getDebugText();
    EXPECT_NE(serverText.find(u"SERVER role"), UString::npos);
    EXPECT_NE(serverText.find(u"peer " + client->connection->getLocalAddress().toString() + u": rtt "), UString::npos);
    EXPECT_NE(serverText.find(u"RPC_TestThing_setNumber: 1\n"), UString::npos);
    EXPECT_NE(client->getDebugText().find(u"RPC_TestThing_request: 1\n"), UString::npos);

    client.reset();
    run({server.get()}, 0.2);
    EXPECT_TRUE(server->getPeers().empty());
    EXPECT_EQ(static_cast<TestRoot*>(server->root)->peersDisconnected, 1);
}

TEST_P(Session, FullServerRefusesAndSilentPeersTimeOut)
{
    auto server = std::make_unique<TestServer>(1);
    connect(*server, emulated());
    buildWorld(*server);
    auto first = std::make_unique<TestClient>();
    connect(*first, emulated());
    first->connectTo(server->connection->getLocalAddress());
    run({server.get(), first.get()}, 0.3);
    ASSERT_EQ(first->getClientState(), NetHost::ClientState::Connected);

    auto second = std::make_unique<TestClient>();
    connect(*second, emulated());
    second->connectTo(server->connection->getLocalAddress());
    run({server.get(), first.get(), second.get()}, 0.3);
    EXPECT_EQ(second->getClientState(), NetHost::ClientState::Refused);
    EXPECT_EQ(second->getRefuseReason(), HandshakeDatagram::SERVER_FULL);
    EXPECT_EQ(server->refusedPeers, 1u);
    EXPECT_EQ(second->root, nullptr);

    // The first client stops answering: after 5 s of silence the server lets it go; the client, ticking
    // again, sees the server fall silent for 5 s on its own clock.
    run({server.get()}, 4.8);
    EXPECT_EQ(server->getPeers().size(), 1u);
    run({server.get()}, 0.4);
    EXPECT_TRUE(server->getPeers().empty());
    run({first.get()}, 4.9);
    EXPECT_EQ(first->getClientState(), NetHost::ClientState::Connected);
    run({first.get()}, 0.3);
    EXPECT_EQ(first->getClientState(), NetHost::ClientState::TimedOut);

    // Nobody listens at this address: the handshake gives up after 5 s.
    auto lonely = std::make_unique<TestClient>();
    connect(*lonely, emulated());
    lonely->connectTo(first->connection->getLocalAddress());
    run({lonely.get()}, 5.2);
    EXPECT_EQ(lonely->getClientState(), NetHost::ClientState::TimedOut);
}

INSTANTIATE_TEST_SUITE_P(Link, Session, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Emulated" : "Udp"; });

TEST(SessionLossy, DroppedDuplicatedAndReorderedDatagramsLoseNoCommand)
{
    ErrorManager::setThrowForTests(true);
    auto server = std::make_unique<TestServer>();
    connect(*server, true);
    buildWorld(*server);
    LossyLink link(server->connection->getLocalAddress());
    auto client = std::make_unique<TestClient>();
    connect(*client, true);
    client->connectTo(link.address());
    run({server.get(), client.get()}, 2.0, [&] { link.pump(); });
    ASSERT_EQ(client->getClientState(), NetHost::ClientState::Connected);
    ASSERT_TRUE(client->hasReceivedState());

    // Two hundred numbered calls, several per step, and a spawn now and then.
    TestThing* target = firstThing(*server);
    std::vector<int32_t> spawnedUids;
    int sent = 0;
    run({server.get(), client.get()}, 4.0, [&] {
        if (sent < 200) {
            THEROLE = server.get();
            RPC_TestThing_setNumber call(target, ++sent, 0.0f);
            RPC::send(call);
            if (sent % 20 == 0) {
                auto* t = new TestThing();
                server->registerObject(t, 0);
                target->netAddChild(t);
                spawnedUids.push_back(t->objectUID);
            }
            THEROLE = nullptr;
        }
        link.pump();
    });
    EXPECT_GT(link.dropped, 0);
    EXPECT_GT(link.doubled, 0);
    TestThing* mirror = firstThing(*client);
    EXPECT_EQ(mirror->number, 200);
    for (int32_t uid : spawnedUids) {
        KivBase* o = client->findObjectOrNull(uid);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->getParent(), mirror);
    }
    EXPECT_EQ(client->getObjectsInTreeOrder().size(), server->getObjectsInTreeOrder().size());
    THEROLE = nullptr;
}

TEST(SessionLossy, BadDatagramsAreDroppedAndCounted)
{
    ErrorManager::setThrowForTests(true);
    auto server = std::make_unique<TestServer>();
    connect(*server, true);
    buildWorld(*server);
    NetConnection stranger(LOCALHOST, true);
    const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                            25, 26, 27, 28, 29};
    stranger.send(junk, sizeof(junk), server->connection->getLocalAddress());
    stranger.send(junk, 3, server->connection->getLocalAddress());
    // A well-formed data datagram from someone who never connected.
    Node fake(server->connection->getLocalAddress(), 0, 0.0);
    fake.buildDatagrams(5, 0.0, [&](const uint8_t* bytes, std::size_t n) {
        stranger.send(bytes, n, server->connection->getLocalAddress());
    });
    run({server.get()}, 0.1);
    EXPECT_EQ(server->badDatagrams, 2u);
    EXPECT_EQ(server->unknownPeerDatagrams, 1u);
}
