#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "NetTestObjects.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/net/KivBaseCalls.h"
#include "engine/net/NestedCallScope.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/NetConnection.h"
#include "game/level/GameController.h"
#include "game/level/GameControllerCalls.h"
#include "game/overlays/OverlayPause.h"
#include "game/world/A99Object.h"
#include "game/world/Hull.h"
#include "support/ObjectChain.h"
#include "support/TempDir.h"

namespace {

const NetAddress LOCALHOST(0x7F000001u, 0);

std::unique_ptr<TestServer> makeServer(int maxPeers = 4)
{
    auto server = std::make_unique<TestServer>(maxPeers);
    server->connection = new NetConnection(LOCALHOST, true);
    server->bOwnsConnection = true;
    return server;
}

Packet fullState(const NetRole& role)
{
    Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    role.writeFullState(packet);
    packet.rewindToRead();
    return packet;
}

int32_t uidOf(const KivBase* o) { return o != nullptr ? o->objectUID : 0; }

// The two roles hold the same objects in the same tree order with the same values.
void expectSameWorld(const NetRole& a, const NetRole& b)
{
    const auto left = a.getObjectsInTreeOrder();
    const auto right = b.getObjectsInTreeOrder();
    ASSERT_EQ(left.size(), right.size());
    EXPECT_EQ(a.nextObjectUID, b.nextObjectUID);
    ASSERT_NE(b.root, nullptr);
    EXPECT_EQ(b.root->getParent(), &b);
    for (std::size_t i = 0; i < left.size(); ++i) {
        const KivBase* x = left[i];
        const KivBase* y = right[i];
        EXPECT_EQ(x->getClass(), y->getClass());
        EXPECT_EQ(x->objectUID, y->objectUID);
        EXPECT_EQ(uidOf(x->getParent()), uidOf(y->getParent())) << "object " << x->objectUID;
        EXPECT_EQ(x->state, y->state);
        if (x->getClass() != &TestThing::classRecord) {
            continue;
        }
        const auto* p = static_cast<const TestThing*>(x);
        const auto* q = static_cast<const TestThing*>(y);
        EXPECT_EQ(p->flag, q->flag);
        EXPECT_EQ(p->number, q->number);
        EXPECT_EQ(p->word, q->word);
        EXPECT_EQ(p->f, q->f);
        EXPECT_EQ(p->d, q->d);
        EXPECT_EQ(p->colour, q->colour);
        EXPECT_EQ(p->text, q->text);
        EXPECT_EQ(uidOf(p->other), uidOf(q->other));
        EXPECT_EQ(uidOf(p->ref.get()), uidOf(q->ref.get()));
        EXPECT_EQ(p->mode, q->mode);
        EXPECT_EQ(p->values, q->values);
        EXPECT_EQ(p->part.weight, q->part.weight);
        EXPECT_EQ(p->bitA, q->bitA);
        EXPECT_EQ(p->bitB, q->bitB);
    }
}

class Replication : public ::testing::Test {
protected:
    void SetUp() override { ErrorManager::setThrowForTests(true); }
    void TearDown() override { THEROLE = nullptr; }
};

} // namespace

TEST_F(Replication, StoredStreamReplayRebuildsTheSameTreeUidsAndValues)
{
    auto source = makeServer();
    buildWorld(*source);
    EXPECT_EQ(static_cast<TestRoot*>(source->root)->startCount, 1);
    Packet stream = fullState(*source);

    auto* before = reinterpret_cast<NetRole*>(0x1234);
    auto copy = makeServer();
    THEROLE = before;
    copy->start(&stream);
    EXPECT_EQ(THEROLE, before); // the previous role is put back
    THEROLE = nullptr;
    expectSameWorld(*source, *copy);
    EXPECT_TRUE(copy->bAllowNewObjectRegistations);
    // A stored level does not run the empty-world hook; every object got both post-replicate runs once.
    EXPECT_EQ(static_cast<TestRoot*>(copy->root)->startCount, 0);
    for (KivBase* o : copy->getObjectsInTreeOrder()) {
        if (auto* t = dynamic_cast<TestThing*>(o)) {
            EXPECT_EQ(t->postReplicateCount, 1);
            EXPECT_EQ(t->postReplicateGlobalCount, 1);
            EXPECT_FALSE(t->registrationsAllowedInPostReplicate);
        }
    }
    // A replayed world writes the same stream again.
    Packet again = fullState(*copy);
    EXPECT_EQ(std::vector<uint8_t>(again.data(), again.data() + again.size()),
              std::vector<uint8_t>(stream.data(), stream.data() + stream.size()));
}

