// The level's parts on their own: message displays and their glyphs, the camera modifiers and the
// playing area, the explored grid, the action-target rule, a switched object's bodies, a hull's runs, the
// controller's construction on a client, the level header read from a file, remote calls from peers, and the
// registered class names.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include <box2d/box2d.h>

#include "LevelFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/Client.h"
#include "engine/net/KivBaseCalls.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetConnection.h"
#include "engine/net/Packet.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Skin.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/level/CameraFollowHero.h"
#include "game/level/CameraLookAt.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextSky.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/FadingGlyph.h"
#include "game/level/GameController.h"
#include "game/level/GameControllerCalls.h"
#include "game/level/GameServer.h"
#include "game/level/LevelBuilder.h"
#include "game/level/LevelServices.h"
#include "game/level/MyRootObject.h"
#include "game/overlays/OverlayStatistics.h"
#include "game/world/A99Object.h"
#include "game/world/Cargo.h"
#include "game/world/Hull.h"
#include "game/world/HullSegment.h"
#include "game/world/HullVertex.h"
#include "game/world/PhysicsWorld.h"
#include "game/world/Pig.h"
#include "game/world/TerrainDeco.h"

namespace {

// The current role is the level's server for the length of a block of checks made outside its ticks.
class AsLevelRole {
public:
    explicit AsLevelRole(NetRole* role) { THEROLE = role; }
    ~AsLevelRole() { THEROLE = nullptr; }
};

// An object whose action query answers yes; it fills in its priority and distance only when asked to.
class Offer : public A99Object {
public:
    Offer(bool fills, int32_t priority, float distance) : fills(fills), priority(priority), distance(distance) {}
    bool queryAction(const V3& /*hero*/, int32_t& outPriority, float& outDistance) override
    {
        if (fills) {
            outPriority = priority;
            outDistance = distance;
        }
        return true;
    }
    bool fills;
    int32_t priority;
    float distance;
};

// No action target, as each frame's search starts.
void clearTarget(GameController& gc)
{
    gc.actionTarget.set(nullptr);
    gc.actionTargetPriority = 0;
    gc.actionTargetDistance = GameController::NO_TARGET_DISTANCE;
}

float screenW() { return static_cast<float>(KivGraphics::instance()->width); }
float screenH() { return static_cast<float>(KivGraphics::instance()->height); }

} // namespace

TEST_F(LevelTest, MessageGlyphsFadeInStayAndFadeOut)
{
    FontQuad* font = LevelServices::font(u"fontLarge");
    ASSERT_NE(font, nullptr);
    MessageDisplay display(font, V3(0.0f, 105.0f, 0.0f));
    display.setMessage(u"GO!", 1.0);
    ASSERT_EQ(display.countChildren(), 3);
    auto glyph = [&](int i) {
        KivBase* o = display.getFirstChild();
        for (int k = 0; k < i; ++k) {
            o = o->getNext();
        }
        return static_cast<FadingGlyph*>(o);
    };
    // Each glyph starts 0.05 s after the one before; the line is centred on x = 0.
    EXPECT_DOUBLE_EQ(glyph(2)->startDelay, 0.1);
    const float left = glyph(0)->position.x - glyph(0)->pSkin->width / 2.0f;
    EXPECT_NEAR(left, -static_cast<float>(font->measureLine(u"GO!") / 2), 0.5f);
    auto alpha = [&](int i) { return glyph(i)->color.argb >> 24; };
    const double step = 1.0 / 64.0; // exact in binary
    for (int i = 0; i < 4; ++i) { // 0.0625 s
        display.tick(0.0, step);
    }
    EXPECT_EQ(alpha(0), 15u);        // 255 x (0.0625 / 0.25)^2, truncated
    EXPECT_EQ(alpha(2), 0u);         // not begun yet
    for (int i = 0; i < 36; ++i) { // 0.625 s
        display.tick(0.0, step);
    }
    EXPECT_EQ(alpha(0), 255u); // shown fully
    // A second message replaces the first at once; an empty one clears the display.
    display.setMessage(u"Level 5", 2.0);
    EXPECT_EQ(display.countChildren(), 7);
    display.setMessage(u"", 2.0);
    EXPECT_EQ(display.countChildren(), 0);
}

