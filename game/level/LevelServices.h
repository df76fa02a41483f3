#pragma once
// What level play needs from the game around it (the Global): the configuration and the current player,
// the game's fonts and sounds, texts, the screen fade and the screen stack. Without a game object the
// answers are null and the calls do nothing, so the level code also runs in a bare engine.
#include "engine/core/UString.h"

class Context;
class FontQuad;
class GameConfiguration;
class KivBase;
class Sound;
struct ProfileData;

namespace LevelServices {

GameConfiguration* configuration();
// The current player's profile.
ProfileData* currentProfile();
// The current player's name, widened.
UString playerName();

// A font of the game ("fontLarge", "fontMediumOutline", ...): the game object's, else the resource.
FontQuad* font(UStringView name);
// A resource by name; fatal when it is missing.
KivBase* resource(UStringView name);
// Plays a sound once (nothing when the sound is missing), or shifted by semitones.
void playSound(UStringView name);
void playSoundSemitones(UStringView name, int semitones);

// Texts of the current language ("" without a language).
UString text(int id);
UString textByKey(UStringView key, bool mustExist);
bool hasText(UStringView key);

// The screen fade over all screens: 0 transparent, 1 opaque.
void setFade(float coverage, float target);
void setFadeTarget(float target);
float getFade();
float getFadeTarget();

// Appends a screen to the screen stack (nothing without a stack).
void addScreen(Context* screen);
// Draws the mouse pointer layer of the screen stack.
void renderPointerLayer();

} // namespace LevelServices
