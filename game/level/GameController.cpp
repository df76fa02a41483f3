#include "game/level/GameController.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include "engine/core/SourceLocation.h"

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/ListIterator.h"
#include "engine/core/Logger.h"
#include "engine/core/MathUtil.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertySubObject.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivBaseCalls.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NestedCallScope.h"
#include "engine/net/NetRole.h"
#include "engine/render/Rect.h"
#include "engine/text/TextSprite.h"
#include "game/editor/ContextEditor.h"
#include "game/language/StringIds.h"
#include "game/level/CameraFollowHero.h"
#include "game/level/CameraLookAt.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextSky.h"
#include "game/level/GameControllerCalls.h"
#include "game/level/GameServer.h"
#include "game/level/LevelServices.h"
#include "game/front/Global.h"
#include "game/level/LevelWorld.h"
#include "game/level/MyRootObject.h"
#include "game/overlays/OverlayMiniMap.h"
#include "game/overlays/OverlayStatistics.h"
#include "game/overlays/OverlayTutorial.h"
#include "game/level/StatsRow.h"
#include "game/level/TouchButton.h"
#include "game/effects/ParallaxHills.h"
#include "game/effects/LeafEmitter.h"
#include "game/effects/RainEmitter.h"
#include "game/front/SnowFlake.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"
#include "game/world/EditorObject.h"
#include "game/world/EditorProxy.h"
#include "game/world/Hull.h"
#include "game/world/LevelAccess.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/PhysicsWorld.h"


const RuntimeClass GameController::classRecord(RuntimeClass::hashName(u"GameController"), &Context::classRecord,
                                               &RuntimeClass::factoryOf<GameController>);

namespace {

constexpr int PAUSE_BUTTON_REACH = 35;

bool anyBindingDown(const GameConfiguration* config, int binding)
{
    KivInput* in = Kiv::currentInput();
    if (config == nullptr || in == nullptr) {
        return false;
    }
    const auto& b = config->keyBindings[binding];
    return (b.keyboard != 0 && in->isDown(static_cast<int>(b.keyboard))) ||
           (b.joystick != 0 && in->isDown(static_cast<int>(b.joystick)));
}

bool bindingPressed(const GameConfiguration* config, int binding)
{
    KivInput* in = Kiv::currentInput();
    if (config == nullptr || in == nullptr) {
        return false;
    }
    const auto& b = config->keyBindings[binding];
    return (b.keyboard != 0 && in->wasKeyPressed(static_cast<int>(b.keyboard))) ||
           (b.joystick != 0 && in->wasKeyPressed(static_cast<int>(b.joystick)));
}

// The level is played in the editor's play test: its run is booked nowhere (not into the player's profile,
// not into the high scores).
bool isPlayTest()
{
    const auto* server = dynamic_cast<const GameServer*>(THEROLE);
    return server != nullptr && server->editSession != nullptr;
}

// Registers a new object with the current role, as every object made by level code is; a role that
// allows no registration is reported from the calling controller operation. The object is not yet in the
// tree, so a failure deletes it.
void registerNew(KivBase* object, SourceLocation caller = SourceLocation::current())
{
    try {
        KivNetwork::assertRegistrationAllowed(caller);
        THEROLE->registerObject(object, 0);
    } catch (...) {
        delete object;
        throw;
    }
}

// The level's course (state changes, overlays) is decided by the server, or by this process when it has no
// role; a client follows through the server's calls, and runs the calls that follow from those itself.
bool decidesHere()
{
    const NetRole* role = THEROLE;
    return role == nullptr || role->bIsServer || role->bInsideServerCall;
}

float screenW() { return static_cast<float>(HudTouch::screenWidth()); }
float screenH() { return static_cast<float>(HudTouch::screenHeight()); }

} // namespace

void PlayingArea::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyFloat(u"left", 0, &left));
    list.appendChild(new PropertyFloat(u"top", 0, &top));
    list.appendChild(new PropertyFloat(u"right", 0, &right));
    list.appendChild(new PropertyFloat(u"bottom", 0, &bottom));
}

bool PlayingArea::onEvent(KivEvent& event)
{
    if (event.type == EditorObject::EVENT_EDITED) {
        checkLoadedValues();
    }
    return KivBase::onEvent(event);
}

void PlayingArea::checkValues(const LevelDataCheck::Run& run)
{
    LevelDataCheck check(controller != nullptr ? *controller : *this, run);
    check.coordinate(u"playingArea.left", left);
    check.coordinate(u"playingArea.top", top);
    check.coordinate(u"playingArea.right", right);
    check.coordinate(u"playingArea.bottom", bottom);
    // The level's set-up takes only an area with its right edge right of its left and its top above its
    // bottom (of our own levels it mends one that is not).
    check.above(u"playingArea.right", right, u"playingArea.left", left);
    check.above(u"playingArea.top", top, u"playingArea.bottom", bottom);
}

GameController::GameController()
{
    playingArea.controller = this;
    playingArea.left = -5.0f * screenW();
    playingArea.top = 10.0f * screenH();
    playingArea.right = 5.0f * screenW();
    playingArea.bottom = 0.0f;
    levelStats.reset();
}

GameController::~GameController()
{
    // The level's sounds end with it; a level read only to be checked played none.
    if (KivAudio* audio = KivAudio::instance(); audio != nullptr && !GameServer::isChecking()) {
        audio->stopAll();
        audio->startAll();
        audio->currentMusic = nullptr;
    }
    actionTarget.set(nullptr);
}

