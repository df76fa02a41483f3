#pragma once
// What the world objects read and write of the running level: its controller's object lists, level
// counters, playing area, physics, camera, messages and settings. Everything is found through the current
// network role's root object; without a running level the queries answer null, zero or false and the
// actions do nothing, so objects can be made and edited on their own (the editor's class list does).
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/core/V3.h"

class A99Object;
class GameConfiguration;
class GameController;
class House;
class KivBase;
class PhysicsWorld;
class Pig;
struct LevelStats;

class LevelAccess {
public:
    // The controller's eighteen object lists.
    enum ListId : int32_t {
        BG_LIST,
        BG_EFFECTS_LIST,
        SECRET_LIST,
        DANGER_AREA_LIST,
        OBJECT_LIST,
        APPLE_LIST,
        SWEET_LIST,
        CARGO_LIST,
        PIG_LIST,
        PIGLET_LIST,
        HOUSE_LIST,
        EXPLODABLE_LIST,
        HULL_LIST,
        PROXY_LIST,
        APPLE_GHOST_LIST,
        FG_EFFECTS_LIST,
        WEATHER_LIST,
        SPEECH_BUBBLE_LIST,
        LIST_COUNT
    };
    // The level counters the objects raise.
    enum Counter : int32_t {
        REQUIRED_APPLES_GOT,
        BONUS_APPLES_GOT,
        SWEETS_GOT,
        SECRETS_FOUND,
        LIVES_LOST,
        APPLES_LOST,
        SCORE
    };
    // The editor's guides.
    enum Guide : int32_t { SHOW_HULLS, SHOW_BEZIER_PATHS, SHOW_TRIGGER_AREAS };

    // The HUD's three touch controls.
    enum TouchControl : int32_t { TOUCH_LEFT, TOUCH_RIGHT, TOUCH_JUMP };

    struct Area {
        float left = 0.0f;
        float top = 0.0f;
        float right = 0.0f;
        float bottom = 0.0f;
    };

    // The running level's controller, or null.
    static GameController* controller();
    static KivBase* list(ListId id);
    // The level's physics (server only), or null.
    static PhysicsWorld* physics();
    // True on the server of a level in state 4 or 5: only then do objects count and act.
    static bool isActing();
    static int32_t levelState();
    static bool isServer();
    // This side may make replicated objects now: registrations are allowed and it is the server, or a
    // client running a call that the server runs too (both sides then make the same objects under the same
    // UIDs). Elsewhere a client only mirrors what the server sends.
    static bool mayCreateObjects();
    // Editing is active (a role, the controller's editor, and the role's bEditing).
    static bool isEditing();
    // Editing is active and the editor does not hide its overlay.
    static bool showEditorMarks();
    static bool showGuide(Guide guide);

    static Area playingArea();
    static int32_t applesNeeded();
    static int32_t counter(Counter which);
    static void addToCounter(Counter which, int32_t amount);
    // The second and third guarded counters of the controller.
    static int32_t secondGuardedCounter();
    static void setSecondGuardedCounter(int32_t value);
    static void addToThirdGuardedCounter(int32_t amount);
    // Takes and clears the controller's debug request (0 when none).
    static int32_t takeDebugRequest();

    static Pig* hero();
    static House* house();
    static A99Object* actionTarget();

    static void shakeCamera(float amplitude, float duration);
    static void setMessage(int32_t messenger, int32_t textId, float time, const UString& text);
    // The game camera shows (x, y) over `transition` seconds, holds it `hold` seconds and returns to the
    // pig over `transition` seconds.
    static void showSpot(float x, float y, double transition, double hold);
    // The game camera jumps to (x, y), then follows the pig again after `delay` seconds.
    static void lookAtThenFollow(float x, float y, double delay);
    // The game camera's eye; false without a level.
    static bool cameraEye(V3& eye);

    static bool touchHeld(TouchControl control);
    static bool touchPressed(TouchControl control);

    // The user's settings, or null before they exist.
    static const GameConfiguration* configuration();
    static bool tutorialOn();
    static bool colorBlind();
    static bool cheatsAllowed();

    // Texts of the current language: the id of a key (0 when unknown), whether a key exists, and the text
    // of a key (empty when unknown).
    static int32_t textId(UStringView key);
    static bool hasText(UStringView key);
    static UString text(UStringView key);
    static UString textOf(int32_t id);
    // The display name of the keyboard key bound to a game action (0 left ... 6 map).
    static UString bindingName(int32_t action);
    static bool touchMode();

    // Plays a sound of the catalogue once (nothing when it is not loaded).
    static void playSound(UStringView name);
};
