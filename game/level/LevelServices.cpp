#include "game/level/LevelServices.h"

#include "engine/audio/Sound.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "game/language/Language.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"

namespace {
ResourceManager* resources()
{
    Kiv* kiv = Kiv::instance();
    return kiv != nullptr ? kiv->resourceManager : nullptr;
}
} // namespace

LevelServices::Fallback& LevelServices::fallback()
{
    static Fallback instance;
    return instance;
}

GameConfiguration* LevelServices::configuration() { return fallback().configuration; }

ProfileData* LevelServices::currentProfile() { return fallback().profile; }

UString LevelServices::playerName()
{
    const ProfileData* profile = currentProfile();
    if (profile == nullptr) {
        return {};
    }
    return toUString(profile->name);
}

FontQuad* LevelServices::font(UStringView name)
{
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

void LevelServices::setFade(float coverage, float target)
{
    fallback().fade = coverage;
    fallback().fadeTarget = target;
}

void LevelServices::setFadeTarget(float target) { fallback().fadeTarget = target; }

float LevelServices::getFade() { return fallback().fade; }

float LevelServices::getFadeTarget() { return fallback().fadeTarget; }

void LevelServices::addScreen(Context* /*screen*/) {}

void LevelServices::renderPointerLayer() {}

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
