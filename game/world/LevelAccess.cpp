#include "game/world/LevelAccess.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/BlenderCamera.h"
#include "engine/render/KivGraphics.h"
#include "game/editor/ContextEditor.h"
#include "game/language/Language.h"
#include "game/level/CameraFollowHero.h"
#include "game/level/CameraLookAt.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/level/TouchButton.h"
#include "game/userdata/GameConfiguration.h"
#include "game/world/House.h"
#include "game/world/PhysicsWorld.h"
#include "game/world/Pig.h"

namespace {
const Language* language()
{
    Kiv* kiv = Kiv::instance();
    return kiv != nullptr ? kiv->language : nullptr;
}

TouchButton* touchButton(LevelAccess::TouchControl control)
{
    GameController* gc = GameController::getCurrent();
    ContextHUD* hud = gc != nullptr ? gc->contextHUD : nullptr;
    if (hud == nullptr) {
        return nullptr;
    }
    switch (control) {
    case LevelAccess::TOUCH_LEFT:
        return hud->touchLeft;
    case LevelAccess::TOUCH_RIGHT:
        return hud->touchRight;
    default:
        return hud->touchJump;
    }
}

// Appends a camera modifier to the game camera (deleted when there is none).
void addModifier(Camera* modifier)
{
    GameController* gc = GameController::getCurrent();
    BlenderCamera* camera = gc != nullptr ? gc->getGameCamera() : nullptr;
    if (camera != nullptr) {
        camera->appendChild(modifier);
    } else {
        delete modifier;
    }
}

float viewDepth() { return -0.5f * static_cast<float>(HudTouch::screenWidth()); }
} // namespace

GameController* LevelAccess::controller() { return GameController::getCurrent(); }

KivBase* LevelAccess::list(ListId id)
{
    GameController* gc = GameController::getCurrent();
    if (gc == nullptr) {
        return nullptr;
    }
    KivBase* const lists[LIST_COUNT] = {gc->bgList,        gc->bgEffectsList,  gc->secretList,     gc->dangerAreaList,
                                        gc->objectList,    gc->appleList,      gc->sweetList,      gc->cargoList,
                                        gc->pigList,       gc->pigletList,     gc->houseList,      gc->explodableList,
                                        gc->hullList,      gc->proxyList,      gc->appleGhostList, gc->fgEffectsList,
                                        gc->weatherList,   gc->speechBubbleList};
    return id >= 0 && id < LIST_COUNT ? lists[id] : nullptr;
}

PhysicsWorld* LevelAccess::physics()
{
    GameController* gc = GameController::getCurrent();
    if (gc == nullptr || !isServer()) {
        return nullptr;
    }
    // The world of a level is made when its first object asks for it.
    if (gc->physics == nullptr) {
        gc->physics = std::make_unique<PhysicsWorld>();
    }
    return gc->physics.get();
}

int32_t LevelAccess::levelState()
{
    GameController* gc = GameController::getCurrent();
    return gc != nullptr ? gc->state : 0;
}

bool LevelAccess::isServer() { return THEROLE != nullptr && THEROLE->bIsServer; }

bool LevelAccess::mayCreateObjects()
{
    const NetRole* role = THEROLE;
    return role != nullptr && role->bAllowNewObjectRegistations && (role->bIsServer || role->bInsideServerCall);
}

bool LevelAccess::isActing()
{
    const int32_t s = levelState();
    return isServer() && (s == 4 || s == 5) && !isEditing();
}

bool LevelAccess::isEditing()
{
    GameController* gc = GameController::getCurrent();
    return gc != nullptr && gc->isEditing();
}

bool LevelAccess::showEditorMarks()
{
    GameController* gc = GameController::getCurrent();
    return gc != nullptr && gc->isEditing() && !gc->editor->bHideEditorOverlay;
}

bool LevelAccess::showGuide(Guide guide)
{
    if (!showEditorMarks()) {
        return false;
    }
    const ContextEditor* editor = GameController::getCurrent()->editor;
    switch (guide) {
    case SHOW_HULLS:
        return editor->bShowHulls;
    case SHOW_BEZIER_PATHS:
        return editor->bShowBezierPaths;
    default:
        return editor->bShowTriggerAreas;
    }
}

LevelAccess::Area LevelAccess::playingArea()
{
    GameController* gc = GameController::getCurrent();
    if (gc == nullptr) {
        return {};
    }
    return Area{gc->playingArea.left, gc->playingArea.top, gc->playingArea.right, gc->playingArea.bottom};
}

int32_t LevelAccess::applesNeeded()
{
    GameController* gc = GameController::getCurrent();
    return gc != nullptr ? gc->levelStats.requiredApples : 0;
}

namespace {
int32_t* counterField(LevelStats& s, LevelAccess::Counter which)
{
    switch (which) {
    case LevelAccess::REQUIRED_APPLES_GOT:
        return &s.requiredApplesGot;
    case LevelAccess::BONUS_APPLES_GOT:
        return &s.bonusApplesGot;
    case LevelAccess::SWEETS_GOT:
        return &s.sweetsGot;
    case LevelAccess::SECRETS_FOUND:
        return &s.secretsFound;
    case LevelAccess::LIVES_LOST:
        return &s.livesLost;
    case LevelAccess::APPLES_LOST:
        return &s.applesLost;
    case LevelAccess::SCORE:
        return &s.score;
    }
    return nullptr;
}
} // namespace

int32_t LevelAccess::counter(Counter which)
{
    GameController* gc = GameController::getCurrent();
    int32_t* field = gc != nullptr ? counterField(gc->levelStats, which) : nullptr;
    return field != nullptr ? *field : 0;
}

