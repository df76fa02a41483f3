// Class look-up by name and by id in the sorted class registry, and formatString.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/core/Format.h"
#include "engine/core/RuntimeClassManager.h"

namespace {
// Enough extra records to give the registry the size of the game's (a few hundred classes).
struct ExtraClasses {
    ExtraClasses()
    {
        for (uint32_t i = 0; i < 400; ++i) {
            records.push_back(std::make_unique<RuntimeClass>(0x1000u + i * 7919u, nullptr, nullptr));
        }
        RuntimeClassManager::getInstance()->buildClassArray();
    }
    std::vector<std::unique_ptr<RuntimeClass>> records;
};

ExtraClasses& extraClasses()
{
    static ExtraClasses extra;
    return extra;
}

void BM_FindClassByName(benchmark::State& state)
{
    auto& extra = extraClasses();
    RuntimeClassManager* m = RuntimeClassManager::getInstance();
    std::vector<UString> names;
    for (const auto& r : extra.records) {
        names.push_back(r->getName());
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m->findClassByName(names[i]));
        i = (i + 1) % names.size();
    }
    state.SetLabel(std::to_string(m->getClassCount()) + " classes");
}
BENCHMARK(BM_FindClassByName);

void BM_FindClassById(benchmark::State& state)
{
    auto& extra = extraClasses();
    RuntimeClassManager* m = RuntimeClassManager::getInstance();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m->findClassById(extra.records[i]->getId()));
        i = (i + 1) % extra.records.size();
    }
}
BENCHMARK(BM_FindClassById);

void BM_ClassByIndex(benchmark::State& state)
{
    extraClasses();
    RuntimeClassManager* m = RuntimeClassManager::getInstance();
    const int32_t count = m->getClassCount();
    int32_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m->getClassByIndex(i));
        i = (i + 1) % count;
    }
}
BENCHMARK(BM_ClassByIndex);

void BM_FormatLogLine(benchmark::State& state)
{
    const UString message = u"Loading level: ./levels/b1.lev";
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatString(u"%s(): %s", "ContextLevelManager::ContextLevelManager", message));
    }
}
BENCHMARK(BM_FormatLogLine);

void BM_FormatNumbers(benchmark::State& state)
{
    UString out;
    for (auto _ : state) {
        formatStringInto(out, u"%d %08x %.9lf %02d:%02d", 1234567, 0xdeadbeefu, 3.14159265358979, 1, 23);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_FormatNumbers);
} // namespace
