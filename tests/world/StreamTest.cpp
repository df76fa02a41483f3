// Every world class through a level stream and back, the values a damaged level file may carry, clamped
// with a warning when the objects arrive, and the most objects a saved level may hold.
#include "WorldFixture.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>

#include "CrowdedLevel.h"
#include "LevelFixture.h"

#include "engine/core/Format.h"
#include "engine/files/FileIO.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "game/editor/EditorSession.h"
#include "game/front/MyGlobal.h"
#include "game/level/ContextLevelManager.h"
#include "game/userdata/ProfileData.h"
#include "game/world/Apple.h"
#include "game/world/BasketA.h"
#include "game/world/BasketB.h"
#include "game/world/BasketC.h"
#include "game/world/BasketD.h"
#include "game/world/Compass.h"
#include "game/world/DangerArea.h"
#include "game/world/Explodable.h"
#include "game/world/House.h"
#include "game/world/Hull.h"
#include "game/world/Ladder.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/PathSkin.h"
#include "game/world/Piglet.h"
#include "game/world/SecretArea.h"
#include "game/world/Sweet.h"
#include "game/world/Switch.h"
#include "game/world/Telescope.h"
#include "game/world/Terrain.h"
#include "game/world/TriggerHint.h"
#include "game/world/Umbrella.h"
#include "game/world/WingedHat.h"

