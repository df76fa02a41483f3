#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/KivBase.h"
#include "engine/core/Logger.h"
#include "engine/core/RuntimeClassManager.h"

namespace {
class RegRoot : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
};
class RegGame : public RegRoot {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
};
class RegHashed : public RegRoot {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
};
class RegAbstract : public KivBase {
public:
    static const RuntimeClass classRecord;
};

const RuntimeClass RegRoot::classRecord(u"RegRoot", &KivBase::classRecord, &RuntimeClass::factoryOf<RegRoot>);
const RuntimeClass RegGame::classRecord(0x0badc0deu, &RegRoot::classRecord, &RuntimeClass::factoryOf<RegGame>);
const RuntimeClass RegHashed::classRecord(RuntimeClass::hashName(u"RegHashed"), &RegRoot::classRecord,
                                          &RuntimeClass::factoryOf<RegHashed>);
const RuntimeClass RegAbstract::classRecord(u"RegAbstract", &KivBase::classRecord, nullptr);
} // namespace

TEST(RuntimeClass, IdHashIsTimes33PlusEachUtf16Unit)
{
    static_assert(RuntimeClass::hashName(u"") == 0);
    EXPECT_EQ(RuntimeClass::hashName(u"a"), 97u);
    EXPECT_EQ(RuntimeClass::hashName(u"ab"), 97u * 33u + 98u);
    // Wraps modulo 2^32 and takes units above 0xFF whole.
    EXPECT_EQ(RuntimeClass::hashName(u"\u20ac"), 0x20acu);
    uint32_t h = 0;
    for (char16_t c : UString(u"ContextLevelManager")) {
        h = static_cast<uint32_t>((static_cast<uint64_t>(h) * 33u + c) & 0xffffffffu);
    }
    EXPECT_EQ(RuntimeClass::hashName(u"ContextLevelManager"), h);
    EXPECT_EQ(KivBase::classRecord.getId(), RuntimeClass::hashName(u"KivBase"));
}

TEST(RuntimeClass, GameClassesRegisterUnderTheirIdInLowerCaseHex)
{
    EXPECT_EQ(RegGame::classRecord.getName(), u"_0badc0de");
    EXPECT_EQ(RegGame::classRecord.getId(), 0x0badc0deu);
    EXPECT_EQ(RegHashed::classRecord.getName(), formatString(u"_%08x", RuntimeClass::hashName(u"RegHashed")));
    EXPECT_EQ(RegRoot::classRecord.getName(), u"RegRoot");
}

TEST(RuntimeClassManager, ArrayIsSortedByUtf16UnitsAndIndexIsPosition)
{
    RuntimeClassManager* m = RuntimeClassManager::getInstance();
    m->buildClassArray();
    EXPECT_FALSE(m->bBadClasses);
    const auto& classes = m->getClasses();
    ASSERT_GE(classes.size(), 5u);
    for (std::size_t i = 0; i < classes.size(); ++i) {
        EXPECT_EQ(classes[i]->getIndex(), static_cast<int32_t>(i));
        if (i > 0) {
            EXPECT_LT(classes[i - 1]->getName(), classes[i]->getName());
        }
        EXPECT_EQ(m->getClassByIndex(static_cast<int32_t>(i)), classes[i]);
    }
    // Code-unit order: upper case, then "_", then lower case.
    EXPECT_LT(RegRoot::classRecord.getIndex(), RegGame::classRecord.getIndex());
    EXPECT_EQ(m->getClassByIndex(-1), nullptr);
    EXPECT_EQ(m->getClassByIndex(m->getClassCount()), nullptr);
}

TEST(RuntimeClassManager, LookUpByNameAndIdAndCreateThroughTheFactory)
{
    RuntimeClassManager* m = RuntimeClassManager::getInstance();
    EXPECT_EQ(m->findClassByName(u"_0badc0de"), &RegGame::classRecord);
    EXPECT_EQ(m->findClassByName(u"RegRoot"), &RegRoot::classRecord);
    EXPECT_EQ(m->findClassByName(u"regroot"), nullptr);
    EXPECT_EQ(m->findClassByName(u""), nullptr);
    EXPECT_EQ(m->findClassById(0x0badc0deu), &RegGame::classRecord);
    EXPECT_EQ(m->findClassById(RuntimeClass::hashName(u"KivBase")), &KivBase::classRecord);

    std::unique_ptr<KivBase> made(RegGame::classRecord.create());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getClass(), &RegGame::classRecord);
    EXPECT_TRUE(made->isDerivedFrom(&RegRoot::classRecord));
    EXPECT_TRUE(made->isDerivedFrom(&KivBase::classRecord));
    EXPECT_FALSE(made->isDerivedFrom(&RegHashed::classRecord));
    EXPECT_TRUE(RegGame::classRecord.isDerivedFrom(&RegGame::classRecord));
    EXPECT_FALSE(RegRoot::classRecord.isDerivedFrom(&RegGame::classRecord));
    EXPECT_FALSE(RegRoot::classRecord.isDerivedFrom(nullptr));
    EXPECT_EQ(RegAbstract::classRecord.create(), nullptr);
}

TEST(RuntimeClassManager, DuplicateNamesStopTheProgramUntilTheDuplicateGoes)
{
    ErrorManager::setThrowForTests(true);
    RuntimeClassManager* m = RuntimeClassManager::getInstance();
    const int32_t count = m->getClassCount();
    {
        RuntimeClass duplicate(u"RegRoot", &KivBase::classRecord, nullptr);
        std::vector<UString> lines;
        Logger::setObserver([&](UStringView line) { lines.emplace_back(line); });
        try {
            m->findClassByName(u"RegRoot");
            ADD_FAILURE() << "a duplicate name must be fatal";
        } catch (const FatalError& e) {
            EXPECT_EQ(e.message, u"Assertion failed.");
            EXPECT_NE(e.report.find(u"Statement: !bBadClasses"), UString::npos);
        }
        Logger::setObserver(nullptr);
        EXPECT_TRUE(m->bBadClasses);
        EXPECT_EQ(m->getClassCount(), count + 1);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), u"RuntimeClassManager::buildClassArray(): Duplicate class name 'RegRoot'.");
    }
    m->buildClassArray();
    EXPECT_FALSE(m->bBadClasses);
    EXPECT_EQ(m->getClassCount(), count);
    EXPECT_EQ(m->findClassByName(u"RegRoot"), &RegRoot::classRecord);
}

TEST(RuntimeClassManager, AddingAClassShiftsTheIndicesAfterIt)
{
    RuntimeClassManager* m = RuntimeClassManager::getInstance();
    m->buildClassArray();
    const int32_t before = RegRoot::classRecord.getIndex();
    {
        RuntimeClass early(u"AAAFirst", &KivBase::classRecord, nullptr);
        m->buildClassArray();
        EXPECT_EQ(early.getIndex(), 0);
        EXPECT_EQ(RegRoot::classRecord.getIndex(), before + 1);
    }
    m->buildClassArray();
    EXPECT_EQ(RegRoot::classRecord.getIndex(), before);
}
