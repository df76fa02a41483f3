// Object streams against bytes stored from earlier builds: what a level file or a joining peer receives
// must not change when the way it is written does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "StreamTestObjects.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/RPC.h"
#include "engine/net/NetConnection.h"

namespace {

std::string goldenPath(std::size_t index, const KivBase& object)
{
    return std::string(TOBBLE_SOURCE_DIR) + "/tests/net/golden/" + std::to_string(index) + "-" +
           wideToUtf8(object.getClass()->getName()) + ".bin";
}

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> bytesOf(const Packet& p) { return std::vector<uint8_t>(p.data(), p.data() + p.size()); }

// One object's COPYOBJ payload (its parent, then its data) in a packet of its own.
std::vector<uint8_t> payloadOf(KivBase& object)
{
    Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    object.netSerialize(packet);
    return bytesOf(packet);
}

// The full state written the way every object wrote itself before the layouts: each object's whole
// property list, built and serialised one by one.
std::vector<uint8_t> fullStateThroughPropertyLists(const NetRole& role)
{
    Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    const std::vector<KivBase*> order = role.getObjectsInTreeOrder();
    auto command = [&](uint8_t bits) {
        packet.doBit(bits, 0);
        packet.doBit(bits, 1);
    };
    for (KivBase* object : order) {
        command(NetRole::SPAWNNAMED);
        const RuntimeClass* runtimeClass = object->getClass();
        packet.doClassID(runtimeClass);
        uint32_t uid = static_cast<uint32_t>(object->objectUID);
        packet.doVarUInt(uid);
    }
    THEROLE = const_cast<NetRole*>(&role);
    for (KivBase* object : order) {
        command(NetRole::COPYOBJ);
        uint32_t uid = static_cast<uint32_t>(object->objectUID);
        packet.doVarUInt(uid);
        object->netSerializeParent(packet);
        std::unique_ptr<PropertyContainer> list(object->getProperties());
        list->serialize(packet);
    }
    THEROLE = nullptr;
    return bytesOf(packet);
}

std::unique_ptr<TestServer> replay(const std::vector<uint8_t>& bytes)
{
    auto server = std::make_unique<TestServer>();
    server->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server->bOwnsConnection = true;
    Packet level(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, static_cast<int>(bytes.size()));
    level.setReadData(bytes.data(), bytes.size());
    server->start(&level);
    THEROLE = nullptr;
    return server;
}

UString fatalOf(const std::vector<uint8_t>& bytes)
{
    try {
        replay(bytes);
    } catch (const FatalError& e) {
        THEROLE = nullptr;
        return e.message;
    }
    return u"(no fatal error)";
}

class StreamGolden : public ::testing::Test {
protected:
    void SetUp() override { ErrorManager::setThrowForTests(true); }
    void TearDown() override { THEROLE = nullptr; }
};

} // namespace

// Every object's payload equals the stored one; a stored payload is rewritten only on request
// (TOBBLE_WRITE_GOLDEN=1), from a build whose bytes are known to be right.
TEST_F(StreamGolden, PayloadsOfEveryKindMatchTheStoredBytes)
{
    StreamWorld world;
    const bool rewrite = std::getenv("TOBBLE_WRITE_GOLDEN") != nullptr;
    THEROLE = world.server.get();
    for (std::size_t i = 0; i < world.objects.size(); ++i) {
        KivBase& object = *world.objects[i];
        const std::vector<uint8_t> written = payloadOf(object);
        const std::string path = goldenPath(i, object);
        if (rewrite) {
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(written.data()),
                                                        static_cast<std::streamsize>(written.size()));
        }
        EXPECT_EQ(written, readFile(path)) << path;
    }
}

