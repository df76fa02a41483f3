#include "game/world/LevelAccess.h"

#include "engine/audio/Sound.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/language/Language.h"
#include "game/userdata/GameConfiguration.h"

// Stand-in until the level controller exists: no level is running.
GameController* LevelAccess::controller() { return nullptr; }
KivBase* LevelAccess::list(ListId) { return nullptr; }
PhysicsWorld* LevelAccess::physics() { return nullptr; }
bool LevelAccess::isActing() { return false; }
int32_t LevelAccess::levelState() { return 0; }
bool LevelAccess::isServer() { return THEROLE != nullptr && THEROLE->bIsServer; }
bool LevelAccess::isEditing() { return false; }
bool LevelAccess::showEditorMarks() { return false; }
bool LevelAccess::showGuide(Guide) { return false; }
LevelAccess::Area LevelAccess::playingArea() { return {}; }
int32_t LevelAccess::applesNeeded() { return 0; }
int32_t LevelAccess::counter(Counter) { return 0; }
void LevelAccess::addToCounter(Counter, int32_t) {}
int32_t LevelAccess::secondGuardedCounter() { return 0; }
void LevelAccess::setSecondGuardedCounter(int32_t) {}
void LevelAccess::addToThirdGuardedCounter(int32_t) {}
int32_t LevelAccess::takeDebugRequest() { return 0; }
Pig* LevelAccess::hero() { return nullptr; }
House* LevelAccess::house() { return nullptr; }
A99Object* LevelAccess::actionTarget() { return nullptr; }
void LevelAccess::shakeCamera(float, float) {}
void LevelAccess::setMessage(int32_t, int32_t, float, const UString&) {}
void LevelAccess::showSpot(float, float, double, double) {}
void LevelAccess::lookAtThenFollow(float, float, double) {}
bool LevelAccess::cameraEye(V3&) { return false; }
bool LevelAccess::touchHeld(TouchControl) { return false; }
bool LevelAccess::touchPressed(TouchControl) { return false; }
const GameConfiguration* LevelAccess::configuration() { return nullptr; }
bool LevelAccess::tutorialOn() { return true; }
bool LevelAccess::colorBlind() { return false; }
bool LevelAccess::cheatsAllowed() { return false; }

void LevelAccess::playSound(UStringView name)
{
    ResourceManager* resources = ResourceManager::instance();
    if (auto* sound = resources != nullptr ? dynamic_cast<Sound*>(resources->find(name, false)) : nullptr) {
        sound->play();
    }
}

namespace {
const Language* language()
{
    Kiv* kiv = Kiv::instance();
    return kiv != nullptr ? kiv->language : nullptr;
}
} // namespace

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
