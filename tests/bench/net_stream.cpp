// Writing and replaying a stream of 10,000 objects with ten properties each (the shape of a large level
// file), next to a plain memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"
#include "engine/core/UColor.h"
#include "engine/core/PropertyContainer.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/RootObject.h"
#include "engine/net/Server.h"

// Every allocation through new is counted.
namespace {
uint64_t gAllocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int OBJECT_COUNT = 10000;

// Ten properties of the usual kinds (KivBase adds its UID and state before them).
class BenchThing : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override
    {
        KivBase::addPropertiesTo(list);
        list.appendChild(new PropertyInt(u"count", 0, &count));
        list.appendChild(new PropertyFloat(u"x", 0, &x));
        list.appendChild(new PropertyFloat(u"y", 0, &y));
        list.appendChild(new PropertyDouble(u"time", 0, &time));
        list.appendChild(new PropertyBool(u"bVisible", 0, &bVisible));
        list.appendChild(new PropertyDWORD(u"flags", 0, &flags));
        list.appendChild(new PropertyUColor(u"colour", 0, &colour));
        list.appendChild(new PropertyUString(u"name", 0, &name));
        list.appendChild(new PropertyPointer(u"pNext", 0, &pNext, &BenchThing::classRecord));
        list.appendChild(new PropertyEnum<int32_t>(u"kind", 0, &kind, 8));
    }
    int32_t count = 0;
    float x = 0.0f;
    float y = 0.0f;
    double time = 0.0;
    bool bVisible = true;
    uint32_t flags = 0;
    UColor colour;
    UString name;
    BenchThing* pNext = nullptr;
    int32_t kind = 0;
};
const RuntimeClass BenchThing::classRecord(u"BenchThing", &KivBase::classRecord, &RuntimeClass::factoryOf<BenchThing>);

class BenchServer : public Server {
public:
    BenchServer() : Server(2, 4, u"TobbleXmasdemo", 1.25, u"bench", 0.05)
    {
        connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
        bOwnsConnection = true;
    }

protected:
    RootObject* createRootObject() override { return new RootObject(); }
};

// Objects of the kind that BenchThing stands for; plain objects (a KivBase's UID and state alone) show
// what each object costs apart from its properties.
enum class Objects { THINGS, PLAIN };

std::unique_ptr<BenchServer> makeWorld(Objects objects = Objects::THINGS)
{
    auto server = std::make_unique<BenchServer>();
    server->start(nullptr);
    KivBase* list = new KivBase();
    server->registerObject(list, 0);
    server->root->appendChild(list);
    BenchThing* previous = nullptr;
    for (int i = 0; i < OBJECT_COUNT; ++i) {
        if (objects == Objects::PLAIN) {
            auto* plain = new KivBase();
            server->registerObject(plain, 0);
            list->appendChild(plain);
            continue;
        }
        auto* thing = new BenchThing();
        server->registerObject(thing, 0);
        list->appendChild(thing);
        thing->count = i * 37;
        thing->x = i * 1.5f;
        thing->y = -i * 0.25f;
        thing->time = i / 3.0;
        thing->bVisible = i % 3 != 0;
        thing->flags = 0x10001u * static_cast<uint32_t>(i);
        thing->colour = UColor(0xFF000000u | static_cast<uint32_t>(i));
        thing->name = u"apple";
        thing->pNext = previous;
        thing->kind = i % 8;
        previous = thing;
    }
    server->outgoing.reset();
    return server;
}

void writeStream(benchmark::State& state)
{
    auto server = makeWorld(static_cast<Objects>(state.range(0)));
    std::size_t bytes = 0;
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = gAllocations;
        Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
        server->writeFullState(packet);
        allocations = gAllocations - before;
        bytes = packet.size();
        benchmark::DoNotOptimize(packet.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["streamBytes"] = static_cast<double>(bytes);
    state.counters["allocsPerObject"] = static_cast<double>(allocations) / OBJECT_COUNT;
    THEROLE = nullptr;
}

void replayStream(benchmark::State& state)
{
    std::vector<uint8_t> bytes;
    {
        auto server = makeWorld(static_cast<Objects>(state.range(0)));
        Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
        server->writeFullState(packet);
        bytes.assign(packet.data(), packet.data() + packet.size());
    }
    uint64_t allocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto server = std::make_unique<BenchServer>();
        Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, static_cast<int>(bytes.size()));
        packet.setReadData(bytes.data(), bytes.size());
        state.ResumeTiming();
        const uint64_t before = gAllocations;
        server->start(&packet);
        allocations = gAllocations - before;
        state.PauseTiming();
        server.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["allocsPerObject"] = static_cast<double>(allocations) / OBJECT_COUNT;
    THEROLE = nullptr;
}