TEST_F(Replication, LevelFileIsTheFullStateStream)
{
    TempDir dir;
    auto source = makeServer();
    buildWorld(*source);
    ASSERT_TRUE(source->saveLevelFile(dir.file("x.lev")));
    std::ifstream in(dir.file("x.lev"), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Packet stream = fullState(*source);
    EXPECT_EQ(bytes, std::vector<uint8_t>(stream.data(), stream.data() + stream.size()));

    // Loaded as the level manager loads a level: a packet of exactly the file's size.
    Packet level(5, static_cast<int>(bytes.size()));
    level.doBytes(const_cast<uint8_t*>(bytes.data()), bytes.size());
    level.rewindToRead();
    auto loaded = makeServer();
    loaded->start(&level);
    expectSameWorld(*source, *loaded);
    EXPECT_FALSE(source->saveLevelFile(dir.file("missing/x.lev")));
}

TEST_F(Replication, RemoteCallAimedAtAnObjectOfAnotherClassIsRefused)
{
    auto source = makeServer();
    buildWorld(*source);
    // The world's state, then a call of TestThing aimed at the root object (UID 1), which is no TestThing.
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    source->writeFullState(stream);
    uint8_t command = NetRole::RPCCALL;
    stream.doBit(command, 0);
    stream.doBit(command, 1);
    const RuntimeClass* callClass = &RPC_TestThing_request::classRecord;
    stream.doClassID(callClass);
    RPC_TestThing_request call(source->root, u"x");
    call.netSerialize(stream);
    stream.rewindToRead();

    auto target = makeServer();
    try {
        target->start(&stream);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_NE(e.message.find(u"needs a target of class"), UString::npos);
    }
    THEROLE = nullptr;
}

TEST_F(Replication, DamagedStreamsEndInTheFatalPathNeverOutsideTheBuffer)
{
    // A running game has loaded its resources before any stream arrives; this process loads none. A damaged
    // byte may name a screen class whose constructor looks up a picture: with an empty resource manager that
    // ends in the missing-resource message, as it would in the game, rather than on a null manager.
    ResourceManager noResources;
    auto source = makeServer();
    buildWorld(*source);
    Packet stream = fullState(*source);
    const std::vector<uint8_t> bytes(stream.data(), stream.data() + stream.size());
    int fatal = 0;
    for (std::size_t length = 1; length < bytes.size(); ++length) {
        Packet cut(5, 0);
        cut.setReadData(bytes.data(), length);
        auto target = makeServer();
        try {
            target->start(&cut);
        } catch (const FatalError&) {
            ++fatal;
        }
        THEROLE = nullptr;
    }
    EXPECT_GT(fatal, static_cast<int>(bytes.size()) / 2);

    // A stream that copies an object nobody spawned.
    Packet hostile(5, 0);
    const uint8_t copyOf99[] = {0x02, 99};
    hostile.setReadData(copyOf99, sizeof(copyOf99));
    auto target = makeServer();
    try {
        target->start(&hostile);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Could not find object ID 99");
    }
    THEROLE = nullptr;
    // A stream that spawns an object whose constructor needs a resource that is not there.
    Packet needsPicture(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    uint8_t command = NetRole::SPAWNNAMED;
    needsPicture.doBit(command, 0);
    needsPicture.doBit(command, 1);
    const RuntimeClass* pause = &OverlayPause::classRecord;
    needsPicture.doClassID(pause);
    uint32_t pauseUid = 44;
    needsPicture.doVarUInt(pauseUid);
    needsPicture.rewindToRead();
    auto stage = makeServer();
    try {
        stage->start(&needsPicture);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Could not find resource 'gui-game-square:0'.");
    }
    EXPECT_EQ(stage->findObjectOrNull(44), nullptr);
    THEROLE = nullptr;
    // Each single damaged byte either still reads or stops in the fatal path. The world's first UID is drawn,
    // so the bytes, and the classes that damaged bytes name, differ from run to run.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::vector<uint8_t> damaged = bytes;
        damaged[i] ^= 0xA5;
        Packet p(5, 0);
        p.setReadData(damaged.data(), damaged.size());
        auto t = makeServer();
        try {
            t->start(&p);
        } catch (const FatalError&) {
        }
        THEROLE = nullptr;
    }
}

TEST_F(Replication, ParentsThatWouldCloseALoopAreRefusedStoredAndFromPeers)
{
    auto source = makeServer();
    buildWorld(*source);
    // In the world, c lies below a. The stream after the full state puts a below c, then a below itself.
    KivBase* a = source->root->getFirstChild();
    KivBase* c = a->getFirstChild();
    ASSERT_NE(c, nullptr);
    auto withParent = [&](KivBase* parent, uint32_t flags) {
        Packet stream(flags);
        source->writeFullState(stream);
        uint8_t command = NetRole::COPYOBJ;
        stream.doBit(command, 0);
        stream.doBit(command, 1);
        uint32_t uid = static_cast<uint32_t>(a->objectUID);
        stream.doVarUInt(uid);
        uint32_t parentUid = static_cast<uint32_t>(parent->objectUID);
        stream.doVarUInt(parentUid);
        a->netSerializeData(stream);
        stream.rewindToRead();
        return stream;
    };
    for (KivBase* parent : {c, a}) {
        Packet stored = withParent(parent, Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
        auto target = makeServer();
        try {
            target->start(&stored);
            FAIL() << "parent " << parent->objectUID;
        } catch (const FatalError& e) {
            EXPECT_NE(e.message.find(u"cannot be placed below itself"), UString::npos);
        }
        THEROLE = nullptr;

        // The same commands as a peer's message: an error that drops the peer, and a tree without a loop.
        Packet peer = withParent(parent, Packet::FLAG_COMMANDS | Packet::FLAG_PEER);
        auto receiver = makeServer();
        THEROLE = receiver.get();
        EXPECT_THROW(receiver->processPacket(peer), PacketDecodeError);
        for (KivBase* o : receiver->getObjectsInTreeOrder()) {
            EXPECT_FALSE(o->isAncestorOf(o->getParent()));
        }
        THEROLE = nullptr;
    }
    THEROLE = nullptr;
}

TEST_F(Replication, RegistrationHandsOutUidsAndSpawnsOnlyOutsideBroadcastCalls)
{
    auto server = makeServer();
    server->start(nullptr);
    const int32_t first = server->nextObjectUID;
    EXPECT_GE(first, 2);
    EXPECT_LE(first, 257);
    server->outgoing.reset();

    auto* a = new TestThing();
    server->registerObject(a, 0);
    EXPECT_EQ(a->objectUID, first);
    EXPECT_EQ(server->nextObjectUID, first + 1);
    EXPECT_EQ(server->findObject(first), a);
    EXPECT_EQ(server->outgoing.size(), 2u); // command bits and the class id
    server->root->appendChild(a);

    server->bInsideBroadcastCall = true;
    auto* b = new TestThing();
    server->registerObject(b, 0);
    server->bInsideBroadcastCall = false;
    server->root->appendChild(b);
    EXPECT_EQ(server->outgoing.size(), 2u);

    try {
        server->registerObject(a, 0);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"!o->isValidUID()"), UString::npos);
    }
    auto* c = new TestRoot();
    try {
        server->registerObject(c, 1);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"Object ID 1 is already in use."), UString::npos);
    }
    delete c;
    try {
        server->findObject(4242);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.report.substr(0, 36), u"Error: Could not find object ID 4242");
    }
    // A counter brought by a stream steps over taken UIDs, and starts again at 2 from outside the range.
    const int32_t saved = server->nextObjectUID;
    server->nextObjectUID = first;
    auto* e = new TestThing();
    server->registerObject(e, 0);
    EXPECT_EQ(e->objectUID, first + 2);
    delete e;
    for (const int32_t bad : {INT32_MAX, 0, -5}) {
        server->nextObjectUID = bad;
        e = new TestThing();
        server->registerObject(e, 0);
        EXPECT_EQ(e->objectUID, first == 2 ? 4 : 2) << bad;
        delete e;
    }
    server->nextObjectUID = saved;
    // Deleting a registered object makes the role forget it.
    delete b;
    EXPECT_EQ(server->findObjectOrNull(first + 1), nullptr);
}