// A message wider than its room is drawn smaller about its centre, each glyph (accents too) in its own shape;
// one that fits keeps its size.
TEST_F(LevelTest, MessageWiderThanItsRoomShrinksInShape)
{
    FontQuad* font = LevelServices::font(u"fontMediumOutline");
    ASSERT_NE(font, nullptr);
    MessageDisplay display(font, V3(-120.0f, 155.0f, 0.0f));
    const UString text = u"Value refused: 'bottom' is out of range. \u00c4\u00d6\u00dc";
    const float width = static_cast<float>(font->measureLine(text));
    for (const float room : {0.5f * width, 2.0f * width}) {
        SCOPED_TRACE(room);
        display.maxWidth = room;
        display.setMessage(text, 1.0);
        const float fit = std::min(1.0f, room / width);
        float left = 1e9f;
        float right = -1e9f;
        for (KivBase* o = display.getFirstChild(); o != nullptr; o = o->getNext()) {
            const auto* glyph = static_cast<FadingGlyph*>(o);
            EXPECT_FLOAT_EQ(glyph->scale.x, fit);
            EXPECT_FLOAT_EQ(glyph->scale.y, fit);
            if (glyph->pSkin != nullptr) {
                left = std::min(left, glyph->position.x - glyph->pSkin->width * fit / 2.0f);
                right = std::max(right, glyph->position.x + glyph->pSkin->width * fit / 2.0f);
            }
        }
        EXPECT_NEAR(right - left, std::min(room, width), 2.0f);
        EXPECT_NEAR((left + right) / 2.0f, -120.0f, 2.0f);
    }
}

TEST_F(LevelTest, ShortMessageFadesInThenGoesAtOnce)
{
    MessageDisplay display(LevelServices::font(u"fontLarge"), V3());
    display.bSelfRemoving = true;
    display.setMessage(u"A", 0.25);
    FadingGlyph* g = static_cast<FadingGlyph*>(display.getFirstChild());
    const double step = 1.0 / 64.0;
    for (int i = 0; i < 15; ++i) {
        display.tick(0.0, step);
    }
    EXPECT_GT(g->color.argb >> 24, 200u);
    display.tick(0.0, step); // 0.25 s: the fade-out window has already ended
    EXPECT_EQ(g->color.argb >> 24, 0u);
    display.tick(0.0, step);
    EXPECT_EQ(display.countChildren(), 0);
    EXPECT_TRUE(display.bDeleted); // a self-removing display goes with its last glyph
}

