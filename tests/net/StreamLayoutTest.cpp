// The class layouts against the general path through whole property lists: the same bytes written, the
// same values and the same fatal messages read, whatever the values and however damaged the stream.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "StreamTestObjects.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyLayout.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/NetConnection.h"
#include "engine/net/ObjectTable.h"

namespace {

std::vector<uint8_t> bytesOf(const Packet& p) { return std::vector<uint8_t>(p.data(), p.data() + p.size()); }

// The object's data through its property list, as every object wrote itself before the layouts.
std::vector<uint8_t> listBytes(KivBase& object, uint32_t flags)
{
    Packet packet(flags);
    std::unique_ptr<PropertyContainer> list(object.getProperties());
    list->serialize(packet);
    return bytesOf(packet);
}

std::vector<uint8_t> layoutBytes(KivBase& object, uint32_t flags)
{
    Packet packet(flags);
    object.netSerializeData(packet);
    return bytesOf(packet);
}

constexpr uint32_t STORED = Packet::FLAG_COMMANDS | Packet::FLAG_STORED;

std::vector<PropertyLayout::Entry::Kind> kindsOf(const PropertyLayout& layout)
{
    std::vector<PropertyLayout::Entry::Kind> kinds;
    for (const auto& e : layout.getEntries()) {
        kinds.push_back(e.kind);
    }
    return kinds;
}

// A value bound outside the object without a flag: found by its address.
int32_t gOutsideValue = 5;

// Lists a group of `count` integers from a fixed array: what it lists depends on its state.
class ChangingThing : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override
    {
        KivBase::addPropertiesTo(list);
        list.appendChild(new PropertyInt(u"count", 0, &count));
        auto* group = new PropertyContainer(u"items", bFlagged ? Property::FLAG_PER_OBJECT : 0u);
        for (int32_t i = 0; i < count && i < 4; ++i) {
            group->appendChild(new PropertyInt(u"item", 0, &items[i]));
        }
        list.appendChild(group);
        list.appendChild(new PropertyInt(u"outside", 0, &gOutsideValue));
        list.appendChild(new PropertyArray<int32_t>(u"grows", 0, &grows, [](UStringView name, int32_t& v) -> Property* {
            return new PropertyInt(name, 0, &v);
        }));
        list.appendChild(new PropertyBool(u"after", 0, &after));
    }
    bool bFlagged = true;
    int32_t count = 0;
    int32_t items[4] = {};
    std::vector<int32_t> grows;
    bool after = false;
};
const RuntimeClass ChangingThing::classRecord(u"ChangingThing", &KivBase::classRecord,
                                              &RuntimeClass::factoryOf<ChangingThing>);

// The same without the flag: its layout takes the group's shape from the prototype.
class UnflaggedThing : public ChangingThing {
public:
    static const RuntimeClass classRecord;
    UnflaggedThing() { bFlagged = false; }
    const RuntimeClass* getClass() const override { return &classRecord; }
};
const RuntimeClass UnflaggedThing::classRecord(u"UnflaggedThing", &ChangingThing::classRecord,
                                               &RuntimeClass::factoryOf<UnflaggedThing>);

// A root class of its own, so that its layout is first made here without a current role.
class DetachedRoot : public RootObject {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
};
const RuntimeClass DetachedRoot::classRecord(u"DetachedRoot", &RootObject::classRecord,
                                             &RuntimeClass::factoryOf<DetachedRoot>);

// A class that keeps its parent's record: its own properties are not in its parent's layout.
class UnrecordedThing : public KindsThing {
public:
    void addPropertiesTo(Property& list) override
    {
        KindsThing::addPropertiesTo(list);
        list.appendChild(new PropertyInt(u"extra", 0, &extra));
    }
    int32_t extra = 77;
};