TEST_F(Replication, RemoteCallsRunOnTheRightSide)
{
    auto server = makeServer();
    buildWorld(*server);
    auto* thing = static_cast<TestThing*>(server->root->getFirstChild());
    RPC_TestThing_setNumber both(thing, 7, 0.35f);
    RPC_TestThing_request fromClient(thing, u"hi");
    RPC_TestThing_clientsOnly clientsOnly(thing);

    // No role: a lone process runs what a server runs, and sends nothing.
    THEROLE = nullptr;
    EXPECT_FALSE(RPC::executeRemotely(&both));
    RPC::executeLocally(&fromClient);
    EXPECT_EQ(thing->text, u"hi");
    const int32_t before = thing->number;
    RPC::executeLocally(&clientsOnly);
    EXPECT_EQ(thing->number, before);

    // Server: sends calls for the clients unless it is inside one already; the in-call flags hold the
    // call's flags while it runs and come back afterwards.
    THEROLE = server.get();
    EXPECT_TRUE(RPC::executeRemotely(&both));
    EXPECT_FALSE(RPC::executeRemotely(&fromClient));
    server->bInsideBroadcastCall = true;
    EXPECT_FALSE(RPC::executeRemotely(&both));
    server->bInsideBroadcastCall = false;
    RPC::executeLocally(&both);
    EXPECT_EQ(thing->number, 7);
    EXPECT_TRUE(RPC_TestThing_setNumber::insideServerCall);
    EXPECT_TRUE(RPC_TestThing_setNumber::insideBroadcastCall);
    EXPECT_FALSE(server->bInsideServerCall);
    EXPECT_FALSE(server->bInsideBroadcastCall);
    RPC::executeLocally(&clientsOnly);
    EXPECT_EQ(thing->number, 7);

    // Client: sends what a client may call; a server call it may not make is fatal.
    Packet state = fullState(*server);
    auto client = std::make_unique<TestClient>();
    THEROLE = client.get();
    client->processPacket(state);
    auto* mirror = static_cast<TestThing*>(client->findObject(thing->objectUID));
    RPC_TestThing_setNumber onClient(mirror, 9, 0.0f);
    RPC_TestThing_request requestOnClient(mirror, u"yo");
    RPC_TestThing_clientsOnly clientsOnlyOnClient(mirror);
    EXPECT_TRUE(RPC::executeRemotely(&requestOnClient));
    EXPECT_FALSE(RPC::executeRemotely(&clientsOnlyOnClient));
    try {
        RPC::executeRemotely(&onClient);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Can't call 'TestThing::RPC_TestThing_setNumber' client-side.");
    }
    client->bInsideServerCall = true;
    EXPECT_FALSE(RPC::executeRemotely(&onClient));
    EXPECT_FALSE(RPC::executeRemotely(&requestOnClient));
    client->bInsideServerCall = false;
    RPC::executeLocally(&requestOnClient); // runs on the server only
    EXPECT_NE(mirror->text, u"yo");
    const int32_t mirrored = mirror->number;
    RPC::executeLocally(&clientsOnlyOnClient);
    EXPECT_EQ(mirror->number, mirrored + 1);
    THEROLE = nullptr;
}