// A replayed world writes the stored payloads again, object for object.
TEST_F(StreamGolden, ReplayedWorldWritesTheStoredPayloads)
{
    StreamWorld world;
    Packet state(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    world.server->writeFullState(state);
    ResourceManager* resources = world.resources.get();
    ASSERT_EQ(ResourceManager::instance(), resources);
    auto copy = replay(bytesOf(state));
    THEROLE = copy.get();
    for (std::size_t i = 0; i < world.objects.size(); ++i) {
        KivBase* mirror = copy->findObject(world.objects[i]->objectUID);
        ASSERT_EQ(mirror->getClass(), world.objects[i]->getClass());
        EXPECT_EQ(payloadOf(*mirror), readFile(goldenPath(i, *world.objects[i]))) << i;
    }
    auto* edges = static_cast<KindsThing*>(copy->findObject(world.objects.back()->objectUID));
    EXPECT_EQ(edges->score.get(), INT32_MIN);
    EXPECT_EQ(edges->sprite, &world.apple);
    EXPECT_EQ(edges->slots.size(), 130u);
    EXPECT_EQ(edges->slots[129].label, u"sixteen chars..");
    EXPECT_EQ(edges->note.size(), 300u);
    EXPECT_EQ(edges->note[5], u'\uFFFF');
}

// The full state, with its command bits sharing bit bytes with the objects' booleans, equals the stream
// written through whole property lists, and replays to a world that writes it again.
TEST_F(StreamGolden, FullStateEqualsThePropertyListStream)
{
    StreamWorld world;
    Packet state(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    world.server->writeFullState(state);
    const std::vector<uint8_t> bytes = bytesOf(state);
    EXPECT_EQ(bytes, fullStateThroughPropertyLists(*world.server));
    auto copy = replay(bytes);
    Packet again(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    copy->writeFullState(again);
    EXPECT_EQ(bytesOf(again), bytes);
    EXPECT_EQ(fullStateThroughPropertyLists(*copy), bytes);
}

// Stored streams that lie about an object's data end in the fatal path with the message that names the
// fault, never in a read outside the stream.
TEST_F(StreamGolden, HostilePayloadsEndInTheFatalPathWithAClearMessage)
{
    StreamWorld world;
    KivBase* full = world.objects[5];
    const int32_t uid = full->objectUID;
    // A stream that spawns a root and a KindsThing under the UID and then copies into it a payload with no parent,
    // default values and the given fields, written field by field in one packet (the bit bytes of the
    // commands and the booleans are shared).
    auto streamWith = [&](int32_t uidField, uint32_t seasonValue, uint32_t heightCount, uint32_t noteLength,
                          uint32_t partnerUid, bool overlongUid = false, uint32_t parentUid = 0) {
        Packet p(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
        uint8_t command = NetRole::SPAWNNAMED;
        p.doBit(command, 0);
        p.doBit(command, 1);
        const RuntimeClass* rootClass = &TestRoot::classRecord;
        p.doClassID(rootClass);
        uint32_t rootUid = 1;
        p.doVarUInt(rootUid);
        p.doBit(command, 0);
        p.doBit(command, 1);
        const RuntimeClass* runtimeClass = &KindsThing::classRecord;
        p.doClassID(runtimeClass);
        uint32_t named = static_cast<uint32_t>(uid);
        p.doVarUInt(named);
        command = NetRole::COPYOBJ;
        p.doBit(command, 0);
        p.doBit(command, 1);
        p.doVarUInt(named);
        uint32_t zero = 0;
        int32_t izero = 0;
        double dzero = 0.0;
        float fzero = 0.0f;
        p.doVarUInt(parentUid); // parent
        if (overlongUid) {
            uint8_t bad[] = {0xBF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
            p.doBytes(bad, sizeof(bad));
        } else {
            p.doVarInt(uidField); // objectUID
        }
        p.doVarInt(izero);      // state
        p.doDouble(dzero);      // timeInState
        p.doDouble(dzero);      // stateLeft
        p.doVarInt(izero);      // stateGoto
        p.doVarInt(izero);      // score
        int32_t season = static_cast<int32_t>(seasonValue);
        p.doVarInt(season);     // season
        p.doVarInt(izero);      // size
        UString none;
        p.doUString(none, -1);  // sprite
        p.doVarUInt(heightCount);
        for (uint32_t i = 0; i < heightCount && i < 4; ++i) {
            p.doFloat(fzero);
        }
        p.doVarUInt(zero);      // slots
        p.doVarInt(izero);      // lid.size
        bool off = false;
        p.doBool(off);          // lid.open
        for (int i = 0; i < 4; ++i) {
            p.doFloat(fzero);   // area
        }
        p.doVarInt(izero);      // spare.size
        p.doBool(off);          // spare.open
        p.doVarUInt(noteLength);
        for (uint32_t i = 0; i < noteLength && i < 8; ++i) {
            uint8_t x = 'x';
            p.doBytes(&x, 1);
        }
        p.doDouble(dzero);      // when
        p.doBool(off);          // last
        p.doVarUInt(partnerUid);
        p.doVarUInt(zero);      // watched
        uint32_t word = 0;
        p.doDWORD(word);        // tint
        p.doDWORD(word);        // colour
        return bytesOf(p);
    };
    const int32_t spawned = uid;
    const std::vector<uint8_t> good = streamWith(spawned, 1, 2, 3, 0);
    EXPECT_EQ(fatalOf(good), u"(no fatal error)");
    EXPECT_EQ(fatalOf(streamWith(spawned, 4, 2, 3, 0)), u"Value 4 of 'season' is out of range.");
    EXPECT_EQ(fatalOf(streamWith(spawned, 1, 100000, 3, 0)),
              u"Array 'heights' of 100000 elements is too long for its stream.");
    EXPECT_EQ(fatalOf(streamWith(spawned, 1, 2, 3, 1)),
              u"Object 1 does not fit 'partner' (KindsThing required).");
    EXPECT_EQ(fatalOf(streamWith(spawned, 1, 2, 3, 999)), u"Could not find object ID 999");
    EXPECT_EQ(fatalOf(streamWith(spawned + 1, 1, 2, 3, 0)),
              formatString(u"Object ID %d holds the ID %d.", spawned, spawned + 1));
    // A string that claims more bytes than the stream holds, and a stream cut inside a double.
    EXPECT_NE(fatalOf(streamWith(spawned, 1, 2, 200, 0)).find(u"Packet truncated"), UString::npos);
    std::vector<uint8_t> cut = good;
    cut.resize(cut.size() - 20);
    EXPECT_NE(fatalOf(cut).find(u"Packet truncated"), UString::npos);
    // An overlong variable-length integer where the UID should be.
    EXPECT_NE(fatalOf(streamWith(spawned, 1, 2, 3, 0, true)).find(u"overlong variable-length integer"), UString::npos);
    // The parent: the root is one, an unknown UID is not, and the object cannot be its own parent.
    EXPECT_EQ(fatalOf(streamWith(spawned, 1, 2, 3, 0, false, 1)), u"(no fatal error)");
    EXPECT_EQ(fatalOf(streamWith(spawned, 1, 2, 3, 0, false, 777)), u"Could not find object ID 777");
    EXPECT_NE(fatalOf(streamWith(spawned, 1, 2, 3, 0, false, static_cast<uint32_t>(spawned)))
                  .find(u"cannot be placed below itself"),
              UString::npos);
}

// Spawn commands that name an unknown class, a class that cannot be spawned, or a UID that cannot be
// taken end in the fatal path, as do copies into objects that do not exist.
TEST_F(StreamGolden, SpawnAndCopyCommandsOutOfTheOrdinaryEndInTheFatalPath)
{
    auto spawn = [](Packet& p, int command, uint32_t classIndex, uint32_t uid) {
        uint8_t bits = static_cast<uint8_t>(command);
        p.doBit(bits, 0);
        p.doBit(bits, 1);
        p.doVarUInt(classIndex);
        if (command == NetRole::SPAWNNAMED) {
            p.doVarUInt(uid);
        }
    };
    auto indexOf = [](const RuntimeClass& record) {
        RuntimeClassManager::getInstance()->buildClassArray();
        return static_cast<uint32_t>(record.getIndex());
    };
    const uint32_t thing = indexOf(KindsThing::classRecord);
    auto stream = [&](auto&& fill) {
        Packet p(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
        spawn(p, NetRole::SPAWNNAMED, indexOf(TestRoot::classRecord), 1);
        fill(p);
        return bytesOf(p);
    };
    EXPECT_EQ(fatalOf(stream([&](Packet& p) { spawn(p, NetRole::SPAWNNAMED, thing, 40); })), u"(no fatal error)");
    const uint32_t unknown = static_cast<uint32_t>(RuntimeClassManager::getInstance()->getClassCount()) + 3;
    EXPECT_EQ(fatalOf(stream([&](Packet& p) { spawn(p, NetRole::SPAWNNAMED, unknown, 40); })),
              formatString(u"Unknown class id %u.", unknown));
    EXPECT_EQ(fatalOf(stream([&](Packet& p) { spawn(p, NetRole::SPAWNNAMED, indexOf(RPC::classRecord), 40); })),
              u"Class 'RPC' cannot be spawned.");
    EXPECT_EQ(fatalOf(stream([&](Packet& p) { spawn(p, NetRole::SPAWNNAMED, thing, 0); })), u"Bad object ID 0.");
    EXPECT_EQ(fatalOf(stream([&](Packet& p) { spawn(p, NetRole::SPAWNNAMED, thing, 1); })),
              u"Object ID 1 is already in use.");
    EXPECT_EQ(fatalOf(stream([&](Packet& p) {
                  spawn(p, NetRole::SPAWNNAMED, thing, 40);
                  spawn(p, NetRole::SPAWNNAMED, thing, 40);
              })),
              u"Object ID 40 is already in use.");
    EXPECT_EQ(fatalOf(stream([&](Packet& p) {
                  uint8_t bits = NetRole::COPYOBJ;
                  p.doBit(bits, 0);
                  p.doBit(bits, 1);
                  uint32_t uid = 41;
                  p.doVarUInt(uid);
              })),
              u"Could not find object ID 41");
    // A stream cut inside a spawn's UID.
    std::vector<uint8_t> cut = stream([&](Packet& p) { spawn(p, NetRole::SPAWNNAMED, thing, 300000); });
    cut.pop_back();
    EXPECT_NE(fatalOf(cut).find(u"Packet truncated"), UString::npos);
}