void LevelAccess::addToCounter(Counter which, int32_t amount)
{
    // Objects count only on the server while the level is played.
    if (!isActing()) {
        return;
    }
    if (int32_t* field = counterField(GameController::getCurrent()->levelStats, which)) {
        *field += amount;
    }
}

int32_t LevelAccess::secondGuardedCounter()
{
    GameController* gc = GameController::getCurrent();
    return gc != nullptr ? gc->secureCounter2.get() : 0;
}

void LevelAccess::setSecondGuardedCounter(int32_t value)
{
    if (GameController* gc = GameController::getCurrent()) {
        gc->secureCounter2.set(value);
    }
}

void LevelAccess::addToThirdGuardedCounter(int32_t amount)
{
    if (GameController* gc = GameController::getCurrent()) {
        gc->secureCounter3.set(gc->secureCounter3.get() + amount);
    }
}

int32_t LevelAccess::takeDebugRequest()
{
    GameController* gc = GameController::getCurrent();
    if (gc == nullptr) {
        return 0;
    }
    const int32_t request = gc->debugRequest;
    gc->debugRequest = 0;
    return request;
}

Pig* LevelAccess::hero()
{
    GameController* gc = GameController::getCurrent();
    KivBase* h = gc != nullptr ? gc->findHeroOrNull() : nullptr;
    return h != nullptr && h->isDerivedFrom(&Pig::classRecord) ? static_cast<Pig*>(h) : nullptr;
}

House* LevelAccess::house()
{
    GameController* gc = GameController::getCurrent();
    KivBase* h = gc != nullptr ? gc->findHouseOrNull() : nullptr;
    return h != nullptr && h->isDerivedFrom(&House::classRecord) ? static_cast<House*>(h) : nullptr;
}

A99Object* LevelAccess::actionTarget()
{
    GameController* gc = GameController::getCurrent();
    KivBase* t = gc != nullptr ? gc->actionTarget.get() : nullptr;
    return t != nullptr && t->isDerivedFrom(&A99Object::classRecord) ? static_cast<A99Object*>(t) : nullptr;
}

void LevelAccess::shakeCamera(float amplitude, float duration)
{
    if (GameController* gc = GameController::getCurrent()) {
        gc->shakeCamera(amplitude, duration);
    }
}

void LevelAccess::setMessage(int32_t messenger, int32_t textId, float time, const UString& text)
{
    if (GameController* gc = GameController::getCurrent()) {
        gc->local_setMessage(messenger, textId, time, text);
    }
}

void LevelAccess::showSpot(float x, float y, double transition, double hold)
{
    if (GameController::getCurrent() == nullptr) {
        return;
    }
    auto* look = new CameraLookAt(x, y, viewDepth());
    look->transitionDuration = transition;
    addModifier(look);
    auto* back = new CameraFollowHero();
    back->transitionDuration = transition;
    back->startDelay = transition + hold;
    addModifier(back);
}

void LevelAccess::lookAtThenFollow(float x, float y, double delay)
{
    if (GameController::getCurrent() == nullptr) {
        return;
    }
    auto* look = new CameraLookAt(x, y, viewDepth());
    look->transitionDuration = 0.0;
    addModifier(look);
    auto* back = new CameraFollowHero();
    back->startDelay = delay;
    addModifier(back);
}

bool LevelAccess::cameraEye(V3& eye)
{
    GameController* gc = GameController::getCurrent();
    BlenderCamera* camera = gc != nullptr ? gc->getGameCamera() : nullptr;
    if (camera == nullptr) {
        return false;
    }
    eye = camera->eye;
    return true;
}

bool LevelAccess::touchHeld(TouchControl control)
{
    const TouchButton* button = touchButton(control);
    return button != nullptr && !button->bHidden && button->pressed;
}

bool LevelAccess::touchPressed(TouchControl control)
{
    // The jump button answers once per touch: it takes new touches only.
    return touchHeld(control);
}

const GameConfiguration* LevelAccess::configuration() { return LevelServices::configuration(); }

bool LevelAccess::tutorialOn()
{
    const GameConfiguration* config = configuration();
    return config == nullptr || config->bTutorial != 0;
}

bool LevelAccess::colorBlind()
{
    const GameConfiguration* config = configuration();
    return config != nullptr && config->bColorBlind != 0;
}

bool LevelAccess::cheatsAllowed()
{
    const GameConfiguration* config = configuration();
    return config != nullptr && config->bAllowCheats != 0;
}

int32_t LevelAccess::textId(UStringView key)
{
    const Language* l = language();
    return l != nullptr && l->hasString(key) ? l->getStringId(key) : 0;
}

bool LevelAccess::hasText(UStringView key)
{
    const Language* l = language();
    return l != nullptr && l->hasString(key);
}

UString LevelAccess::text(UStringView key)
{
    const Language* l = language();
    return l != nullptr && l->hasString(key) ? UString(l->getTextByString(key, false)) : UString();
}

UString LevelAccess::textOf(int32_t id)
{
    const Language* l = language();
    return l != nullptr && id > 0 ? UString(l->getText(static_cast<uint32_t>(id))) : UString();
}

UString LevelAccess::bindingName(int32_t action)
{
    static constexpr int DEFAULT_KEYS[7] = {203, 205, 45, 208, 57, 28, 50};
    const Language* l = language();
    if (l == nullptr || action < 0 || action >= 7) {
        return {};
    }
    const GameConfiguration* config = configuration();
    const int code = config != nullptr ? static_cast<int>(config->keyBindings[action].keyboard) : DEFAULT_KEYS[action];
    return l->getKeyName(code);
}

bool LevelAccess::touchMode()
{
    Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->input != nullptr && kiv->input->getInputMode() == 2;
}

void LevelAccess::playSound(UStringView name) { LevelServices::playSound(name); }