TEST_F(Replication, CommandsSentByTheServerReplayOnAClient)
{
    auto server = makeServer();
    buildWorld(*server);
    auto* thing = static_cast<TestThing*>(server->root->getFirstChild());
    addThing(*server, thing->getFirstChild());
    thing->other = nullptr; // a plain pointer would dangle once its target is deleted below
    Packet state = fullState(*server);
    auto client = std::make_unique<TestClient>();
    THEROLE = client.get();
    client->processPacket(state);

    THEROLE = server.get();
    server->outgoing.reset();
    // A spawn, the replicated add-child, a state change, a call with a half float, and a deletion.
    auto* spawned = new TestThing();
    server->registerObject(spawned, 0);
    thing->netAddChild(spawned);
    spawned->gotoState(3, 0.0);
    EXPECT_EQ(spawned->state, 3);
    RPC_TestThing_setNumber call(spawned, 42, 0.07f);
    RPC::send(call);
    KivBase* doomed = thing->getFirstChild(); // has a child of its own
    const int32_t doomedUid = doomed->objectUID;
    const int32_t doomedChildUid = doomed->getFirstChild()->objectUID;
    doomed->destroy();
    EXPECT_EQ(server->findObjectOrNull(doomedUid), nullptr);
    EXPECT_EQ(server->findObjectOrNull(doomedChildUid), nullptr);

    Packet commands(1, 0);
    commands.setReadData(server->outgoing.data(), server->outgoing.size());
    THEROLE = client.get();
    client->processPacket(commands);
    THEROLE = nullptr;

    auto* mirror = static_cast<TestThing*>(client->findObject(spawned->objectUID));
    EXPECT_EQ(mirror->getParent(), client->findObject(thing->objectUID));
    EXPECT_EQ(mirror->getParent()->getLastChild(), mirror);
    EXPECT_EQ(mirror->state, 3);
    EXPECT_EQ(mirror->number, 42);
    EXPECT_NEAR(mirror->f, 0.07f, 1e-4f);
    mirror->f = spawned->f; // the call carried it as a half float
    EXPECT_EQ(client->findObjectOrNull(doomedUid), nullptr);
    EXPECT_EQ(client->findObjectOrNull(doomedChildUid), nullptr);
    expectSameWorld(*server, *client);

    // A second deletion of an object already gone is skipped.
    Packet again(1, 0);
    RPC_KivBase_destroy destroyCall(nullptr);
    THEROLE = server.get();
    again.bWriting = true;
    {
        auto* temp = new TestThing();
        server->registerObject(temp, 0);
        server->outgoing.reset();
        RPC_KivBase_destroy gone(temp);
        server->sendRPC(&gone);
        delete temp;
    }
    Packet replay(1, 0);
    replay.setReadData(server->outgoing.data(), server->outgoing.size());
    THEROLE = client.get();
    client->processPacket(replay);
    THEROLE = nullptr;
}