void randomise(KindsThing& k, std::mt19937& rng, KivBase* resource, KivBase* someObject)
{
    auto any = [&] { return static_cast<int32_t>(rng()); };
    auto small = [&](int n) { return static_cast<int32_t>(rng() % static_cast<uint32_t>(n)); };
    k.objectUID = small(3) == 0 ? any() & 0x7FFFFFFF : small(300);
    k.state = any() >> small(32);
    k.timeInState = std::ldexp(static_cast<double>(any()), small(200) - 100);
    k.score.set(any() >> small(32));
    k.season = static_cast<uint8_t>(small(4));
    k.size = static_cast<KindsThing::Size>(small(3));
    k.sprite = small(2) ? resource : nullptr;
    k.heights.resize(static_cast<std::size_t>(small(5)));
    for (float& h : k.heights) {
        h = static_cast<float>(any()) / 7.0f;
    }
    k.slots.resize(static_cast<std::size_t>(small(4)));
    for (KindsSlot& s : k.slots) {
        s = {any() >> small(32), static_cast<float>(small(100)), small(2) == 0, UString(static_cast<std::size_t>(small(17)), static_cast<char16_t>(0x20 + small(0x3000)))};
    }
    k.lid.size = any();
    k.lid.open = small(2) == 0;
    k.area = {static_cast<float>(any()), -1.0f, 0.0f, 1e-30f};
    k.spare->size = any() >> 8;
    k.spare->open = small(2) == 0;
    k.note = UString(static_cast<std::size_t>(small(300)), static_cast<char16_t>(small(3) == 0 ? 0x7FF + small(5) : 0x41 + small(26)));
    k.when = static_cast<double>(any()) * 1e-3;
    k.last = small(2) == 0;
    k.partner = nullptr;
    k.watched.set(small(2) ? someObject : nullptr);
    k.tint = static_cast<uint32_t>(any());
    k.colour = UColor(static_cast<uint32_t>(any()));
}

// The outcome of reading `bytes` into a fresh KindsThing: the message of a fatal error, or what the
// object writes afterwards.
template <class Read>
std::pair<UString, std::vector<uint8_t>> readOutcome(const std::vector<uint8_t>& bytes, Read read,
                                                     uint32_t flags = STORED)
{
    KindsThing target;
    Packet p(flags, 0);
    p.setReadData(bytes.data(), bytes.size());
    try {
        read(target, p);
    } catch (const FatalError& e) {
        return {e.message, {}};
    } catch (const PacketDecodeError& e) {
        return {u"dropped: " + e.message, {}};
    }
    std::vector<uint8_t> after = listBytes(target, STORED);
    after.push_back(static_cast<uint8_t>(p.getCursor()));
    return {u"", after};
}

class StreamLayout : public ::testing::Test {
protected:
    void SetUp() override { ErrorManager::setThrowForTests(true); }
    void TearDown() override { THEROLE = nullptr; }
};

} // namespace

TEST_F(StreamLayout, EntriesFollowAddPropertiesToAndKeepOutsideValuesOnTheGeneralPath)
{
    KindsThing k;
    const PropertyLayout* layout = PropertyLayout::of(k);
    ASSERT_NE(layout, nullptr);
    using E = PropertyLayout::Entry;
    // objectUID, the state group in place, then the class's own; the part held through a pointer is
    // general, the part held by value and the owner's group are in place.
    // Words, floats and doubles that lie next to each other are copied as one run.
    const std::vector<E::Kind> expected = {
        E::INT,   E::INT,   E::RAW,   E::INT,     E::SECUREINT, E::ENUM, E::ENUM,    E::RESOURCE,
        E::ARRAY, E::ARRAY, E::INT,   E::BOOL,    E::RAW,       E::GENERAL, E::USTRING, E::DOUBLE,
        E::BOOL,  E::POINTER, E::REFERENCE, E::RAW};
    EXPECT_EQ(kindsOf(*layout), expected);
    EXPECT_EQ(layout->getEntries()[2].limit, 16);  // timeInState, stateLeft
    EXPECT_EQ(layout->getEntries()[12].limit, 16); // the area's four floats
    EXPECT_EQ(layout->getEntries()[19].limit, 8);  // tint, colour
    EXPECT_EQ(layout->getEntries()[13].name, u"spare");
    EXPECT_EQ(layout->getEntries()[9].element->getEntries().size(), 4u); // id, weight, on, label
    EXPECT_TRUE(layout->hasGeneralEntries());
    EXPECT_EQ(PropertyLayout::of(k), layout); // built once

    // The role's counter, and a value bound outside without a flag, stay general.
    TestRoot root;
    ASSERT_NE(PropertyLayout::of(root), nullptr);
    EXPECT_EQ(PropertyLayout::of(root)->getEntries().back().kind, E::GENERAL);
    ChangingThing changing;
    const auto changingKinds = kindsOf(*PropertyLayout::of(changing));
    EXPECT_EQ(changingKinds, (std::vector<E::Kind>{E::INT, E::INT, E::RAW, E::INT, E::INT, E::GENERAL,
                                                   E::GENERAL, E::ARRAY, E::BOOL}));

    // Objects of a class that answers its parent's record, and classes without a factory, have none.
    UnrecordedThing unrecorded;
    EXPECT_EQ(PropertyLayout::of(unrecorded), nullptr);
    TestPart part;
    EXPECT_EQ(PropertyLayout::of(part), nullptr);
    EXPECT_EQ(layoutBytes(unrecorded, STORED), listBytes(unrecorded, STORED));
}