TEST_F(LevelTest, CamerasStayInsideThePlayingArea)
{
    LevelBuilder builder;
    play(builder);
    AsLevelRole role(manager->server);
    GameController& gc = level();
    gc.playingArea.left = 0.0f;
    gc.playingArea.right = 6400.0f;
    gc.playingArea.bottom = 0.0f;
    gc.playingArea.top = 1300.0f;
    const float w = screenW();
    const float h = screenH();
    // Near the left edge: half a view inside it (the view at depth -W/2 is W wide).
    CameraLookAt nearLeft(10.0f, 500.0f, -w / 2.0f);
    EXPECT_FLOAT_EQ(nearLeft.eye.x, w / 2.0f);
    EXPECT_FLOAT_EQ(nearLeft.eye.y, 500.0f);
    CameraLookAt beyondRight(9000.0f, -50.0f, -0.65f * w);
    EXPECT_FLOAT_EQ(beyondRight.eye.x, 6400.0f - 0.65f * w);
    EXPECT_FLOAT_EQ(beyondRight.eye.y, 0.65f * h);
    EXPECT_FLOAT_EQ(beyondRight.lookAt.z, 0.0f);
    // A narrow area: the right and top bounds win.
    gc.playingArea.right = 100.0f;
    gc.playingArea.top = 100.0f;
    CameraLookAt narrow(50.0f, 50.0f, -w / 2.0f);
    EXPECT_FLOAT_EQ(narrow.eye.x, 100.0f - w / 2.0f);
    EXPECT_FLOAT_EQ(narrow.eye.y, 100.0f - h / 2.0f);

    // Following the pig: a dead zone of a tenth of the screen, then the margin is kept.
    gc.playingArea.right = 6400.0f;
    gc.playingArea.top = 1300.0f;
    auto* hero = dynamic_cast<Renderable*>(gc.findHero());
    ASSERT_NE(hero, nullptr);
    hero->position = V3(3000.0f, 600.0f, 0.0f);
    CameraFollowHero follow;
    follow.transitionDuration = 0.0;
    follow.tick(0.0, 0.01);
    EXPECT_FLOAT_EQ(follow.progress, 1.0f); // a duration of 0 jumps
    EXPECT_FLOAT_EQ(follow.eye.x, 3000.0f);
    hero->position.x += 0.05f * w; // inside the dead zone
    follow.tick(0.0, 0.01);
    EXPECT_FLOAT_EQ(follow.eye.x, 3000.0f);
    hero->position.x = 3000.0f + 0.5f * w; // beyond it: trails by exactly the margin
    follow.tick(0.0, 0.01);
    EXPECT_FLOAT_EQ(follow.eye.x, hero->position.x - 0.1f * w);
    EXPECT_FLOAT_EQ(follow.eye.z, -static_cast<float>(static_cast<int>(w) / 2));
}

TEST_F(LevelTest, ExploredGridFollowsTheViewAndNeverLeavesTheGrid)
{
    LevelBuilder builder;
    play(builder);
    AsLevelRole role(manager->server);
    GameController& gc = level();
    std::memset(gc.minimapExplored, 0, sizeof(gc.minimapExplored));
    gc.playingArea.left = 0.0f;
    gc.playingArea.right = 8000.0f;
    gc.playingArea.top = 6000.0f;
    gc.playingArea.bottom = 0.0f;
    BlenderCamera* cam = gc.getGameCamera();
    const float w = screenW();
    auto explored = [&] {
        int n = 0;
        for (const auto& row : gc.minimapExplored) {
            for (uint8_t cell : row) {
                n += cell;
            }
        }
        return n;
    };
    // Wholly left of the playing area: at most a band one cell wide, nothing outside the grid.
    cam->eye = V3(-5000.0f, 3000.0f, -w / 2.0f);
    gc.updateExploration();
    EXPECT_LE(explored(), GameController::MINIMAP_HEIGHT);
    // Wholly above it.
    std::memset(gc.minimapExplored, 0, sizeof(gc.minimapExplored));
    cam->eye = V3(4000.0f, 90000.0f, -w / 2.0f);
    gc.updateExploration();
    EXPECT_LE(explored(), GameController::MINIMAP_WIDTH);
    // In the middle: an ellipse around the view's centre, widest in its middle row.
    std::memset(gc.minimapExplored, 0, sizeof(gc.minimapExplored));
    cam->eye = V3(4000.0f, 3000.0f, -w / 2.0f);
    gc.updateExploration();
    EXPECT_GT(explored(), 0);
    EXPECT_EQ(gc.minimapExplored[96][128], 1);
    EXPECT_EQ(gc.minimapExplored[96][100], 0);
    EXPECT_EQ(gc.minimapExplored[0][0], 0);
}