TEST_F(Replication, NestedCallScopeOpensBroadcastsOnTheServerAndSkipsOnClients)
{
    {
        NestedCallScope none;
        EXPECT_FALSE(none.skip);
        EXPECT_FALSE(none.saved);
    }
    auto server = makeServer();
    THEROLE = server.get();
    server->bInsideBroadcastCall = true;
    {
        NestedCallScope scope;
        EXPECT_FALSE(scope.skip);
        EXPECT_TRUE(scope.saved);
        EXPECT_FALSE(server->bInsideBroadcastCall);
    }
    EXPECT_TRUE(server->bInsideBroadcastCall);
    auto client = std::make_unique<TestClient>();
    THEROLE = client.get();
    client->bInsideBroadcastCall = true;
    {
        NestedCallScope scope;
        EXPECT_TRUE(scope.skip);
        EXPECT_TRUE(client->bInsideBroadcastCall);
    }
    EXPECT_TRUE(client->bInsideBroadcastCall);
}

TEST_F(Replication, ServerLogsAndStartsAnEmptyWorldThroughItsFactory)
{
    std::vector<UString> lines;
    Logger::setObserver([&](UStringView line) { lines.emplace_back(line); });
    {
        auto server = makeServer();
        EXPECT_EQ(THEROLE, server.get());
        EXPECT_EQ(server->levelResultCode, 0);
        EXPECT_TRUE(server->bAllowNewObjectRegistations);
        EXPECT_FALSE(server->bEditing);
        EXPECT_NE(server->hostWord, HandshakeDatagram::HANDSHAKE_TAG);
        server->start(nullptr);
        ASSERT_NE(server->root, nullptr);
        EXPECT_EQ(server->root->objectUID, 1);
        EXPECT_EQ(server->root->getParent(), server.get());
        EXPECT_EQ(static_cast<TestRoot*>(server->root)->startCount, 1);
    }
    Logger::setObserver(nullptr);
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"Server::Server(): Creating SERVER host..."), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"Server::~Server(): SERVER stop"), lines.end());

    TestServer unconnected;
    try {
        unconnected.start(nullptr);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"connection != NULL"), UString::npos);
    }
}

TEST_F(Replication, RootObjectCarriesTheRoleCounter)
{
    auto server = makeServer();
    server->start(nullptr);
    server->nextObjectUID = 500;
    Packet state = fullState(*server);
    auto copy = makeServer();
    copy->start(&state);
    EXPECT_EQ(copy->nextObjectUID, 500);
    THEROLE = copy.get();
    std::unique_ptr<PropertyContainer> properties(copy->root->getProperties());
    EXPECT_NE(properties->findProperty(u"THEROLE->nextObjectUID"), nullptr);
}

TEST_F(Replication, InProcessCopiesCarryRawPointers)
{
    auto server = makeServer();
    buildWorld(*server);
    auto* a = static_cast<TestThing*>(server->root->getFirstChild());
    Packet copy(Packet::FLAG_LOCAL_COPY);
    a->netSerializeData(copy);
    copy.rewindToRead();
    TestThing b;
    b.netSerializeData(copy);
    EXPECT_EQ(b.other, a->other);
    EXPECT_EQ(b.ref.get(), a->ref.get());
    EXPECT_EQ(b.text, a->text);
    EXPECT_EQ(b.values, a->values);
    b.objectUID = 0; // it took the original's UID with the rest of the data
}