// The root's counter belongs to the current role, whichever it is when the root is written or read.
TEST_F(StreamLayout, RootCounterFollowsTheCurrentRoleWhenTheLayoutWasMadeWithoutOne)
{
    THEROLE = nullptr;
    DetachedRoot detached;
    ASSERT_NE(PropertyLayout::of(detached), nullptr);
    EXPECT_EQ(PropertyLayout::of(detached)->getEntries().back().kind, PropertyLayout::Entry::GENERAL);
    StreamWorld world;
    THEROLE = world.server.get();
    world.server->nextObjectUID = 0x01020304;
    const std::vector<uint8_t> bytes = layoutBytes(detached, STORED);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 4, bytes.end()), (std::vector<uint8_t>{4, 3, 2, 1}));
    Packet p(STORED);
    p.setReadData(bytes.data(), bytes.size());
    world.server->nextObjectUID = 7;
    detached.netSerializeData(p);
    EXPECT_EQ(world.server->nextObjectUID, 0x01020304);
    world.server->nextObjectUID = 500;
}

TEST_F(StreamLayout, EveryKindWritesTheBytesOfItsPropertyListWhateverTheValues)
{
    StreamWorld world;
    THEROLE = world.server.get();
    for (KivBase* o : world.objects) {
        EXPECT_EQ(layoutBytes(*o, STORED), listBytes(*o, STORED));
        EXPECT_EQ(layoutBytes(*o, Packet::FLAG_LOCAL_COPY), listBytes(*o, Packet::FLAG_LOCAL_COPY));
        EXPECT_TRUE(PropertyLayout::matchesPropertyList(*o, STORED));
    }
    std::mt19937 rng(12345);
    auto* k = static_cast<KindsThing*>(world.objects[5]);
    // The role finds the object by its UID when it goes: the UID comes back whatever happens here.
    struct KeepUid {
        KivBase* object;
        int32_t uid;
        ~KeepUid() { object->objectUID = uid; }
    } keep{k, k->objectUID};
    for (int round = 0; round < 300; ++round) {
        randomise(*k, rng, &world.apple, world.objects[1]);
        ASSERT_EQ(layoutBytes(*k, STORED), listBytes(*k, STORED)) << "round " << round;
        ASSERT_EQ(layoutBytes(*k, Packet::FLAG_LOCAL_COPY), listBytes(*k, Packet::FLAG_LOCAL_COPY));
    }
    k->objectUID = keep.uid;
    // A text over its limit fails the same check on both paths.
    k->slots.resize(1);
    k->slots[0].label.assign(17, u'a');
    try {
        layoutBytes(*k, STORED);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"data->length() <= maxLength"), UString::npos);
    }
}

TEST_F(StreamLayout, ArraysAndPerObjectGroupsFollowEachObjectsState)
{
    ChangingThing a;
    ChangingThing b;
    const PropertyLayout* layout = PropertyLayout::of(a);
    a.count = 3;
    a.items[0] = 10;
    a.items[2] = -30;
    a.grows = {1, 2, 3, 4, 5};
    a.after = true;
    gOutsideValue = 99;
    EXPECT_EQ(layoutBytes(a, STORED), listBytes(a, STORED));
    Packet p(STORED);
    a.netSerializeData(p);
    p.rewindToRead();
    gOutsideValue = 0;
    b.netSerializeData(p);
    EXPECT_FALSE(p.hasMoreToRead());
    EXPECT_EQ(b.count, 3);
    EXPECT_EQ(b.items[2], -30);
    EXPECT_EQ(b.grows, a.grows);
    EXPECT_TRUE(b.after);
    EXPECT_EQ(gOutsideValue, 99);
    a.grows.clear();
    a.count = 1;
    EXPECT_EQ(layoutBytes(a, STORED), listBytes(a, STORED));
    EXPECT_EQ(PropertyLayout::of(a), layout);

    // Unflagged, the group's shape comes from the prototype and no longer matches: the check that
    // checked builds make on every object written finds it.
    UnflaggedThing loose;
    EXPECT_TRUE(PropertyLayout::matchesPropertyList(loose, STORED));
    loose.count = 2;
    EXPECT_FALSE(PropertyLayout::matchesPropertyList(loose, STORED));
#ifndef NDEBUG
    try {
        layoutBytes(loose, STORED);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Class 'UnflaggedThing' lists its properties differently from its layout.");
    }
#endif
}

