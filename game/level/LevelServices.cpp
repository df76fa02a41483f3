#include "game/level/LevelServices.h"

#include "engine/audio/Sound.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/TransitionWipe.h"
#include "game/language/Language.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"

namespace {
ResourceManager* resources()
{
    Kiv* kiv = Kiv::instance();
    return kiv != nullptr ? kiv->resourceManager : ResourceManager::instance();
}
} // namespace

GameConfiguration* LevelServices::configuration()
{
    Global* global = Global::instance();
    return global != nullptr ? &global->config : nullptr;
}

ProfileData* LevelServices::currentProfile()
{
    Global* global = Global::instance();
    return global != nullptr ? &global->profiles.getCurrentProfile() : nullptr;
}

UString LevelServices::playerName()
{
    const ProfileData* profile = currentProfile();
    return profile != nullptr ? toUString(profile->name, sizeof(profile->name)) : UString();
}

FontQuad* LevelServices::font(UStringView name)
{
    if (const Global* global = Global::instance()) {
        const std::pair<UStringView, FontQuad*> fonts[] = {
            {u"fontTiny", global->fontTiny},     {u"fontSmall", global->fontSmall},
            {u"fontSmallOutline", global->fontSmallOutline}, {u"fontMedium", global->fontMedium},
            {u"fontMediumOutline", global->fontMediumOutline}, {u"fontLarge", global->fontLarge}};
        for (const auto& [fontName, font] : fonts) {
            if (fontName == name && font != nullptr) {
                return font;
            }
        }
    }
    ResourceManager* rm = resources();
    return rm != nullptr ? dynamic_cast<FontQuad*>(rm->find(name, false)) : nullptr;
}

KivBase* LevelServices::resource(UStringView name)
{
    ResourceManager* rm = resources();
    return rm != nullptr ? rm->find(name, true) : nullptr;
}

void LevelServices::playSound(UStringView name)
{
    ResourceManager* rm = resources();
    if (auto* sound = rm != nullptr ? dynamic_cast<Sound*>(rm->find(name, false)) : nullptr) {
        sound->play();
    }
}

void LevelServices::playSoundSemitones(UStringView name, int semitones)
{
    ResourceManager* rm = resources();
    if (auto* sound = rm != nullptr ? dynamic_cast<Sound*>(rm->find(name, false)) : nullptr) {
        sound->playSemitones(semitones);
    }
}

namespace {
TransitionWipe* fade()
{
    const Global* global = Global::instance();
    return global != nullptr && global->contextManager != nullptr ? global->contextManager->transitionWipe : nullptr;
}
} // namespace

void LevelServices::setFade(float coverage, float target)
{
    if (TransitionWipe* wipe = fade()) {
        wipe->level = coverage;
        wipe->targetLevel = target;
    }
}

void LevelServices::setFadeTarget(float target)
{
    if (TransitionWipe* wipe = fade()) {
        wipe->targetLevel = target;
    }
}

float LevelServices::getFade()
{
    const TransitionWipe* wipe = fade();
    return wipe != nullptr ? wipe->level : 0.0f;
}

float LevelServices::getFadeTarget()
{
    const TransitionWipe* wipe = fade();
    return wipe != nullptr ? wipe->targetLevel : 0.0f;
}

void LevelServices::addScreen(Context* screen)
{
    Global* global = Global::instance();
    if (global != nullptr && global->contextManager != nullptr) {
        global->contextManager->addContext(screen);
    }
}

void LevelServices::renderPointerLayer()
{
    const Global* global = Global::instance();
    if (global != nullptr && global->contextManager != nullptr && global->contextManager->pointerLayer != nullptr) {
        global->contextManager->pointerLayer->renderEntry();
    }
}

namespace {
const Language* language()
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr ? kiv->language : nullptr;
}
} // namespace

UString LevelServices::text(int id)
{
    const Language* lang = language();
    return lang != nullptr ? UString(lang->getText(static_cast<uint32_t>(id))) : UString();
}

UString LevelServices::textByKey(UStringView key, bool mustExist)
{
    const Language* lang = language();
    return lang != nullptr ? UString(lang->getTextByString(key, mustExist)) : UString();
}

bool LevelServices::hasText(UStringView key)
{
    const Language* lang = language();
    return lang != nullptr && lang->hasString(key);
}