TEST_F(Replication, ResourceReferencesTravelByName)
{
    ResourceManager resources;
    KivBase apple;
    KivBase unnamed;
    resources.addResource(u"apple:0", &apple);
    KivBase* in = &apple;
    KivBase* none = nullptr;
    Packet p;
    p.doResourcePointer2(in);
    p.doResourcePointer2(none);
    p.rewindToRead();
    KivBase* out = nullptr;
    KivBase* outNone = &apple;
    p.doResourcePointer2(out);
    p.doResourcePointer2(outNone);
    EXPECT_EQ(out, &apple);
    EXPECT_EQ(outNone, nullptr);

    Packet w;
    KivBase* nameless = &unnamed;
    try {
        w.doResourcePointer2(nameless);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"s != TT(\"\")"), UString::npos);
    }
    Packet missing;
    UString name = u"pear:0";
    missing.doUString(name, -1);
    missing.rewindToRead();
    try {
        missing.doResourcePointer2(out);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Could not find resource 'pear:0'.");
    }
}

// The replication clock runs on the engine's frame step (scaled by F10 and F11 in debug runs), sets the
// step flag once per interval and jumps ahead after a long stall instead of catching up step by step.
TEST_F(Replication, ReplicationClockStepsOncePerInterval)
{
    KivNetwork network;
    double frameStep = 0.02;
    bool f10 = false;
    bool f11 = false;
    bool release = false;
    network.hooks.frameTimeStep = [&] { return frameStep; };
    network.hooks.isRelease = [&] { return release; };
    network.hooks.isKeyDown = [&](int code) { return (f11 && code == 0x57) || (f10 && code == 0x44); };
    auto server = makeServer();
    server->start(nullptr);
    int steps = 0;
    for (int i = 0; i < 50; ++i) { // one second
        server->tick(123.0, 9.0);  // the arguments are not used
        steps += server->bReplicationStep;
        EXPECT_EQ(THEROLE, nullptr);
    }
    EXPECT_NEAR(server->replicationClock, 1.0, 1e-9);
    EXPECT_GE(steps, 20);
    EXPECT_LE(steps, 21);

    f11 = true; // five times the step
    server->tick(0.0, 0.0);
    EXPECT_NEAR(server->replicationClock, 1.1, 1e-9);
    f11 = false;
    f10 = true; // a tenth of the step
    server->tick(0.0, 0.0);
    EXPECT_NEAR(server->replicationClock, 1.102, 1e-9);
    f11 = true; // both keys: both factors
    server->tick(0.0, 0.0);
    EXPECT_NEAR(server->replicationClock, 1.112, 1e-9);
    release = true; // a release run ignores the keys
    server->tick(0.0, 0.0);
    EXPECT_NEAR(server->replicationClock, 1.132, 1e-9);
    f10 = f11 = release = false;

    frameStep = 10.0; // a stall of 200 intervals: the next step is one interval ahead of the clock
    server->tick(0.0, 0.0);
    EXPECT_TRUE(server->bReplicationStep);
    EXPECT_NEAR(server->nextStepTime, server->replicationClock + 0.05, 1e-9);
    frameStep = 0.02;
    server->tick(0.0, 0.0);
    EXPECT_FALSE(server->bReplicationStep);
}

namespace {
void writeCommand(Packet& packet, uint8_t command)
{
    packet.doBit(command, 0);
    packet.doBit(command, 1);
}

// A spawn command for an object (a plain one unless told) under a chosen UID.
void writeSpawnNamed(Packet& packet, uint32_t uid, const RuntimeClass* runtimeClass = &KivBase::classRecord)
{
    writeCommand(packet, NetRole::SPAWNNAMED);
    packet.doClassID(runtimeClass);
    packet.doVarUInt(uid);
}

// An add-child call by UIDs.
void writeAddChild(Packet& packet, uint32_t parentUid, uint32_t childUid)
{
    writeCommand(packet, NetRole::RPCCALL);
    const RuntimeClass* runtimeClass = &RPC_KivBase_addChild::classRecord;
    packet.doClassID(runtimeClass);
    packet.doVarUInt(parentUid);
    packet.doVarUInt(childUid);
}

int treeDepth(const NetRole& role)
{
    int deepest = 0;
    for (const KivBase* o : role.getObjectsInTreeOrder()) {
        int depth = 0;
        for (const KivBase* p = o; p != nullptr; p = p->getParent()) {
            ++depth;
        }
        deepest = std::max(deepest, depth);
    }
    return deepest;
}
} // namespace