const GameController::ListMember GameController::LISTS[18] = {
    {u"bgList", &GameController::bgList},
    {u"bgEffectsList", &GameController::bgEffectsList},
    {u"secretList", &GameController::secretList},
    {u"dangerAreaList", &GameController::dangerAreaList},
    {u"objectList", &GameController::objectList},
    {u"appleList", &GameController::appleList},
    {u"sweetList", &GameController::sweetList},
    {u"cargoList", &GameController::cargoList},
    {u"pigList", &GameController::pigList},
    {u"pigletList", &GameController::pigletList},
    {u"houseList", &GameController::houseList},
    {u"explodableList", &GameController::explodableList},
    {u"hullList", &GameController::hullList},
    {u"proxyList", &GameController::proxyList},
    {u"appleGhostList", &GameController::appleGhostList},
    {u"fgEffectsList", &GameController::fgEffectsList},
    {u"weatherList", &GameController::weatherList},
    {u"speechBubbleList", &GameController::speechBubbleList},
};

bool GameController::isOfListKind(std::size_t list, const KivBase& object)
{
    static_assert(std::size(LISTS) == LevelAccess::LIST_COUNT);
    if (object.isDerivedFrom(&EditorObject::classRecord)) {
        const LevelAccess::ListId home = static_cast<const EditorObject&>(object).homeListId;
        return static_cast<std::size_t>(home) == list ||
               (list == LevelAccess::BG_LIST && home == LevelAccess::OBJECT_LIST);
    }
    const bool hull = object.isDerivedFrom(&Hull::classRecord);
    const bool proxy = object.isDerivedFrom(&EditorProxy::classRecord);
    switch (list) {
    case LevelAccess::HULL_LIST:
        return hull;
    case LevelAccess::PROXY_LIST:
        return proxy;
    case LevelAccess::BG_LIST:
    case LevelAccess::BG_EFFECTS_LIST:
    case LevelAccess::APPLE_GHOST_LIST:
    case LevelAccess::FG_EFFECTS_LIST:
    case LevelAccess::WEATHER_LIST:
    case LevelAccess::SPEECH_BUBBLE_LIST:
        return !hull && !proxy;
    default:
        return false;
    }
}

UString GameController::whyNotPlayable(const MyRootObject* root)
{
    if (root == nullptr) {
        return u"it holds no level root";
    }
    const GameController* gc = root->gameController;
    if (gc == nullptr || gc->getParent() != root) {
        return u"it holds no level controller";
    }
    if (root->contextOverlay != nullptr) {
        return u"it was saved with an overlay open";
    }
    // The root holds its player list by a plain pointer too: an object of another kind in its place could go
    // away (an effect that ends) and leave the pointer behind.
    const KivBase* players = root->playerInfoList;
    if (players == nullptr || players->getClass() != &KivBase::classRecord || players->getParent() != root) {
        return u"its root's playerInfoList is not a list in its place";
    }
    // The controller holds its layers and lists by plain pointers: each must be what the controller makes,
    // where it puts it, each list its own, or the object in its place could go away (an effect that ends,
    // say) and leave the pointer behind, or what the level puts in a list would be out of the controller's
    // sight (the baskets of a cargo list that another list's pointer stands for).
    const struct {
        const char16_t* name;
        const KivBase* layer;
    } layers[] = {{u"contextBackground", gc->contextBackground},
                  {u"contextGame", gc->contextGame},
                  {u"contextHUD", gc->contextHUD},
                  {u"editor", gc->editor}};
    for (const auto& [name, layer] : layers) {
        if (layer == nullptr) {
            return formatString(u"its controller lacks its %s", name);
        }
        if (layer->getParent() != gc) {
            return formatString(u"its controller's %s is out of its place", name);
        }
    }
    UString crowded; // the first list holding more objects than can be played
    for (const ListMember* at = std::begin(LISTS); at != std::end(LISTS); ++at) {
        const KivBase* list = gc->*at->list;
        if (list == nullptr) {
            return formatString(u"its controller lacks its %s", at->name);
        }
        if (list->getClass() != &KivBase::classRecord || list->getParent() != gc->contextGame) {
            return formatString(u"its controller's %s is not a list in its place", at->name);
        }
        for (const ListMember* before = std::begin(LISTS); before != at; ++before) {
            if (gc->*before->list == list) {
                return formatString(u"its controller's %s and %s are one list", before->name, at->name);
            }
        }
        // What the level and its objects find in a list is taken as the list's kind (the pig is the first
        // of pigList, the apples that reach the house are appleList's).
        const auto index = static_cast<std::size_t>(at - std::begin(LISTS));
        int count = 0;
        for (const KivBase* object = list->getFirstChild(); object != nullptr; object = object->getNext(), ++count) {
            if (!isOfListKind(index, *object)) {
                return formatString(u"its controller's %s holds an object of another kind", at->name);
            }
        }
        // More objects than can be played (proxyList's entries stand for the objects of the others).
        if (crowded.empty() && list != gc->proxyList && count > MAX_LIST_OBJECTS) {
            crowded = formatString(u"its controller's %s holds %d objects; at most %d can be played", at->name,
                                   count, MAX_LIST_OBJECTS);
        }
    }
    if (gc->findHeroOrNull() == nullptr) {
        return u"it holds no pig";
    }
    if (gc->findHouseOrNull() == nullptr) {
        return u"it holds no house";
    }
    return crowded;
}