// Write plus replay against one memcpy of the same bytes, each the best of five runs in this one run: the
// figure that matters for level loading and joining peers.
void writeAndReplayAgainstMemcpy(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    auto server = makeWorld();
    std::vector<uint8_t> bytes;
    double write = 1e9;
    double replay = 1e9;
    double copy = 1e9;
    uint64_t writeAllocations = 0;
    uint64_t replayAllocations = 0;
    // The copy's target is made and touched once, as memcpySameBytes has it.
    std::vector<uint8_t> to(1u << 21, 0x5A);
    for (auto _ : state) {
        for (int run = 0; run < 5; ++run) {
            Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
            const uint64_t beforeWrite = gAllocations;
            const auto t0 = Clock::now();
            server->writeFullState(packet);
            write = std::min(write, seconds(Clock::now() - t0));
            writeAllocations = gAllocations - beforeWrite;
            bytes.assign(packet.data(), packet.data() + packet.size());

            auto target = std::make_unique<BenchServer>();
            Packet level(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, static_cast<int>(bytes.size()));
            level.setReadData(bytes.data(), bytes.size());
            const uint64_t beforeReplay = gAllocations;
            const auto t1 = Clock::now();
            target->start(&level);
            replay = std::min(replay, seconds(Clock::now() - t1));
            replayAllocations = gAllocations - beforeReplay;
            target.reset();
            THEROLE = server.get();
        }
        // The copy five times in a row, so that it runs from the caches as the stream code does at best.
        for (int run = 0; run < 5; ++run) {
            const auto t2 = Clock::now();
            std::memcpy(to.data(), bytes.data(), bytes.size());
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
            copy = std::min(copy, seconds(Clock::now() - t2));
        }
    }
    state.counters["writeMs"] = write * 1e3;
    state.counters["replayMs"] = replay * 1e3;
    state.counters["memcpyUs"] = copy * 1e6;
    state.counters["timesMemcpy"] = (write + replay) / copy;
    state.counters["writeAllocsPerObject"] = static_cast<double>(writeAllocations) / OBJECT_COUNT;
    state.counters["replayAllocsPerObject"] = static_cast<double>(replayAllocations) / OBJECT_COUNT;
    THEROLE = nullptr;
}

void memcpySameBytes(benchmark::State& state)
{
    std::size_t size = 0;
    {
        auto server = makeWorld();
        Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
        server->writeFullState(packet);
        size = packet.size();
    }
    std::vector<uint8_t> from(size, 0x5A);
    std::vector<uint8_t> to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
    THEROLE = nullptr;
}

// What any replay of the stream does whatever its encoding: make the objects, register them under their
// UIDs and hang them in the tree, with nothing read. Against memcpySameBytes, the floor of replayStream.
void objectsOnly(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto server = std::make_unique<BenchServer>();
        server->bAllowNewObjectRegistations = false;
        server->start(nullptr);
        KivBase* list = new KivBase();
        server->registerObject(list, 2);
        server->root->appendChild(list);
        state.ResumeTiming();
        for (int i = 0; i < OBJECT_COUNT; ++i) {
            auto* thing = new BenchThing();
            server->registerObject(thing, i + 3);
            list->appendChild(thing);
        }
        state.PauseTiming();
        server.reset();
        state.ResumeTiming();
    }
    THEROLE = nullptr;
}

// Only building and deleting every object's property list, as writing and replaying each do once per
// object: the share of the stream's time that lies outside the packet and the role.
void propertyListsOnly(benchmark::State& state)
{
    auto server = makeWorld();
    const std::vector<KivBase*> order = server->getObjectsInTreeOrder();
    for (auto _ : state) {
        for (KivBase* o : order) {
            std::unique_ptr<PropertyContainer> list(o->getProperties());
            benchmark::DoNotOptimize(list.get());
        }
    }
    THEROLE = nullptr;
}

} // namespace

BENCHMARK(writeStream)->Arg(0)->Arg(1)->ArgName("plain")->Unit(benchmark::kMillisecond);
BENCHMARK(replayStream)->Arg(0)->Arg(1)->ArgName("plain")->Unit(benchmark::kMillisecond);
BENCHMARK(memcpySameBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(writeAndReplayAgainstMemcpy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(objectsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(propertyListsOnly)->Unit(benchmark::kMillisecond);