TEST_F(Replication, TreesDeeperThanTheLimitAreRefusedStoredAndFromPeers)
{
    for (int depth : {60000, 200000}) {
        SCOPED_TRACE(depth);
        auto source = makeServer();
        source->start(nullptr);
        KivBase* top = addChain(*source, source->root, depth);
        {
            Packet stored = fullState(*source);
            auto target = makeServer();
            try {
                target->start(&stored);
                FAIL();
            } catch (const FatalError& e) {
                EXPECT_NE(e.message.find(u"deeper than"), UString::npos) << wideToUtf8(e.message);
            }
            EXPECT_LE(treeDepth(*target), NetRole::MAX_TREE_DEPTH + 1);
        } // the part that was read goes with its role
        {
            Packet message(Packet::FLAG_COMMANDS | Packet::FLAG_PEER);
            source->writeFullState(message);
            message.rewindToRead();
            auto client = std::make_unique<TestClient>();
            THEROLE = client.get();
            EXPECT_THROW(client->processPacket(message), PacketDecodeError);
            EXPECT_LE(treeDepth(*client), NetRole::MAX_TREE_DEPTH + 1);
        }
        THEROLE = source.get();
        removeChain(top);
        THEROLE = nullptr;
    }

    // A subtree two deep that a peer moves below the end of a chain: its lower object may lie at the
    // limit (below a chain 998 deep, the root counted), not one further.
    for (const int chainDepth : {998, 999}) {
        SCOPED_TRACE(chainDepth);
        auto client = std::make_unique<TestClient>();
        THEROLE = client.get();
        auto* root = new KivBase();
        client->registerObject(root, 1);
        KivBase* end = addChain(*client, root, chainDepth - 1);
        while (end->getFirstChild() != nullptr) {
            end = end->getFirstChild();
        }
        auto* moved = new KivBase();
        client->registerObject(moved, 0);
        root->appendChild(moved);
        auto* below = new KivBase();
        client->registerObject(below, 0);
        moved->appendChild(below);
        Packet message(Packet::FLAG_COMMANDS | Packet::FLAG_PEER);
        writeAddChild(message, static_cast<uint32_t>(end->objectUID), static_cast<uint32_t>(moved->objectUID));
        message.rewindToRead();
        if (chainDepth == 998) {
            client->processPacket(message);
            EXPECT_EQ(moved->getParent(), end);
        } else {
            EXPECT_THROW(client->processPacket(message), PacketDecodeError);
            EXPECT_EQ(moved->getParent(), root);
        }
        EXPECT_LE(treeDepth(*client), NetRole::MAX_TREE_DEPTH + 1);
        THEROLE = nullptr;
    }

    // Add-child calls of a peer that would build a chain past the limit: refused, each call's check walking
    // no further up than the limit. 80,000 calls below one parent, or in chains within the limit, all go
    // through, each check walking no further than up its own chain to the root and the role.
    for (const bool chained : {true, false}) {
        constexpr uint32_t COUNT = 80000;
        Packet message(Packet::FLAG_COMMANDS | Packet::FLAG_PEER);
        writeSpawnNamed(message, 1);
        for (uint32_t uid = 2; uid < COUNT + 2; ++uid) {
            writeSpawnNamed(message, uid);
        }
        for (uint32_t uid = 2; uid < COUNT + 2; ++uid) {
            const bool startsChain = !chained && (uid - 2) % 500 == 0;
            writeAddChild(message, uid == 2 || startsChain ? 1 : uid - 1, uid);
        }
        message.rewindToRead();
        auto client = std::make_unique<TestClient>();
        THEROLE = client.get();
        if (chained) {
            EXPECT_THROW(client->processPacket(message), PacketDecodeError);
        } else {
            client->processPacket(message);
            EXPECT_EQ(client->root->countChildren(), static_cast<int>(COUNT / 500));
        }
        // The calls the chain can take before it reaches the limit, or all of them.
        const uint64_t calls = chained ? NetRole::MAX_TREE_DEPTH + 1 : COUNT;
        const uint64_t furthest = chained ? NetRole::MAX_TREE_DEPTH + 1 : 500 + 2;
        EXPECT_LE(client->placementObjectsVisited, calls * furthest) << (chained ? "chained" : "in short chains");
        EXPECT_LE(treeDepth(*client), NetRole::MAX_TREE_DEPTH + 1);
        THEROLE = nullptr;
    }
}