TEST_F(StreamLayout, ReadingGivesTheValuesAndFatalMessagesOfThePropertyList)
{
    StreamWorld world;
    THEROLE = world.server.get();
    auto* full = static_cast<KindsThing*>(world.objects[5]);
    const std::vector<uint8_t> bytes = layoutBytes(*full, STORED);
    auto viaLayout = [](KindsThing& t, Packet& p) { t.netSerializeData(p); };
    auto viaList = [](KindsThing& t, Packet& p) {
        std::unique_ptr<PropertyContainer> list(t.getProperties());
        list->serialize(p);
    };
    const auto good = readOutcome(bytes, viaLayout);
    EXPECT_EQ(good.first, u"");
    EXPECT_EQ(good, readOutcome(bytes, viaList));
    {
        // Values of every length read back as the list reads them: integers of one to five bytes either
        // sign, plain and other texts.
        const int32_t uid = full->objectUID;
        std::mt19937 rng(777);
        for (int round = 0; round < 300; ++round) {
            randomise(*full, rng, &world.apple, world.objects[1]);
            const std::vector<uint8_t> values = layoutBytes(*full, STORED);
            const auto outcome = readOutcome(values, viaLayout);
            ASSERT_EQ(outcome.first, u"") << "round " << round;
            ASSERT_EQ(outcome, readOutcome(values, viaList)) << "round " << round;
            ASSERT_EQ(std::vector<uint8_t>(outcome.second.begin(), outcome.second.end() - 1), listBytes(*full, STORED));
        }
        full->objectUID = uid;
    }
    int fatal = 0;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        const auto outcome = readOutcome(cut, viaLayout);
        ASSERT_EQ(outcome, readOutcome(cut, viaList)) << "cut at " << length;
        fatal += !outcome.first.empty();
    }
    EXPECT_EQ(fatal, static_cast<int>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> damaged = bytes;
            damaged[i] ^= flip;
            ASSERT_EQ(readOutcome(damaged, viaLayout), readOutcome(damaged, viaList)) << "byte " << i;
        }
    }
    // A peer's message: the same faults drop the message instead of ending the program.
    constexpr uint32_t PEER = Packet::FLAG_COMMANDS | Packet::FLAG_PEER;
    int dropped = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::vector<uint8_t> damaged = bytes;
        damaged[i] ^= 0xFF;
        const auto outcome = readOutcome(damaged, viaLayout, PEER);
        ASSERT_EQ(outcome, readOutcome(damaged, viaList, PEER)) << "byte " << i;
        dropped += outcome.first.starts_with(u"dropped: ");
        EXPECT_TRUE(outcome.first.empty() || outcome.first.starts_with(u"dropped: ")) << "byte " << i;
    }
    EXPECT_GT(dropped, 0);
}