TEST_F(LevelTest, ActionTargetKeepsWhatThePreviousChildLeft)
{
    LevelBuilder builder;
    play(builder);
    AsLevelRole role(manager->server);
    GameController& gc = level();
    KivBase list;
    // The first fills in priority 5 at distance 10; the second answers yes without filling in, so it is
    // judged by the same 5 and 10: not strictly nearer, it does not win.
    auto* first = new Offer(true, 5, 10.0f);
    auto* second = new Offer(false, 0, 0.0f);
    list.appendChild(first);
    list.appendChild(second);
    clearTarget(gc);
    gc.findActionTarget(&list);
    EXPECT_EQ(gc.actionTarget.get(), first);
    EXPECT_EQ(gc.actionTargetPriority, 5);
    EXPECT_FLOAT_EQ(gc.actionTargetDistance, 10.0f);

    // The other way round: the silent one sees 0 and 999999 and does not beat the empty target.
    KivBase other;
    auto* silent = new Offer(false, 0, 0.0f);
    auto* near = new Offer(true, 1, 50.0f);
    other.appendChild(silent);
    other.appendChild(near);
    clearTarget(gc);
    gc.findActionTarget(&other);
    EXPECT_EQ(gc.actionTarget.get(), near);
    gc.actionTarget.set(nullptr);
}

TEST_F(LevelTest, InactiveAndDeletedChildrenAreNoTargets)
{
    LevelBuilder builder;
    play(builder);
    AsLevelRole role(manager->server);
    GameController& gc = level();
    KivBase list;
    auto* inactive = new Offer(true, 9, 1.0f);
    inactive->bInactive = true;
    auto* deleted = new Offer(true, 8, 1.0f);
    deleted->bDeleted = true;
    auto* live = new Offer(true, 1, 50.0f);
    list.appendChild(inactive);
    list.appendChild(deleted);
    list.appendChild(live);
    for (bool byTouch : {false, true}) {
        clearTarget(gc);
        if (byTouch) {
            gc.findTouchTarget(&list, V3(10.0f, 10.0f, 0.0f));
        } else {
            gc.findActionTarget(&list);
        }
        EXPECT_EQ(gc.actionTarget.get(), live) << (byTouch ? "touch" : "action key");
        EXPECT_EQ(gc.actionTargetPriority, 1);
    }
    gc.actionTarget.set(nullptr);
}

TEST_F(LevelTest, SwitchedOnObjectKeepsItsOneBody)
{
    LevelBuilder builder;
    auto* crate = new Cargo();
    builder.add(crate->getHomeList(), crate);
    crate->construct();
    crate->position = V3(-100.0f, 100.0f, 0.0f);
    // Hidden when its bodies are made: its moving body is made, its hull's is not.
    crate->bHidden = true;
    crate->createHull();
    crate->pHull->addHullPoint(-20.0f, 20.0f, 0.0f, true);
    crate->pHull->addHullPoint(20.0f, 20.0f, 0.0f, true);
    play(builder);
    frames(2);
    AsLevelRole role(manager->server);
    auto* played = dynamic_cast<Cargo*>(manager->server->findObjectOrNull(crate->objectUID));
    ASSERT_NE(played, nullptr);
    ASSERT_NE(played->body, nullptr);
    ASSERT_EQ(played->hullBody, nullptr);
    b2Body* body = played->body;
    const int bodies = level().physics->bodyCount();
    // Switched on, it keeps its moving body and gains its hull's.
    played->onSwitched(true);
    frames(2);
    EXPECT_EQ(played->body, body);
    EXPECT_TRUE(body->IsEnabled());
    EXPECT_NE(played->hullBody, nullptr);
    EXPECT_EQ(level().physics->bodyCount(), bodies + 1);
}

TEST_F(LevelTest, HullRunsJoinOnlyItsOwnVertices)
{
    LevelBuilder builder;
    auto* prop = new A99Object();
    builder.add(prop->getHomeList(), prop);
    prop->construct();
    prop->createHull();
    auto* other = new A99Object();
    builder.add(other->getHomeList(), other);
    other->construct();
    other->createHull();
    Hull& hull = *prop->pHull;
    HullVertex* from = hull.addHullPoint(0.0f, 0.0f, 0.0f, true);
    hull.addHullPoint(10.0f, 0.0f, 0.0f, true);
    HullVertex* elsewhere = other->pHull->addHullPoint(5.0f, 5.0f, 0.0f, true);
    // As a level file may have them: segments naming a segment, and a vertex of another hull.
    auto* joined = static_cast<HullSegment*>(hull.getLastChild());
    auto addSegment = [&](HullVertex* a, HullVertex* b) {
        auto* segment = new HullSegment();
        segment->pFrom = a;
        segment->pTo = b;
        builder.add(&hull, segment);
    };
    addSegment(reinterpret_cast<HullVertex*>(joined), from);
    addSegment(from, reinterpret_cast<HullVertex*>(joined));
    addSegment(from, elsewhere);
    const auto runs = hull.getRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].size(), 2u);
}