TEST_F(Replication, StreamsCreateAtMostTheObjectLimit)
{
    // 16 MB of zero bytes reads as one plain spawn after another: the stream stops at the limit.
    const std::vector<uint8_t> zeros(16u << 20, 0);
    for (const uint32_t flags :
         {Packet::FLAG_COMMANDS | Packet::FLAG_STORED, Packet::FLAG_COMMANDS | Packet::FLAG_PEER}) {
        Packet stream(flags, 0);
        stream.setReadData(zeros.data(), zeros.size());
        auto target = makeServer();
        try {
            target->start(&stream);
            FAIL();
        } catch (const FatalError& e) {
            EXPECT_NE(e.message.find(u"more than"), UString::npos) << wideToUtf8(e.message);
        } catch (const PacketDecodeError& e) {
            EXPECT_NE(e.message.find(u"more than"), UString::npos) << wideToUtf8(e.message);
            EXPECT_TRUE(stream.isPeerInput());
        }
        EXPECT_LE(target->objectMap.size(), static_cast<std::size_t>(NetRole::MAX_STREAM_OBJECTS));
        // Reading stopped at the limit, not at the end of the data: a plain spawn here is two bits of command
        // and a byte of class.
        EXPECT_LE(stream.getCursor(), (NetRole::MAX_STREAM_OBJECTS + 1) * 10u / 8u + 1u);
        target.reset();
        THEROLE = nullptr;
    }
}

TEST_F(Replication, ClientCounterSkipsUidsThatAServerNamed)
{
    // The server names every UID the client's counter can start at (2 to 257) and a few beyond, then
    // calls a remote call with which the client makes an object of its own (a hull): it takes a free UID.
    Packet message(Packet::FLAG_COMMANDS | Packet::FLAG_PEER);
    for (uint32_t uid = 2; uid <= 260; ++uid) {
        writeSpawnNamed(message, uid, &A99Object::classRecord);
    }
    writeCommand(message, NetRole::RPCCALL);
    const RuntimeClass* call = &RPC_A99Object_createHull::classRecord;
    message.doClassID(call);
    uint32_t target = 2;
    message.doVarUInt(target);
    message.rewindToRead();
    auto client = std::make_unique<TestClient>();
    THEROLE = client.get();
    client->processPacket(message);
    ASSERT_EQ(client->objectMap.size(), 260u);
    const KivBase* hull = static_cast<A99Object*>(client->findObject(2))->pHull;
    ASSERT_NE(hull, nullptr);
    EXPECT_GT(hull->objectUID, 260);
    EXPECT_EQ(client->findObjectOrNull(hull->objectUID), hull);

    // A UID that a later message names again fails that message, whichever way it is named.
    Packet again(Packet::FLAG_COMMANDS | Packet::FLAG_PEER);
    writeSpawnNamed(again, 77);
    again.rewindToRead();
    EXPECT_THROW(client->processPacket(again), PacketDecodeError);
    EXPECT_EQ(client->objectMap.size(), 260u);
    THEROLE = nullptr;
}

TEST_F(Replication, ServerCallsThatFindNoLevelYetDoNotEndTheClient)
{
    // A world object asked to make its proxy before any controller exists, and a controller with no pig
    // sent into its intro state: each call runs as far as it can.
    auto scratch = makeServer();
    THEROLE = scratch.get();
    auto* object = new A99Object();
    scratch->registerObject(object, 0);
    auto* controller = new GameController();
    scratch->registerObject(controller, 0);
    Packet message(Packet::FLAG_COMMANDS | Packet::FLAG_PEER);
    writeSpawnNamed(message, static_cast<uint32_t>(object->objectUID), &A99Object::classRecord);
    writeSpawnNamed(message, static_cast<uint32_t>(controller->objectUID), &GameController::classRecord);
    RPC_EditorObject_construct construct(object);
    RPC_KivBase_setState intro(controller, GameController::STATE_INTRO);
    RPC_GameController_enterState enter(controller);
    for (RPC* call : std::initializer_list<RPC*>{&construct, &intro, &enter}) {
        writeCommand(message, NetRole::RPCCALL);
        const RuntimeClass* runtimeClass = call->getClass();
        message.doClassID(runtimeClass);
        call->netSerialize(message);
    }
    message.rewindToRead();
    auto client = std::make_unique<TestClient>();
    THEROLE = client.get();
    client->processPacket(message);
    auto* mirror = static_cast<GameController*>(client->findObject(controller->objectUID));
    EXPECT_EQ(mirror->state, GameController::STATE_INTRO);
    EXPECT_EQ(static_cast<EditorObject*>(client->findObject(object->objectUID))->getProxy(), nullptr);
    client.reset();
    THEROLE = scratch.get();
    delete object;
    delete controller;
    THEROLE = nullptr;
}