TEST_F(StreamLayout, ObjectTableKeepsFarUidsAndWalksInUidOrder)
{
    ObjectTable table;
    KivBase a, b, c, d;
    table.insert(5, &a);
    table.insert(0x7FFFFFF0, &b);
    table.insert(300000, &c);
    table.insert(2, &d);
    EXPECT_EQ(table.size(), 4u);
    EXPECT_EQ(table.get(5), &a);
    EXPECT_EQ(table.get(0x7FFFFFF0), &b);
    EXPECT_EQ(table.get(300000), &c);
    EXPECT_EQ(table.get(0x7FFFFFF1), nullptr);
    EXPECT_EQ(table.get(-4), nullptr);
    EXPECT_EQ(table.entries(), (std::vector<std::pair<int32_t, KivBase*>>{
                                   {2, &d}, {5, &a}, {300000, &c}, {0x7FFFFFF0, &b}}));
    const uint32_t mark = table.newMark();
    EXPECT_TRUE(table.markOnce(300000, &c, mark));
    EXPECT_FALSE(table.markOnce(300000, &c, mark));
    EXPECT_FALSE(table.markOnce(5, &b, mark)); // not the object registered there
    EXPECT_TRUE(table.isMarked(300000, mark));
    EXPECT_FALSE(table.isMarked(300000, table.newMark()));
    table.erase(300000);
    table.erase(300000);
    EXPECT_EQ(table.get(300000), nullptr);
    EXPECT_EQ(table.get(0x7FFFFFF0), &b);
    // Many far UIDs, removed and entered again, and a flat table that grows over some of them.
    std::vector<std::unique_ptr<KivBase>> many;
    for (int32_t i = 0; i < 2000; ++i) {
        many.push_back(std::make_unique<KivBase>());
        table.insert(1000000 + i * 977, many.back().get());
    }
    for (int32_t i = 0; i < 2000; i += 2) {
        table.erase(1000000 + i * 977);
    }
    for (int32_t i = 0; i < 300000; ++i) {
        if (table.get(100 + i) == nullptr) {
            table.insert(100 + i, &a);
        }
    }
    for (int32_t i = 0; i < 2000; ++i) {
        EXPECT_EQ(table.get(1000000 + i * 977), i % 2 ? many[static_cast<std::size_t>(i)].get() : nullptr);
    }
    const auto all = table.entries();
    EXPECT_EQ(all.size(), table.size());
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    // Walked like a map: the same pairs in the same order.
    std::vector<std::pair<int32_t, KivBase*>> walked;
    for (const auto& [uid, object] : table) {
        walked.emplace_back(uid, object);
    }
    EXPECT_EQ(walked, all);
}

// A stream may name any UID: far ones replay and write again like near ones.
TEST_F(StreamLayout, FarUidsReplayInTreeOrder)
{
    StreamWorld world;
    KivBase* last = world.objects.back();
    world.server->objectMap.erase(last->objectUID);
    last->objectUID = 0;
    world.server->registerObject(last, 0x7FFFFFFE);
    Packet state(STORED);
    world.server->writeFullState(state);
    auto copy = std::make_unique<TestServer>();
    copy->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    copy->bOwnsConnection = true;
    Packet level(STORED, 0);
    level.setReadData(state.data(), state.size());
    copy->start(&level);
    THEROLE = nullptr;
    ASSERT_NE(copy->findObjectOrNull(0x7FFFFFFE), nullptr);
    Packet again(STORED);
    copy->writeFullState(again);
    EXPECT_EQ(bytesOf(again), bytesOf(state));
}

// Every registered class that a stream can make: a fresh object writes through its layout what its
// property list writes, and reads back through the layout what the list reads.
TEST_F(StreamLayout, EveryRegisteredClassWritesAndReadsLikeItsPropertyList)
{
    StreamWorld world;
    THEROLE = world.server.get();
    int laidOut = 0;
    for (const RuntimeClass* runtimeClass : RuntimeClassManager::getInstance()->getClasses()) {
        if (!runtimeClass->hasFactory() || runtimeClass->isDerivedFrom(&RPC::classRecord)) {
            continue;
        }
        // Classes that need the engine's resources to be made are left to the tests that have them.
        std::unique_ptr<KivBase> object;
        try {
            object.reset(runtimeClass->create());
        } catch (const FatalError&) {
            continue;
        }
        if (PropertyLayout::of(*object) == nullptr) {
            continue;
        }
        ++laidOut;
        const UString name = runtimeClass->getName();
        for (uint32_t flags : {STORED, static_cast<uint32_t>(Packet::FLAG_LOCAL_COPY)}) {
            const std::vector<uint8_t> bytes = layoutBytes(*object, flags);
            EXPECT_EQ(bytes, listBytes(*object, flags)) << wideToUtf8(name);
            std::unique_ptr<KivBase> viaLayout(runtimeClass->create());
            std::unique_ptr<KivBase> viaList(runtimeClass->create());
            Packet a(flags, 0);
            a.setReadData(bytes.data(), bytes.size());
            viaLayout->netSerializeData(a);
            Packet b(flags, 0);
            b.setReadData(bytes.data(), bytes.size());
            std::unique_ptr<PropertyContainer> list(viaList->getProperties());
            list->serialize(b);
            EXPECT_EQ(a.getCursor(), bytes.size()) << wideToUtf8(name);
            EXPECT_EQ(listBytes(*viaLayout, flags), listBytes(*viaList, flags)) << wideToUtf8(name);
        }
    }
    EXPECT_GT(laidOut, 10);
}