TEST_F(LevelTest, FatalReportsNameTheControllerOperationAndTheFailedStatement)
{
    LevelBuilder builder;
    play(builder);
    GameController& gc = level();
    auto reportOf = [](const std::function<void()>& run) {
        try {
            run();
        } catch (const FatalError& e) {
            return wideToUtf8(e.report);
        }
        return std::string();
    };
    // Without a role: the construct call's registrations.
    THEROLE = nullptr;
    GameController fresh;
    EXPECT_NE(reportOf([&] { fresh.local_construct(); })
                  .find("Statement: THEROLE != NULL\n Function: GameController::local_construct()"),
              std::string::npos);
    // A role that takes no registrations: the level-start set-up's boundary.
    AsLevelRole role(manager->server);
    manager->server->bAllowNewObjectRegistations = false;
    const std::string setUp = reportOf([&] { gc.netPostReplicateGlobal(); });
    manager->server->bAllowNewObjectRegistations = true;
    EXPECT_NE(setUp.find("Statement: THEROLE->bAllowNewObjectRegistations\n Function: "
                         "GameController::netPostReplicateGlobal()"),
              std::string::npos)
        << setUp;
    // A decoration without its picture.
    auto* deco = new TerrainDeco();
    const std::string decoration = reportOf([&] { deco->local_construct(nullptr, nullptr, 1, 0); });
    deco->destroy();
    EXPECT_NE(decoration.find("Statement: pSkinRefQuad != NULL\n Function: TerrainDeco::local_construct()"),
              std::string::npos)
        << decoration;
    // A world object's construct body without a level.
    THEROLE = nullptr;
    A99Object loose;
    EXPECT_NE(reportOf([&] { loose.local_construct(); }).find("Statement: GC != NULL\n Function: "
                                                               "EditorObject::local_construct()"),
              std::string::npos);
}

TEST_F(LevelTest, ClientBuildsLayersAndListsButNoEditorOrStarterContent)
{
    Client client(2, u"TobbleXmasdemo", 1.25, u"Player", 0.05);
    client.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    client.bOwnsConnection = true;
    THEROLE = &client;
    auto* gc = new GameController();
    client.registerObject(gc, 0);
    {
        // The construct call as a client runs it for the server.
        RPC_GameController_construct call(gc);
        client.bInsideServerCall = true;
        client.bInsideBroadcastCall = true;
        call.invoke();
        client.bInsideServerCall = false;
        client.bInsideBroadcastCall = false;
    }
    EXPECT_NE(gc->contextBackground, nullptr);
    EXPECT_NE(gc->contextGame, nullptr);
    EXPECT_NE(gc->contextHUD, nullptr);
    EXPECT_EQ(gc->contextGame->countChildren(), 18);
    EXPECT_EQ(gc->editor, nullptr);
    EXPECT_EQ(gc->pigList->countChildren(), 0);
    EXPECT_EQ(gc->objectList->countChildren(), 0);
    EXPECT_EQ(gc->countChildren(), 3);
    // The level start on a client makes no objects and asks for no state: both come from the server.
    EXPECT_NO_THROW(gc->netPostReplicateGlobal());
    EXPECT_EQ(gc->objectList->countChildren(), 0);
    EXPECT_EQ(gc->pigletList->countChildren(), 0);
    EXPECT_EQ(gc->state, 0);
    delete gc;
    THEROLE = nullptr;
}