namespace {
// "name=value" for every leaf of a property tree; object pointers as the UID of their target.
void flatten(const Property& p, const UString& prefix, std::vector<UString>& out)
{
    const UString name = prefix + p.name;
    if (p.getFirstProperty() != nullptr && p.getClass() != &PropertyPointer::classRecord) {
        for (Property* c = p.getFirstProperty(); c != nullptr; c = c->getNextProperty()) {
            flatten(*c, name + u".", out);
        }
        return;
    }
    if (p.getClass() == &PropertyPointer::classRecord && !static_cast<const PropertyPointer&>(p).isResource()) {
        const KivBase* target = static_cast<const PropertyPointer&>(p).get();
        out.push_back(name + u"=#" + formatString(u"%d", target != nullptr ? target->objectUID : 0));
    } else if (p.getClass() == &PropertyReferenceBase::classRecord) {
        const KivBase* target = static_cast<const PropertyReferenceBase&>(p).get();
        out.push_back(name + u"=#" + formatString(u"%d", target != nullptr ? target->objectUID : 0));
    } else {
        out.push_back(name + u"=" + p.toString());
    }
}

std::vector<UString> propertiesOf(KivBase& object)
{
    std::unique_ptr<PropertyContainer> list(object.getProperties());
    std::vector<UString> out;
    for (Property* c = list->getFirstProperty(); c != nullptr; c = c->getNextProperty()) {
        flatten(*c, UString(), out);
    }
    return out;
}

// The warnings logged since it was made, as the harness of the shared environment collects every line (an
// observer of its own would take the log from the harness for the tests after it).
struct WarningLog {
    explicit WarningLog(const KivHarness& h) : harness(h), from(h.logLines().size()) {}
    bool mentions(UStringView what) const
    {
        const std::string text = wideToUtf8(what);
        const std::vector<std::string>& lines = harness.logLines();
        for (std::size_t i = from; i < lines.size(); ++i) {
            if (lines[i].find("Warning:") != std::string::npos && lines[i].find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    const KivHarness& harness;
    std::size_t from;
};
} // namespace

TEST_F(WorldTest, EveryWorldClassComesBackFromAStreamWithTheSameValues)
{
    LevelBuilder builder;
    flatLevel(builder);
    std::vector<KivBase*> made;
    auto keep = [&](EditorObject* o) {
        o->rotation.z = 0.25f;
        o->scale = V3{1.5f, 0.75f, 1.0f};
        o->color = UColor(0x80c0ffeeu);
        made.push_back(o);
        return o;
    };
    keep(add<EditorObject>(builder, V3{10.0f, 20.0f, 1.0f}));
    auto* prop = static_cast<A99Object*>(keep(add<A99Object>(builder, V3{-10.0f, 5.0f, 0.0f})));
    prop->groundMaterial = A99Object::GROUND_ICE;
    prop->collisionSensitivity = 2.5f;
    prop->createHull();
    prop->pHull->bOneWay = true;
    prop->pHull->addHullPoint(-20.0f, 0.0f, 0.0f, true);
    prop->pHull->addHullPoint(20.0f, 4.0f, 0.0f, true);
    made.push_back(prop->pHull);
    auto* area = static_cast<TriggerArea*>(keep(add<TriggerArea>(builder, V3{1.0f, 2.0f, 0.0f})));
    area->triggerRadius = 33.0f;
    area->triggerHalfHeight = 12.0f;
    auto* path = static_cast<PathSkin*>(keep(add<PathSkin>(builder, V3{5.0f, 6.0f, 0.0f})));
    path->vertices = {{V3{0.0f, 0.0f, 0.0f}, V3{10.0f, 0.0f, 0.0f}}, {V3{100.0f, 50.0f, 0.0f}, V3{0.0f, 10.0f, 0.0f}}};
    path->deformSegments = 12;
    path->skinBulge = 0.5f;
    auto* terrain = new Terrain();
    builder.add(terrain->getHomeList(), terrain);
    terrain->construct(128, 4);
    terrain->heights = {0.0f, 10.0f, 20.0f, 15.0f, 5.0f};
    made.push_back(terrain);
    auto* piglet = new Piglet();
    builder.add(piglet->getHomeList(), piglet);
    piglet->construct(3);
    made.push_back(piglet);
    auto* apple = static_cast<Apple*>(keep(add<Apple>(builder, V3{300.0f, 30.0f, 0.0f})));
    apple->bSuperApple = true;
    apple->velocity = V3{12.0f, -3.0f, 0.0f};
    auto* basket = static_cast<Basket*>(keep(add<BasketB>(builder, V3{320.0f, 30.0f, 0.0f})));
    auto* inBasket = static_cast<Apple*>(keep(add<Apple>(builder, V3{320.0f, 30.0f, 0.0f})));
    inBasket->pBasket = basket;
    inBasket->basketSlot = 2;
    keep(add<Cargo>(builder, V3{340.0f, 30.0f, 0.0f}));
    keep(add<BasketA>(builder, V3{360.0f, 30.0f, 0.0f}));
    keep(add<BasketC>(builder, V3{380.0f, 30.0f, 0.0f}));
    keep(add<BasketD>(builder, V3{400.0f, 30.0f, 0.0f}));
    keep(add<WingedHat>(builder, V3{420.0f, 30.0f, 0.0f}));
    static_cast<Umbrella*>(keep(add<Umbrella>(builder, V3{440.0f, 30.0f, 0.0f})))->bOpen = true;
    keep(add<Compass>(builder, V3{460.0f, 30.0f, 0.0f}));
    auto* dynamite = static_cast<Explodable*>(keep(add<Explodable>(builder, V3{480.0f, 30.0f, 0.0f})));
    auto* lever = static_cast<Switch*>(keep(add<Switch>(builder, V3{500.0f, 30.0f, 0.0f})));
    lever->pTarget.set(dynamite);
    lever->bButton = true;
    auto* scope = static_cast<Telescope*>(keep(add<Telescope>(builder, V3{520.0f, 30.0f, 0.0f})));
    scope->lookAt = V3{900.0f, 400.0f, 0.0f};
    scope->holdTime = 3.0f;
    auto* first = static_cast<TriggerHint*>(keep(add<TriggerHint>(builder, V3{540.0f, 30.0f, 0.0f})));
    first->hintTitleID = u"HINT";
    first->hintTextID = u"HINTJUMP";
    auto* hint = static_cast<TriggerHint*>(keep(add<TriggerHint>(builder, V3{560.0f, 30.0f, 0.0f})));
    hint->hintTextID = u"HINTSIGN";
    hint->bSpeechBubble = true;
    hint->bAutomatic = true;
    hint->originator.set(lever);
    hint->previousHint.set(first);
    hint->hintNudge = V3{4.0f, 5.0f, 0.0f};
    hint->hintDelay = 0.5f;
    static_cast<DangerArea*>(keep(add<DangerArea>(builder, V3{580.0f, 30.0f, 0.0f})))->kind = DangerArea::KIND_THORNS;
    keep(add<SecretArea>(builder, V3{600.0f, 30.0f, 0.0f}));
    keep(add<Sweet>(builder, V3{620.0f, 30.0f, 0.0f}));
    keep(add<Ladder>(builder, V3{640.0f, 30.0f, 0.0f}));
    static_cast<House*>(builder.controller().findHouse())->doorRadius = 120.0f;
    made.push_back(builder.controller().findHouse());
    made.push_back(builder.controller().findHero());

    // What the objects work out from their values (lengths, sizes) is worked out before the snapshot.
    for (KivBase* o : made) {
        if (auto* e = dynamic_cast<EditorObject*>(o)) {
            e->afterEdit();
        }
    }
    std::map<int32_t, std::vector<UString>> before;
    for (KivBase* o : made) {
        before[o->objectUID] = propertiesOf(*o);
    }
    load(builder, true);
    for (KivBase* o : made) {
        KivBase* copy = find(o->objectUID);
        ASSERT_NE(copy, nullptr) << "object " << o->objectUID;
        EXPECT_EQ(copy->getClass(), o->getClass());
        std::vector<UString> after = propertiesOf(*copy);
        std::vector<UString> expected = before[o->objectUID];
        // Loading gives an object without a picture the one of its class; nothing else changes.
        auto dropSkin = [](std::vector<UString>& v) {
            std::erase_if(v, [](const UString& s) { return s.rfind(u"pSkin=", 0) == 0; });
        };
        dropSkin(after);
        dropSkin(expected);
        EXPECT_EQ(after, expected) << "object " << o->objectUID;
    }
    // What was loaded writes itself the same way again.
    const std::vector<uint8_t> once = fullState();
    Packet again(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    again.doBytes(const_cast<uint8_t*>(once.data()), once.size());
    again.rewindToRead();
    auto second = std::make_unique<GameServer>(2, 4, u"TobbleXmasdemo", 1.25, u"");
    second->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    second->bOwnsConnection = true;
    second->bEditing = true;
    second->start(&again);
    Packet twice(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    THEROLE = second.get();
    second->writeFullState(twice);
    EXPECT_EQ(std::vector<uint8_t>(twice.data(), twice.data() + twice.size()), once);
    second.reset();
    THEROLE = server.get();
}

TEST_F(WorldTest, DamagedValuesAreClampedWithAWarningWhenALevelArrives)
{
    LevelBuilder builder;
    flatLevel(builder);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto* apple = add<Apple>(builder, V3{nan, 1.0e30f, 0.0f});
    apple->scale.x = std::numeric_limits<float>::infinity();
    auto* terrain = new Terrain();
    builder.add(terrain->getHomeList(), terrain);
    terrain->construct(64, 4);
    terrain->segmentCount = 0;
    terrain->heights.assign(5000, 1.0f);
    auto* big = new Terrain();
    builder.add(big->getHomeList(), big);
    big->construct(64, 4);
    big->segmentCount = 100000;
    auto* piglet = new Piglet();
    builder.add(piglet->getHomeList(), piglet);
    piglet->construct(2);
    piglet->type = 9;
    auto* basket = add<BasketA>(builder, V3{});
    auto* slotted = add<Apple>(builder, V3{});
    slotted->pBasket = basket;
    slotted->basketSlot = 99;
    auto* notABasket = add<Apple>(builder, V3{});
    notABasket->pBasket = reinterpret_cast<Basket*>(add<Sweet>(builder, V3{})); // the wrong class
    auto* lever = add<Switch>(builder, V3{});
    lever->pTarget.set(builder.controller().objectList); // not a world object
    auto* hint = add<TriggerHint>(builder, V3{});
    hint->hintTextID = u"NOSUCHHINTKEY";
    hint->triggerRadius = std::numeric_limits<float>::infinity();

    WarningLog warnings(env->harness);
    load(builder, true);
    auto* a = loaded<Apple>(apple);
    EXPECT_EQ(a->position.x, 0.0f);
    EXPECT_EQ(a->position.y, LevelDataCheck::MAX_COORDINATE);
    EXPECT_EQ(a->scale.x, 1.0f);
    auto* t = loaded<Terrain>(terrain);
    EXPECT_EQ(t->segmentCount, 1);
    EXPECT_EQ(t->heights.size(), 2u);
    auto* tb = loaded<Terrain>(big);
    EXPECT_EQ(tb->segmentCount, Terrain::MAX_SEGMENTS);
    EXPECT_EQ(tb->heights.size(), static_cast<std::size_t>(Terrain::MAX_SEGMENTS) + 1);
    EXPECT_EQ(loaded<Piglet>(piglet)->type, 4);
    auto* s = loaded<Apple>(slotted);
    EXPECT_EQ(s->pBasket, loaded<Basket>(basket));
    EXPECT_EQ(s->basketSlot, 0) << "the next free slot instead of one past the end";
    EXPECT_EQ(loaded<Apple>(notABasket)->pBasket, nullptr);
    EXPECT_EQ(loaded<Switch>(lever)->getTarget(), nullptr);
    EXPECT_EQ(loaded<TriggerHint>(hint)->triggerRadius, 64.0f);
    for (const char16_t* what : {u"'position.x' is not a number", u"'position.y'", u"'scale.x'", u"'segmentCount'",
                                 u"'heights'", u"'type' 9", u"'basketSlot' 99", u"'pBasket'", u"'pTarget'",
                                 u"NOSUCHHINTKEY", u"'triggerRadius'"}) {
        EXPECT_TRUE(warnings.mentions(what)) << "no warning about " << wideToUtf8(what);
    }

    // A hint key typed in the editor beyond 1023 bytes is cut, on a character boundary.
    auto* h = loaded<TriggerHint>(hint);
    h->hintTitleID = UString(1020, u'A') + u"\u00e9\u00e9";
    h->checkLoadedValues();
    EXPECT_EQ(h->hintTitleID, UString(1020, u'A') + u"\u00e9");
    EXPECT_TRUE(warnings.mentions(u"'hintTitleID' is longer than 1023 bytes"));
}

// A copy of level 5 saved with a crowd of apples where the editor makes them (Ctrl+X at one spot): with 500
// apples (the most a list may hold) in its apple list it is played, the crowd landing and coming to rest with
// none lost; with one more, or 4000, it is refused with the list and its count, kept aside as <copy>.bad, and
// the archive's level is played instead.
TEST_F(WorldTest, ASavedLevelCrowdedToTheLimitIsPlayedAndOnePastItIsRefused)
{
    constexpr int LEVEL = 5;
    constexpr int LIMIT = 500;
    const std::vector<uint8_t> atLimit = CrowdedLevel::savedCopy(LEVEL, LIMIT, CrowdedLevel::Layout::ONE_SPOT);
    if (atLimit.empty()) {
        GTEST_SKIP() << "The level archive holds no level 5.";
    }
    {
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
        stream.setReadData(atLimit.data(), atLimit.size());
        ContextLevelManager played(stream);
        GameController* level = played.getGameController();
        ASSERT_NE(level, nullptr);
        THEROLE = played.server;
        level->gotoState(GameController::STATE_PLAYING, 0.0);
        for (int step = 0; step < 120; ++step) {
            clock += STEP;
            THEROLE = played.server;
            level->tickEntry(clock, STEP);
        }
        THEROLE = played.server;
        EXPECT_EQ(level->appleList->countChildren(), LIMIT);
        for (KivBase* a = level->appleList->getFirstChild(); a != nullptr; a = a->getNext()) {
            const auto* apple = static_cast<Apple*>(a);
            EXPECT_FALSE(apple->bLost) << "apple " << apple->objectUID;
            EXPECT_LT(std::hypot(apple->velocity.x, apple->velocity.y), 1.0f) << "apple " << apple->objectUID;
        }
    }
    THEROLE = nullptr;

    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(LEVEL));
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    // Started with "-editor" for the saved copy to be read.
    struct EditorAllowed {
        MyGlobal& global;
        explicit EditorAllowed(MyGlobal& g) : global(g) { global.bEditorAllowed = true; }
        ~EditorAllowed() { global.bEditorAllowed = false; }
    } allowed(*env->global);
    for (const int apples : {LIMIT + 1, 4000}) {
        SCOPED_TRACE(apples);
        const std::vector<uint8_t> copy = CrowdedLevel::savedCopy(LEVEL, apples, CrowdedLevel::Layout::ONE_SPOT);
        ASSERT_TRUE(FileIO::writeFileReplacing(path, copy.data(), copy.size()));
        const int from = static_cast<int>(env->harness.logLines().size());
        {
            ContextLevelManager manager(LEVEL);
            ASSERT_NE(manager.getGameController(), nullptr);
            EXPECT_LT(manager.getGameController()->appleList->countChildren(), 100) << "the archive's level";
            THEROLE = manager.server;
        }
        THEROLE = nullptr;
        EXPECT_GE(env->harness.logIndex("The edited level " + path + " cannot be used (its controller's appleList holds " +
                                            std::to_string(apples) + " objects; at most " + std::to_string(LIMIT) +
                                            " can be played); the archive's is used.",
                                        from),
                  0);
        std::vector<uint8_t> keptAside;
        EXPECT_TRUE(FileIO::readWholeFile(path + ".bad", keptAside));
        EXPECT_EQ(keptAside, copy);
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".bad");
    }
}