void GameController::addPropertiesTo(Property& list)
{
    Context::addPropertiesTo(list);
    list.appendChild(new PropertyPointer(u"contextBackground", 0, &contextBackground, &ContextSky::classRecord));
    list.appendChild(new PropertyPointer(u"contextGame", 0, &contextGame, &ContextBlender::classRecord));
    list.appendChild(new PropertyPointer(u"contextHUD", 0, &contextHUD, &ContextHUD::classRecord));
    for (const auto& [name, member] : LISTS) {
        list.appendChild(new PropertyPointer(name, 0, &(this->*member), &KivBase::classRecord));
    }
    list.appendChild(new PropertyPointer(u"editor", 0, &editor, &ContextEditor::classRecord));
    list.appendChild(new PropertySubObject(u"playingArea", 0, &playingArea));
    list.appendChild(new PropertyInt(u"applesNeeded", 0, &applesNeeded));
    list.appendChild(new PropertyBool(u"bBonusLevel", 0, &bBonusLevel));
    list.appendChild(new PropertyDouble(u"parTime", 0, &parTime));
    list.appendChild(new PropertyEnum<Season>(u"season", 0, &season, 4));
    list.appendChild(new PropertyFloat(u"weatherIntensity", 0, &weatherIntensity));
}

// ---------------------------------------------------------------------------------------------------------
// Construction

void GameController::construct()
{
    RPC_GameController_construct call(this);
    RPC::send(call);
}

void GameController::local_construct()
{
    contextBackground = new ContextSky();
    registerNew(contextBackground);
    netAddChild(contextBackground);

    contextGame = new ContextBlender();
    registerNew(contextGame);
    netAddChild(contextGame);

    contextHUD = new ContextHUD();
    registerNew(contextHUD);
    netAddChild(contextHUD);

    // The lists in their drawing order (back to front).
    KivBase** const order[] = {&bgList,        &bgEffectsList, &secretList,    &dangerAreaList, &objectList,
                               &pigList,       &pigletList,    &houseList,     &explodableList, &cargoList,
                               &appleList,     &sweetList,     &proxyList,     &appleGhostList, &hullList,
                               &fgEffectsList, &weatherList,   &speechBubbleList};
    for (KivBase** list : order) {
        *list = new KivBase();
        registerNew(*list);
        contextGame->netAddChild(*list);
    }

    NestedCallScope scope;
    if (scope.skip) {
        return;
    }
    editor = new ContextEditor();
    registerNew(editor);
    netAddChild(editor);
    LevelWorld::createStarterContent(*this);
}

// ---------------------------------------------------------------------------------------------------------
// Finders and small helpers

GameController* GameController::getCurrent()
{
    NetRole* role = THEROLE;
    auto* root = role != nullptr ? dynamic_cast<MyRootObject*>(role->root) : nullptr;
    return root != nullptr ? root->gameController : nullptr;
}

KivBase* GameController::findHeroOrNull() const { return pigList != nullptr ? pigList->getFirstChild() : nullptr; }

KivBase* GameController::findHouseOrNull() const
{
    return houseList != nullptr ? houseList->getFirstChild() : nullptr;
}

int32_t GameController::appleCount() const { return appleList != nullptr ? appleList->countChildren() : 0; }

KivBase* GameController::findHero() const
{
    KivBase* result = findHeroOrNull();
    KIV_ASSERT(result != NULL);
    return result;
}

KivBase* GameController::findHouse() const
{
    KivBase* result = findHouseOrNull();
    KIV_ASSERT(result != NULL);
    return result;
}

int GameController::getLevelNumber() const
{
    const ProfileData* profile = LevelServices::currentProfile();
    return profile != nullptr ? std::clamp<int>(profile->currentLevel, 0, ProfileData::NUMLEVELS - 1) : 0;
}

bool GameController::isEditing() const { return THEROLE != nullptr && editor != nullptr && THEROLE->bEditing; }

BlenderCamera* GameController::getGameCamera() const
{
    return contextGame != nullptr ? contextGame->getBlenderCamera() : nullptr;
}

void GameController::findActionTarget(KivBase* list)
{
    KivBase* hero = findHeroOrNull();
    if (list == nullptr || hero == nullptr) {
        return;
    }
    const V3 heroPos = LevelWorld::positionOf(hero);
    // The query's out values are set once for the whole list: a child that answers yes without filling
    // them in is judged by what the previous child left there.
    int32_t priority = 0;
    float distance = NO_TARGET_DISTANCE;
    // Deleted and inactive children are no targets.
    for (ListIterator it(list); it.current() != nullptr; it.next()) {
        KivBase* o = it.current();
        if (!LevelWorld::queryAction(o, heroPos, priority, distance)) {
            continue;
        }
        if (priority > actionTargetPriority ||
            (priority == actionTargetPriority && distance < actionTargetDistance)) {
            actionTarget.set(o);
            actionTargetPriority = priority;
            actionTargetDistance = distance;
        }
    }
}

V3 GameController::touchToWorld(const Context& layer, const V3& touch) { return HudTouch::toLayer(layer, touch); }