TEST_F(LevelTest, NewControllerAndItsListsInDrawingOrder)
{
    LevelBuilder builder;
    GameController& gc = builder.controller();
    const float w = screenW();
    const float h = screenH();
    EXPECT_FLOAT_EQ(gc.playingArea.left, -5.0f * w);
    EXPECT_FLOAT_EQ(gc.playingArea.right, 5.0f * w);
    EXPECT_FLOAT_EQ(gc.playingArea.top, 10.0f * h);
    EXPECT_FLOAT_EQ(gc.playingArea.bottom, 0.0f);
    EXPECT_EQ(gc.applesNeeded, 10);
    EXPECT_DOUBLE_EQ(gc.parTime, 60.0);
    EXPECT_EQ(gc.season, GameController::SEASON_SPRING);
    EXPECT_EQ(gc.weatherIntensity, 0.0f);
    // Children: sky, game, HUD, editor; the lists in drawing order under the game layer.
    ASSERT_EQ(gc.countChildren(), 4);
    EXPECT_EQ(gc.getFirstChild(), gc.contextBackground);
    EXPECT_EQ(gc.getLastChild(), gc.editor);
    KivBase* const order[] = {gc.bgList,        gc.bgEffectsList, gc.secretList,  gc.dangerAreaList, gc.objectList,
                              gc.pigList,       gc.pigletList,    gc.houseList,   gc.explodableList, gc.cargoList,
                              gc.appleList,     gc.sweetList,     gc.proxyList,   gc.appleGhostList, gc.hullList,
                              gc.fgEffectsList, gc.weatherList,   gc.speechBubbleList};
    KivBase* o = gc.contextGame->getFirstChild();
    for (KivBase* list : order) {
        ASSERT_EQ(o, list);
        o = o->getNext();
    }
    // The empty level's pig and house.
    EXPECT_NE(gc.findHeroOrNull(), nullptr);
    EXPECT_NE(gc.findHouseOrNull(), nullptr);
}

TEST_F(LevelTest, StoredLevelComesBackWithItsHeaderTreeAndUids)
{
    LevelBuilder builder;
    GameController& source = builder.controller();
    source.applesNeeded = 3;
    source.bBonusLevel = false;
    source.parTime = 95.5;
    source.season = GameController::SEASON_WINTER;
    source.weatherIntensity = 0.0f;
    source.playingArea.left = -100.0f;
    source.playingArea.right = 5000.0f;
    source.playingArea.top = 2000.0f;
    source.editor->levelName = u"Frosty";
    play(builder);
    GameController& gc = level();
    EXPECT_EQ(gc.objectUID, source.objectUID);
    EXPECT_EQ(gc.parTime, 95.5);
    EXPECT_EQ(gc.season, GameController::SEASON_WINTER);
    EXPECT_FLOAT_EQ(gc.playingArea.right, 5000.0f);
    EXPECT_EQ(gc.editor->levelName, u"Frosty");
    EXPECT_EQ(gc.contextHUD->objectUID, source.contextHUD->objectUID);
    EXPECT_EQ(gc.appleList->objectUID, source.appleList->objectUID);
    EXPECT_EQ(gc.appleList->countChildren(), source.appleList->countChildren());
    // One apple in the level: the requirement is lowered to it.
    EXPECT_EQ(gc.applesNeeded, 1);
    EXPECT_EQ(gc.levelStats.requiredApples, 1);
    EXPECT_EQ(gc.levelStats.bonusApples, 0);
    EXPECT_EQ(gc.pigletList->countChildren(), 3);
    EXPECT_FALSE(manager->server->bEditing);
    EXPECT_EQ(manager->getRoot()->objectUID, 1);
}

TEST_F(LevelTest, DamagedHeaderValuesAreHeldToSaneRanges)
{
    LevelBuilder builder;
    GameController& source = builder.controller();
    source.weatherIntensity = 40.0f;
    source.applesNeeded = -3;
    source.parTime = -1.0;
    source.playingArea.left = 500.0f;
    source.playingArea.right = -500.0f;
    const int from = static_cast<int>(harness().logLines().size());
    play(builder);
    GameController& gc = level();
    EXPECT_LE(gc.weatherIntensity, 1.0f);
    EXPECT_GE(gc.applesNeeded, 0);
    EXPECT_GT(gc.parTime, 0.0);
    EXPECT_LT(gc.playingArea.left, gc.playingArea.right);
    EXPECT_LT(gc.playingArea.bottom, gc.playingArea.top);
    // Each mended value says so (the level holds one apple).
    for (const char* warning : {"'weatherIntensity' 40 is out of range 0 to 1; clamped.",
                                "'applesNeeded' -3 is out of range 0 to 1; clamped.",
                                "'playingArea' left 500 and right -500 enclose nothing; set to the default."}) {
        EXPECT_GE(harness().logIndex("Warning: object " + std::to_string(gc.objectUID) + ": " + warning, from), 0)
            << warning;
    }
    frames(3);
}

// The bonus timer starts at the par time, and the statistics rows show it in minutes and seconds: one from no
// target (0) to 99:59 is kept as it is; one they cannot show is replaced by the default, with a warning.
TEST_F(LevelTest, AParTimeTheClockCannotShowIsReplacedAtLevelStart)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double set;
        double kept;
        const char* warning;
    } rows[] = {
        {0.0, 0.0, nullptr},
        {GameController::MAX_PAR_TIME, GameController::MAX_PAR_TIME, nullptr},
        {-5.0, 60.0, "'parTime' -5 is out of range 0 to 5999; set to 60."},
        {6000.0, 60.0, "'parTime' 6000 is out of range 0 to 5999; set to 60."},
        {1.0e39, 60.0, "'parTime' 1e+39 is out of range 0 to 5999; set to 60."},
        {nan, 60.0, "'parTime' is not a number; set to 60."},
    };
    for (const auto& [set, kept, warning] : rows) {
        SCOPED_TRACE(set);
        LevelBuilder builder;
        builder.controller().bBonusLevel = true;
        builder.controller().parTime = set;
        const int from = static_cast<int>(harness().logLines().size());
        play(builder);
        const GameController& gc = level();
        EXPECT_EQ(gc.parTime, kept);
        EXPECT_EQ(gc.levelStats.targetTime, kept);
        EXPECT_EQ(gc.bonusTimer, static_cast<float>(kept));
        EXPECT_EQ(harness().logIndex("'parTime'", from) >= 0, warning != nullptr);
        if (warning != nullptr) {
            const std::string line = "Warning: object " + std::to_string(gc.objectUID) + ": " + warning;
            EXPECT_GE(harness().logIndex(line, from), 0);
        }
        manager->bClosed = true;
        frames(1);
        manager.reset();
    }
}

TEST_F(LevelTest, RemoteCallsFromPeersAreCheckedNotFatal)
{
    LevelBuilder builder;
    play(builder);
    AsLevelRole role(manager->server);
    GameController& gc = level();
    // A message for a messenger that does not exist, or with a text id beyond the table: logged, dropped.
    RPC_GameController_setMessage badMessenger(&gc, 3, 0, u"x", 1.0f);
    EXPECT_NO_THROW(badMessenger.invoke());
    RPC_GameController_setMessage badText(&gc, 1, 99999, u"", 1.0f);
    EXPECT_NO_THROW(badText.invoke());
    EXPECT_EQ(gc.contextHUD->messenger1.countChildren(), 0);
    // Our own code asking for an unknown messenger is a fault.
    EXPECT_THROW(gc.local_setMessage(3, 0, 1.0f, u"x"), FatalError);
    // The system message is not part of the game: a received one is ignored.
    RPC_MyRootObject_addSystemMessage system(manager->getRoot(), u"hello", true);
    EXPECT_NO_THROW(system.invoke());

    // A text longer than a call carries is cut to 256 characters, on both ends.
    const UString longText(300, u'a');
    RPC_GameController_setMessage call(&gc, 1, 0, longText, 2.0f);
    EXPECT_EQ(call.text.size(), 256u);
    Packet packet(Packet::FLAG_COMMANDS);
    call.text = longText;
    call.netSerialize(packet);
    packet.rewindToRead();
    RPC_GameController_setMessage received;
    received.netSerialize(packet);
    EXPECT_EQ(received.target, &gc);
    EXPECT_EQ(received.messenger, 1);
    EXPECT_EQ(received.text, UString(256, u'a'));
    EXPECT_FLOAT_EQ(received.displayTime, 2.0f);
    received.invoke();
    EXPECT_EQ(gc.contextHUD->messenger1.countChildren(), 256);
}