void GameController::findTouchTarget(KivBase* list, const V3& touch)
{
    if (list == nullptr || contextGame == nullptr) {
        return;
    }
    const V3 point = touchToWorld(*contextGame, touch);
    int32_t priority = 0;
    float distance = NO_TARGET_DISTANCE;
    for (ListIterator it(list); it.current() != nullptr; it.next()) {
        KivBase* o = it.current();
        if (!LevelWorld::queryAction(o, point, priority, distance)) {
            continue;
        }
        if (priority > actionTargetPriority ||
            (priority == actionTargetPriority && distance < actionTargetDistance)) {
            actionTarget.set(o);
            actionTargetPriority = priority;
            actionTargetDistance = distance;
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Messages and shake

void GameController::setMessage(int32_t messenger, int32_t textId, const UString& text, float displayTime)
{
    RPC_GameController_setMessage call(this, messenger, textId, text, displayTime);
    RPC::send(call);
}

void GameController::local_setMessage(int32_t messenger, int32_t textId, float displayTime, const UString& text)
{
    if (messenger != 1 && messenger != 2) {
        KIV_FATAL(u"Unknown messenger.");
    }
    if (contextHUD == nullptr) {
        return;
    }
    const UString shown = textId > 0 ? LevelServices::text(textId) : text;
    MessageDisplay& display = messenger == 1 ? contextHUD->messenger1 : contextHUD->messenger2;
    display.setMessage(shown, displayTime);
}

void GameController::setPlayerMessage(uint32_t playerId, int32_t messenger, int32_t textId, const UString& text,
                                      float displayTime)
{
    RPC_GameController_setMessageText call(this, playerId, messenger, textId, text, displayTime);
    RPC::send(call);
}

void GameController::local_setPlayerMessage(uint32_t playerId, int32_t messenger, int32_t textId,
                                            const UString& text, float displayTime)
{
    if (THEROLE != nullptr && THEROLE->hostWord == playerId) {
        local_setMessage(messenger, textId, displayTime, text);
    }
}

void GameController::shakeCamera(float amplitude, float duration)
{
    if (contextBackground != nullptr) {
        contextBackground->getBlenderCamera()->shake(amplitude, duration);
    }
    if (contextGame != nullptr) {
        contextGame->getBlenderCamera()->shake(amplitude, duration);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Level start

void GameController::sanitiseHeader()
{
    // A level file is our own data, but a damaged one must not make the cameras or the scoring misbehave.
    season = static_cast<Season>(std::clamp<int32_t>(season, SEASON_SPRING, SEASON_WINTER));
    LevelDataCheck check(*this);
    check.clampAtStart(u"weatherIntensity", weatherIntensity, 0.0f, 1.0f);
    checkLoadedValues();
    PlayingArea& a = playingArea;
    if (!(a.left < a.right) || !std::isfinite(a.left) || !std::isfinite(a.right)) {
        check.warn(u"playingArea", formatString(u"left %g and right %g enclose nothing; set to the default.",
                                                static_cast<double>(a.left), static_cast<double>(a.right)));
        a.left = -5.0f * screenW();
        a.right = 5.0f * screenW();
    }
    if (!(a.bottom < a.top) || !std::isfinite(a.bottom) || !std::isfinite(a.top)) {
        check.warn(u"playingArea", formatString(u"bottom %g and top %g enclose nothing; set to the default.",
                                                static_cast<double>(a.bottom), static_cast<double>(a.top)));
        a.top = 10.0f * screenH();
        a.bottom = 0.0f;
    }
}

void GameController::netPostReplicate()
{
    Context::netPostReplicate();
    // A level loaded for editing waits with its set-up: the header is checked as it arrives.
    checkLoadedValues();
}

bool GameController::onEvent(KivEvent& event)
{
    if (event.type == EditorObject::EVENT_EDITED) {
        checkLoadedValues();
    }
    return Context::onEvent(event);
}

void GameController::checkValues(const LevelDataCheck::Run& run)
{
    playingArea.checkValues(run);
    LevelDataCheck check(*this, run);
    check.seconds(u"parTime", parTime, MAX_PAR_TIME, DEFAULT_PAR_TIME);
    // What the level's start holds to a range (sanitiseHeader, netPostReplicateGlobal): the apples needed at
    // most the apples the level holds.
    check.startRange(u"applesNeeded", applesNeeded, 0, appleCount());
    check.startRange(u"weatherIntensity", weatherIntensity, 0.0f, 1.0f);
}

void GameController::netPostReplicateGlobal()
{
    if (isEditing()) {
        return;
    }
    sanitiseHeader();
    // Objects of the level and its state are the server's to make: a client receives them from it.
    const bool onServer = THEROLE == nullptr || THEROLE->bIsServer;
    if (onServer) {
        LevelWorld::createBoundary(*this);
    }

    static const char16_t* const hills[4][2] = {{u"hillsA-spring:0", u"hillsB-spring:0"},
                                                {u"hillsA-summer:0", u"hillsB-summer:0"},
                                                {u"hillsA-autumn:0", u"hillsB-autumn:0"},
                                                {u"hillsA-winter:0", u"hillsB-winter:0"}};
    if (bgList != nullptr) {
        bgList->appendChild(new ParallaxHills(LevelServices::resource(hills[season][0]),
                                              LevelServices::resource(hills[season][1])));
    }

    const GameConfiguration* config = LevelServices::configuration();
    const int detail = config != nullptr ? config->detail : 1;
    if (detail >= 1 && weatherIntensity > 0.0f && weatherList != nullptr) {
        Camera* cam = getGameCamera();
        switch (season) {
        case SEASON_SPRING:
            weatherList->appendChild(new RainEmitter(cam, 1.0f, weatherIntensity));
            break;
        case SEASON_AUTUMN:
            weatherList->appendChild(new LeafEmitter(cam, 1.0f, weatherIntensity));
            break;
        case SEASON_WINTER:
            weatherList->appendChild(new SnowFlake(cam, 1.0f, weatherIntensity));
            break;
        case SEASON_SUMMER:
            break;
        }
    }

    if (!bBonusLevel && onServer) {
        LevelWorld::createPiglets(*this);
    }

    levelStats.targetTime = parTime;
    levelStats.bonusLevel = bBonusLevel ? 1 : 0;
    bonusTimer = static_cast<float>(parTime);

    const int apples = appleCount();
    LevelDataCheck(*this).range(u"applesNeeded", applesNeeded, 0, apples);
    levelStats.requiredApples = applesNeeded;
    levelStats.bonusApples = apples - applesNeeded;
    levelStats.secrets = secretList != nullptr ? secretList->countChildren() : 0;

    if (onServer) {
        gotoState(STATE_INTRO, 0.0);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Level states

void GameController::onStateChange()
{
    // A client's own countdown only brings it to the state; the server's two calls follow.
    if (!decidesHere()) {
        return;
    }
    RPC_KivBase_setState setState(this, state);
    RPC::send(setState);
    RPC_GameController_enterState enter(this);
    RPC::send(enter);
}

bool GameController::isLevelComplete()
{
    KivBase* house = findHouseOrNull();
    if (house == nullptr || !LevelWorld::isPigAtHome(house)) {
        return false;
    }
    return bBonusLevel || levelStats.requiredApplesGot >= levelStats.requiredApples;
}

void GameController::local_enterState()
{
    const float w = screenW();
    KivAudio* audio = KivAudio::instance();
    switch (state) {
    case STATE_INTRO: {
        // A level that a server sent may lack the pig: the camera then looks at the origin.
        const V3 hero = LevelWorld::positionOf(findHeroOrNull());
        auto* look = new CameraLookAt(hero.x, hero.y, -0.65f * w);
        look->transitionDuration = 0.001;
        if (BlenderCamera* cam = getGameCamera()) {
            cam->appendChild(look);
        } else {
            delete look;
        }
        LevelServices::setFade(1.0f, 0.0f);
        gotoState(STATE_TITLE, 1.0);
        break;
    }
    case STATE_TITLE: {
        levelStats.sweets = sweetList != nullptr ? sweetList->countChildren() : 0;
        auto* follow = new CameraFollowHero();
        follow->transitionDuration = 4.0;
        if (BlenderCamera* cam = getGameCamera()) {
            cam->appendChild(follow);
        } else {
            delete follow;
        }
        const int level = getLevelNumber();
        local_setMessage(2, 0, 2.0f, formatString(LevelServices::text(STR_LEVELX), level + 1));
        local_setMessage(1, 0, 3.0f, ProfileData::levelNumberToTitle(level));
        gotoState(STATE_GO, 4.0);
        break;
    }
    case STATE_GO: {
        const GameConfiguration* config = LevelServices::configuration();
        if ((config == nullptr || config->bInGameMusic != 0) && audio != nullptr) {
            auto* music = dynamic_cast<SoundStream*>(
                LevelServices::resource(ProfileData::levelNumberToMusic(getLevelNumber())));
            audio->setMusic(music);
        }
        local_setMessage(1, STR_GO, 1.0f, {});
        gotoState(STATE_PLAYING, 0.0);
        break;
    }
    case STATE_CONFIRMING:
        if (isLevelComplete()) {
            gotoState(STATE_LEVELEND, 0.0);
        } else {
            if (audio != nullptr) {
                audio->fadeMusic(1.0f, 1.0);
            }
            gotoState(STATE_PLAYING, 0.0);
        }
        break;
    case STATE_LEVELEND: {
        enterLevelEnd();
        const V3 hero = LevelWorld::positionOf(findHeroOrNull());
        auto* look = new CameraLookAt(hero.x - 0.375f * w, hero.y, -0.65f * w);
        look->transitionDuration = 6.0;
        if (BlenderCamera* cam = getGameCamera()) {
            cam->appendChild(look);
        } else {
            delete look;
        }
        if (!bBonusLevel || bonusTimer > 0.0f) {
            local_setMessage(1, STR_LEVELCOMPLETE, 5.0f, {});
            LevelServices::playSound(u"soundWin");
        } else {
            local_setMessage(1, STR_OUTOFTIME, 5.0f, {});
            LevelServices::playSound(u"soundLose");
        }
        if (audio != nullptr) {
            audio->fadeMusic(0.0f, 1.0);
        }
        gotoState(STATE_RESULTS, 6.0);
        break;
    }
    case STATE_RESULTS:
        buildResultsPanel();
        break;
    case STATE_FADEOUT:
        LevelServices::setFadeTarget(1.0f);
        if (audio != nullptr) {
            audio->fadeMusic(0.0f, 1.0);
        }
        gotoState(STATE_DONE, 1.0);
        break;
    case STATE_DONE:
        if (THEROLE != nullptr) {
            THEROLE->levelResultCode = 5;
        }
        break;
    default:
        break;
    }
}

void GameController::enterLevelEnd()
{
    const int level = getLevelNumber();
    levelStats.computeScore();
    // A run that never played (the pig stayed home) has no frame rate rather than a division by zero.
    levelStats.averageFrameRate =
        levelStats.time > 0.0 ? truncateClamped<int32_t>(static_cast<double>(framesPlayed) / levelStats.time) : 0;
    if (isPlayTest()) {
        return;
    }
    if (ProfileData* profile = LevelServices::currentProfile()) {
        profile->levelStats[level].update(levelStats);
    }
    if (GameConfiguration* config = LevelServices::configuration()) {
        config->submitHighScore(levelStats.score, level, truncateClamped<int>(levelStats.time), levelStats.totalPoints,
                                secureCounter3.get() == 0, LevelServices::playerName());
    }
}

void GameController::buildResultsPanel()
{
    if (contextHUD == nullptr) {
        return;
    }
    const int level = getLevelNumber();
    const ProfileData* profile = LevelServices::currentProfile();
    const LevelStats* record = profile != nullptr ? &profile->levelStats[level] : nullptr;
    // A play test merged nothing: its trophies are those the run would win against the player's record.
    LevelStats merged;
    if (record != nullptr && isPlayTest()) {
        merged = *record;
        merged.update(levelStats);
        record = &merged;
    }
    auto newRecord = [&](int flag) { return record != nullptr && record->newRecord[flag] != 0; };
    const LevelStats& s = levelStats;

    struct Row {
        int labelId;
        UString value;
        int target;
        uint32_t starColour;
        int semitones;
        bool trophy;
        bool star;
        bool total;
        bool onBonusLevel;
    };
    const Row rows[] = {
        {STR_STATSAPPLESREQUIRED, formatString(u"%d/%d", s.requiredApplesGot, s.requiredApples),
         s.requiredApplesPoints, 0xffff8000u, -2, newRecord(LevelStats::RECORD_REQUIRED_APPLES),
         s.fullMarks[LevelStats::FULL_REQUIRED_APPLES] != 0, false, false},
        {STR_STATSAPPLESBONUS, formatString(u"%d/%d", s.bonusApplesGot, s.bonusApples), s.bonusApplesPoints,
         0xffff0000u, -1, newRecord(LevelStats::RECORD_BONUS_APPLES), s.fullMarks[LevelStats::FULL_BONUS_APPLES] != 0,
         false, false},
        {STR_STATSSWEETS, formatString(u"%d/%d", s.sweetsGot, s.sweets), s.sweetsPoints, 0xffff00ffu, 0,
         newRecord(LevelStats::RECORD_SWEETS), s.fullMarks[LevelStats::FULL_SWEETS] != 0, false, true},
        {STR_STATSSECRETS, formatString(u"%d/%d", s.secretsFound, s.secrets), s.secretsPoints, 0xff0080ffu, 1,
         newRecord(LevelStats::RECORD_SECRETS), s.fullMarks[LevelStats::FULL_SECRETS] != 0, false, false},
        {STR_STATSDEATHS, formatString(u"%d", s.livesLost), s.livesPoints, 0xff00ffffu, 2,
         newRecord(LevelStats::RECORD_LIVES_LOST), s.fullMarks[LevelStats::FULL_LIVES] != 0, false, false},
        {STR_STATSTIME, formatMinutesSeconds(s.time) + u"/" + formatMinutesSeconds(s.targetTime), s.timePoints,
         0xff00ff00u, 3, newRecord(LevelStats::RECORD_TIME), s.fullMarks[LevelStats::FULL_TIME] != 0, false, true},
        {STR_STATSTOTAL, UString(), s.totalPoints, 0xffffffffu, 4, newRecord(LevelStats::RECORD_SCORE),
         s.fullMarks[LevelStats::FULL_PERFECT] != 0, true, true},
    };

    float y = bBonusLevel ? 100.0f : 160.0f;
    double delay = 0.0;
    for (const Row& row : rows) {
        if (bBonusLevel && !row.onBonusLevel) {
            continue;
        }
        auto* statsRow = new StatsRow(row.target, V3(0.0f, y, 0.0f), UColor(row.starColour), row.semitones,
                                      row.trophy, row.star, row.total, LevelServices::text(row.labelId), row.value,
                                      delay);
        contextHUD->appendChild(statsRow);
        delay += statsRow->duration;
        y -= 35.0f;
    }

    const float h = screenH();
    const UString hintKey = formatString(u"HINTENDLEVEL%d", level);
    UString hint = LevelServices::textByKey(hintKey, false);
    KivInput* in = Kiv::currentInput();
    const bool touchMode = in != nullptr && in->getInputMode() == KivInput::INPUT_TOUCH;
    if (touchMode && LevelServices::hasText(u"IOS_" + hintKey)) {
        hint = LevelServices::textByKey(u"IOS_" + hintKey, true);
    }
    // The two lines at the bottom stand on whatever the level shows there (grass, snow, sky): the small
    // font's outlined face keeps them readable, and without the dropped shadow, which in a font this small
    // reads as a second, blurred copy of the line.
    FontQuad* bottomFont = LevelServices::font(u"fontSmallOutline");
    if (bottomFont == nullptr) {
        bottomFont = LevelServices::font(u"fontSmall");
    }
    auto* hintSprite = new TextSprite(0.0f, 50.0f - h / 2.0f, 0.0f, hint, bottomFont, UColor(0xff80ff00u));
    hintSprite->bShadow = false;
    hintSprite->delay = delay + 2.0;
    contextHUD->appendChild(hintSprite);

    UString prompt;
    if (touchMode) {
        prompt = LevelServices::text(STR_IOS_PRESSXKEYTOCONTINUE);
    } else {
        const GameConfiguration* config = LevelServices::configuration();
        const int jumpKey = config != nullptr ? static_cast<int>(config->keyBindings[GameConfiguration::BIND_JUMP].keyboard) : 57;
        UString keyName = in != nullptr && jumpKey >= 0 && jumpKey < KivInput::NUMINPUTCODES ? in->keyNames[jumpKey] : UString();
        prompt = formatString(LevelServices::text(STR_PRESSXKEYTOCONTINUE), keyName);
    }
    auto* promptSprite = new TextSprite(0.0f, 20.0f - h / 2.0f, 0.0f, prompt, bottomFont, UColor(0xffffffffu));
    promptSprite->bShadow = false;
    promptSprite->delay = delay + 5.0;
    contextHUD->appendChild(promptSprite);
}

// ---------------------------------------------------------------------------------------------------------
// Per frame

void GameController::updateExploration()
{
    Camera* cam = getGameCamera();
    if (cam == nullptr) {
        return;
    }
    Camera::Rect view;
    cam->getVisibleRect(view, 0.0f);
    const PlayingArea& a = playingArea;
    auto mapX = [&](float v) {
        return truncateClamped<int>(mapRangeClamped(0.0f, static_cast<float>(MINIMAP_WIDTH - 1), a.left, a.right, v));
    };
    auto mapY = [&](float v) {
        return truncateClamped<int>(mapRangeClamped(0.0f, static_cast<float>(MINIMAP_HEIGHT - 1), a.top, a.bottom, v));
    };
    const int x0 = mapX(view.left);
    const int x1 = mapX(view.right);
    const int y0 = mapY(view.top);
    const int y1 = mapY(view.bottom);
    const int centre = (x0 + x1) / 2;
    const int halfWidth = (x1 - x0) / 2;
    for (int y = y0; y < y1; ++y) {
        const float t = -1.0f + 2.0f * static_cast<float>(y - y0) / static_cast<float>(y1 - y0);
        const float h = std::cos(t * static_cast<float>(M_PI) / 2.0f) * static_cast<float>(halfWidth);
        const int from = std::max(0, static_cast<int>(static_cast<float>(centre) - h));
        const int to = std::min(MINIMAP_WIDTH, static_cast<int>(static_cast<float>(centre) + h));
        if (to > from && y >= 0 && y < MINIMAP_HEIGHT) {
            std::memset(&minimapExplored[y][from], 1, static_cast<std::size_t>(to - from));
        }
    }
}

template <class T>
static void openLevelOverlay(SourceLocation caller = SourceLocation::current())
{
    KivNetwork::assertRegistrationAllowed(caller);
    auto* overlay = new T();
    THEROLE->registerObject(overlay, 0);
    overlay->construct();
    overlay->netCallPostReplicate();
    overlay->netCallPostReplicateGlobal();
    if (auto* root = dynamic_cast<MyRootObject*>(THEROLE->root)) {
        root->openOverlay(overlay);
    }
}

void GameController::tickContents(double time, double dt)
{
    KivInput* in = Kiv::currentInput();
    const GameConfiguration* config = LevelServices::configuration();

    // 1. Keys or touch.
    if (in != nullptr &&
        (anyBindingDown(config, GameConfiguration::BIND_LEFT) || anyBindingDown(config, GameConfiguration::BIND_RIGHT) ||
         anyBindingDown(config, GameConfiguration::BIND_USE) || anyBindingDown(config, GameConfiguration::BIND_JUMP))) {
        in->setInputMode(KivInput::INPUT_POINTER);
    }

    // 2. Debug keys.
    if (in != nullptr) {
        const int mods = in->getModifierState();
        int request = 0;
        if (in->wasKeyPressed(0x29) && mods == 0) {
            request = 3;
        } else if (in->wasKeyPressed(0x26) && mods == 4) {
            request = 1;
        } else if (in->wasKeyPressed(0x1F) && mods == 4) {
            request = 2;
        }
        if (request != 0) {
            debugRequest = request;
            return;
        }
    }

    // 3. The editor holds the level still (and the touch controls and buttons stay out of its way).
    if (isEditing()) {
        if (contextHUD != nullptr) {
            contextHUD->touchLeft->bHidden = contextHUD->touchRight->bHidden = contextHUD->touchJump->bHidden = true;
            contextHUD->buttonPause->bHidden = contextHUD->buttonTutorial->bHidden = true;
            contextHUD->buttonStatistics->bHidden = contextHUD->buttonMiniMap->bHidden = true;
        }
        Context::tickContents(time, dt);
        return;
    }

    const bool touchMode = in != nullptr && in->getInputMode() == KivInput::INPUT_TOUCH;
    // 4. Touch controls.
    if (contextHUD != nullptr) {
        const bool showControls = touchMode && state == STATE_PLAYING;
        contextHUD->touchLeft->bHidden = !showControls;
        contextHUD->touchRight->bHidden = !showControls;
        contextHUD->touchJump->bHidden = !showControls;
    }

    // 5. The action target is chosen afresh each frame.
    actionTarget.set(nullptr);
    actionTargetPriority = 0;
    actionTargetDistance = NO_TARGET_DISTANCE;
    bTutorialRequest = bStatisticsRequest = bMiniMapRequest = false;

    // 6. Touches and the use key.
    if (in != nullptr && touchMode) {
        for (int i = 0; i < in->getTouchCount(); ++i) {
            KivTouchPoint* touch = in->getTouchPoint(i);
            if (touch == nullptr || !touch->hasFlag(KivTouchPoint::FLAG_BEGAN) || contextHUD == nullptr) {
                continue;
            }
            const V3 p = touchToWorld(*contextHUD, touch->position);
            auto near = [&](const Renderable* button) {
                const float dx = p.x - button->position.x;
                const float dy = p.y - button->position.y;
                const float dz = p.z - button->position.z;
                return std::sqrt(dx * dx + dy * dy + dz * dz) < static_cast<float>(PAUSE_BUTTON_REACH);
            };
            if (!contextHUD->buttonTutorial->bHidden && near(contextHUD->buttonTutorial)) {
                bTutorialRequest = true;
                touch->handled = this;
            } else if (!contextHUD->buttonStatistics->bHidden && near(contextHUD->buttonStatistics)) {
                bStatisticsRequest = true;
                touch->handled = this;
            } else if (!contextHUD->buttonMiniMap->bHidden && near(contextHUD->buttonMiniMap)) {
                bMiniMapRequest = true;
                touch->handled = this;
            } else if (near(contextHUD->buttonPause)) {
                touch->handled = this;
            } else {
                findTouchTarget(objectList, touch->position);
                findTouchTarget(cargoList, touch->position);
                findTouchTarget(pigList, touch->position);
            }
        }
    } else if (bindingPressed(config, GameConfiguration::BIND_USE)) {
        findActionTarget(objectList);
        findActionTarget(cargoList);
        findActionTarget(pigList);
    }

    // 7. The HUD buttons show only while playing.
    if (contextHUD != nullptr) {
        contextHUD->buttonPause->bHidden = true;
        contextHUD->buttonTutorial->bHidden = true;
        contextHUD->buttonStatistics->bHidden = true;
        contextHUD->buttonMiniMap->bHidden = true;
    }

    // 8. Playing. Only the deciding side opens overlays and changes the state.
    const bool decides = decidesHere();
    if (state == STATE_PLAYING) {
        if (touchMode && contextHUD != nullptr) {
            contextHUD->buttonPause->bHidden = false;
            contextHUD->buttonTutorial->bHidden = false;
            contextHUD->buttonStatistics->bHidden = false;
        }
        KivBase* house = findHouseOrNull();
        if (house == nullptr || !LevelWorld::isHeroInside(house)) {
            ++framesPlayed;
            levelStats.time += dt;
        }
        if (bTutorialRequest && decides) {
            openLevelOverlay<OverlayTutorial>();
        }
        if ((bindingPressed(config, GameConfiguration::BIND_STATISTICS) || bStatisticsRequest) && decides) {
            openLevelOverlay<OverlayStatistics>();
        }
        if (!bBonusLevel && getLevelNumber() <= 30) {
            if (touchMode && contextHUD != nullptr) {
                contextHUD->buttonMiniMap->bHidden = false;
            }
            if ((bindingPressed(config, GameConfiguration::BIND_MAP) || bMiniMapRequest) && decides &&
                OverlayMiniMap::canOpen(getLevelNumber())) {
                openLevelOverlay<OverlayMiniMap>();
            }
        }
        if (bBonusLevel) {
            bonusTimer -= static_cast<float>(dt);
            if (bonusTimer < 0.0f) {
                bonusTimer = 0.0f;
                if (decides) {
                    gotoState(STATE_LEVELEND, 0.0);
                }
            }
        }
        if (state == STATE_PLAYING && decides && isLevelComplete()) {
            if (bBonusLevel) {
                gotoState(STATE_LEVELEND, 0.0);
            } else {
                const bool pending = stateLeft > 0.0 || stateGoto != state;
                if (!pending) {
                    if (KivAudio* audio = KivAudio::instance()) {
                        audio->fadeMusic(0.01f, 1.0);
                    }
                }
                gotoState(STATE_CONFIRMING, 1.0);
            }
        }
        updateExploration();
    }

    // 9. Results: continue.
    if (state == STATE_RESULTS && in != nullptr && decides) {
        const auto& jump = config != nullptr ? config->keyBindings[GameConfiguration::BIND_JUMP]
                                             : GameConfiguration::KeyBinding{57, 272};
        if ((jump.keyboard != 0 && in->wasKeyPressed(static_cast<int>(jump.keyboard))) ||
            (jump.joystick != 0 && in->wasKeyPressed(static_cast<int>(jump.joystick))) ||
            bindingPressed(config, GameConfiguration::BIND_STATISTICS) || in->isAnyTouchDown()) {
            gotoState(STATE_FADEOUT, 0.0);
        }
    }

    // 10. The state machine (where a scheduled state change falls due), physics, then the children.
    Context::tickState(time, dt);
    if (physics != nullptr) {
        physics->step(dt);
    }
    Context::tickContents(time, dt);
}

void GameController::renderContents()
{
    Context::renderContents();
    if (Camera* cam = getGameCamera()) {
        cam->render();
        const Kiv* kiv = Kiv::instance();
        if (kiv != nullptr && !kiv->bRelease) {
            Rect area{playingArea.left, playingArea.top, playingArea.right, playingArea.bottom};
            area.drawOutline(UColor(0xffff00ffu));
        }
    }
}