TEST_F(LevelTest, SecondOverlayIsDroppedNotTheOpenOne)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    AsLevelRole role(manager->server);
    MyRootObject* root = manager->getRoot();
    auto* first = new OverlayStatistics();
    manager->server->registerObject(first, 0);
    root->openOverlay(first);
    auto* second = new OverlayStatistics();
    manager->server->registerObject(second, 0);
    const int32_t secondUid = second->objectUID;
    root->openOverlay(second);
    EXPECT_EQ(root->contextOverlay, first);
    EXPECT_EQ(manager->server->findObjectOrNull(secondUid), nullptr);
}

TEST_F(LevelTest, ClassesAreRegisteredUnderTheirIds)
{
    RuntimeClassManager* registry = RuntimeClassManager::getInstance();
    EXPECT_EQ(MyRootObject::classRecord.getName(), u"_a0bbd901");
    EXPECT_EQ(RPC_MyRootObject_openOverlay::classRecord.getName(), u"_c730e76f");
    EXPECT_EQ(RPC_MyRootObject_closeOverlay::classRecord.getName(), u"_71539314");
    EXPECT_EQ(RPC_MyRootObject_addSystemMessage::classRecord.getName(), u"_58a6fe57");
    EXPECT_EQ(ContextSky::classRecord.getId(), 0x1cef93a5u);
    EXPECT_EQ(ContextHUD::classRecord.getId(), 0xeabb58a6u);
    EXPECT_EQ(Overlay::classRecord.getId(), 0x7ecaa5e7u);
    EXPECT_EQ(GameController::classRecord.getId(), RuntimeClass::hashName(u"GameController"));
    // The engine's own remote calls follow the same rule.
    EXPECT_EQ(RPC_KivBase_gotoState::classRecord.getId(), RuntimeClass::hashName(u"RPC_KivBase_gotoState"));
    EXPECT_EQ(registry->findClassByName(u"RPC_KivBase_setState"), nullptr);
    EXPECT_EQ(registry->findClassById(RuntimeClass::hashName(u"RPC_KivBase_setState")),
              &RPC_KivBase_setState::classRecord);
    // Classes the game makes directly stay out of the registry.
    EXPECT_EQ(registry->findClassById(RuntimeClass::hashName(u"ContextLevelManager")), nullptr);
    EXPECT_EQ(registry->findClassById(RuntimeClass::hashName(u"StatsRow")), nullptr);
}

TEST_F(LevelTest, ShakeRollsBothCamerasAndDiesAway)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    {
        AsLevelRole role(manager->server);
        gc.shakeCamera(0.07f, 0.35f);
    }
    for (BlenderCamera* cam : {gc.contextBackground->getBlenderCamera(), gc.getGameCamera()}) {
        EXPECT_DOUBLE_EQ(cam->shakeAmplitude, 0.07f);
        EXPECT_DOUBLE_EQ(cam->shakeDuration, 0.35f);
        EXPECT_EQ(cam->shakeElapsed, 0.0);
    }
    frames(2);
    EXPECT_NE(gc.getGameCamera()->roll, 0.0f);
    EXPECT_NE(gc.contextBackground->getBlenderCamera()->roll, 0.0f);
    frames(40);
    EXPECT_EQ(gc.getGameCamera()->roll, 0.0f);
    EXPECT_EQ(gc.contextBackground->getBlenderCamera()->roll, 0.0f);
}
