#pragma once
// The controller of one running level: the level header (playing area, apples needed, bonus flag, par
// time, season, weather), the sky, game and HUD layers, the eighteen object lists into which every level
// object is sorted, the editor layer, the statistics of the run and the explored part of the level. It
// runs the nine level states from the intro camera to the results panel and sets result code 5 at the end.
//
// Its property list is the level-file layout of the controller: the layers, the eighteen lists, the
// editor, the playing area, apples needed, the bonus flag, the par time, the season and the weather.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/Reference.h"
#include "engine/core/SecureInt.h"
#include "engine/core/UString.h"
#include "engine/render/ContextBlender.h"
#include "game/userdata/LevelStats.h"
#include "game/world/LevelDataCheck.h"

class A99Object;
class ContextEditor;
class ContextHUD;
class ContextSky;
class KivTouchPoint;
class MyRootObject;
class PhysicsWorld;

// The world rectangle to which the level cameras are clamped (y up: top above bottom). Its edges also bound
// the level for the physics, so they are checked as coordinates of the controller that holds it.
class PlayingArea : public KivBase, public LevelDataCheck::Checked {
public:
    void addPropertiesTo(Property& list) override;
    // The editor's change notice (EditorObject::EVENT_EDITED) checks the edges.
    bool onEvent(KivEvent& event) override;
    // The edges as coordinates (LevelDataCheck), reported as the controller's.
    void checkValues(const LevelDataCheck::Run& run) override;
    void checkLoadedValues() { checkValues({}); }

    const KivBase* controller = nullptr;
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

class GameController : public Context, public LevelDataCheck::Checked {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    enum Season : int32_t { SEASON_SPRING = 0, SEASON_SUMMER = 1, SEASON_AUTUMN = 2, SEASON_WINTER = 3 };
    // The level states.
    enum LevelState : int32_t {
        STATE_INTRO = 1,
        STATE_TITLE = 2,
        STATE_GO = 3,
        STATE_PLAYING = 4,
        STATE_CONFIRMING = 5,
        STATE_LEVELEND = 6,
        STATE_RESULTS = 7,
        STATE_FADEOUT = 8,
        STATE_DONE = 9,
    };
    static constexpr int MINIMAP_WIDTH = 256;
    static constexpr int MINIMAP_HEIGHT = 192;
    static constexpr float NO_TARGET_DISTANCE = 999999.0f;
    // The longest text a message call carries.
    static constexpr int MAXMESSAGELENGTH = 256;
    // The most objects a list of a level that comes from outside (a level the user saved) may hold: level 5
    // with this many apples, spread over its ground or all at one spot, plays at about 30 frames a second even
    // with the software renderer. The game's own levels hold at most 33 in a list.
    static constexpr int MAX_LIST_OBJECTS = 500;
    // The longest par time, 99:59: the statistics rows show times as minutes:seconds with two-digit minutes.
    // (The bonus timer, which starts at the par time, shows whole seconds and hundredths.) 0 sets no time
    // target.
    static constexpr double MAX_PAR_TIME = 5999.0;
    static constexpr double DEFAULT_PAR_TIME = 60.0;

    GameController();
    // Stops the sound output and forgets the music, empties the action target.
    ~GameController() override;

    void addPropertiesTo(Property& list) override;

    // Replicated construction of the layers, the lists and, on the server, the editor and the starter
    // content of an empty level.
    void construct();
    void local_construct();

    // The header's check (checkLoadedValues), as the controller's state arrives.
    void netPostReplicate() override;
    // The editor's change notice (EditorObject::EVENT_EDITED) checks the header.
    bool onEvent(KivEvent& event) override;
    // The playing area's edges and the par time (LevelDataCheck); the values that the level's start mends
    // itself are refused only when typed into the editor.
    void checkValues(const LevelDataCheck::Run& run) override;
    void checkLoadedValues() { checkValues({}); }
    // The level-start set-up, once the level's objects are in place.
    void netPostReplicateGlobal() override;
    void tickContents(double time, double dt) override;
    // The context's tick entry runs the state machine before tickContents; the controller runs it in
    // tickContents' last step instead, after the frame's input, overlays and level-end checks.
    void tickState(double /*time*/, double /*dt*/) override {}
    void renderContents() override;

    // The level states.
    void onStateChange() override;
    virtual void local_enterState();
    bool isLevelComplete();

    // The pig (first child of pigList) and the house (first child of houseList); fatal when missing.
    KivBase* findHero() const;
    KivBase* findHouse() const;
    // The pig and the house, or null while the lists are empty.
    KivBase* findHeroOrNull() const;
    KivBase* findHouseOrNull() const;
    // The apples of the level (the children of appleList): at most as many are needed.
    int32_t appleCount() const;
    // Offers the action query of every live object of the list at the hero's position (or the touch's).
    void findActionTarget(KivBase* list);
    void findTouchTarget(KivBase* list, const V3& touch);

    // Messages on the HUD's two message displays (messenger 1 or 2). A text id above 0 shows the
    // language's text of that id; otherwise `text` is shown.
    void setMessage(int32_t messenger, int32_t textId, const UString& text, float displayTime);
    void local_setMessage(int32_t messenger, int32_t textId, float displayTime, const UString& text);
    // A message for the one peer whose player id is `playerId`.
    void setPlayerMessage(uint32_t playerId, int32_t messenger, int32_t textId, const UString& text,
                          float displayTime);
    void local_setPlayerMessage(uint32_t playerId, int32_t messenger, int32_t textId, const UString& text,
                                float displayTime);
    // Rolls the sky and game cameras: cos(elapsed x 32) x (duration - elapsed) x amplitude radians.
    void shakeCamera(float amplitude, float duration);

    // The number of the level being played (the current profile's current level; 0 without a profile).
    int getLevelNumber() const;
    // True while the role edits the level (a role exists, the editor is set and the role's bEditing).
    bool isEditing() const;
    // The game layer's camera.
    BlenderCamera* getGameCamera() const;
    // Marks the part of the playing area that the game camera sees (the ellipse inscribed in its view)
    // in the explored grid; row 0 is the top of the playing area.
    void updateExploration();

    // The controller of the current role's level, or null.
    static GameController* getCurrent();

    // Layers (children of the controller, in this order, the editor last).
    ContextSky* contextBackground = nullptr;
    ContextBlender* contextGame = nullptr;
    ContextHUD* contextHUD = nullptr;

    // The object lists, children of contextGame in drawing order (see local_construct).
    KivBase* bgList = nullptr;
    KivBase* bgEffectsList = nullptr;
    KivBase* secretList = nullptr;
    KivBase* dangerAreaList = nullptr;
    KivBase* objectList = nullptr;
    KivBase* appleList = nullptr;
    KivBase* sweetList = nullptr;
    KivBase* cargoList = nullptr;
    KivBase* pigList = nullptr;
    KivBase* pigletList = nullptr;
    KivBase* houseList = nullptr;
    KivBase* explodableList = nullptr;
    KivBase* hullList = nullptr;
    KivBase* proxyList = nullptr;
    KivBase* appleGhostList = nullptr;
    KivBase* fgEffectsList = nullptr;
    KivBase* weatherList = nullptr;
    KivBase* speechBubbleList = nullptr;
    // The eighteen lists by their property names, in the order of the controller's properties.
    struct ListMember {
        const char16_t* name;
        KivBase* GameController::*list;
    };
    static const ListMember LISTS[18];
    // Whether the object is of the kind that LISTS[list] holds (LISTS is in the order of
    // LevelAccess::ListId): a level object in its home list, or in bgList when its home is objectList
    // (scenery drawn behind the objects); a hull in hullList and a proxy in proxyList; and in bgList and the
    // effect lists any object but these (the effects, such as the hills behind the level).
    static bool isOfListKind(std::size_t list, const KivBase& object);
    // Why a level with this root cannot be played: no root, no controller, a menu open over it, the root's
    // player list not a list in its place, a layer (the editor too) or list missing, not where the controller
    // keeps it or standing for another list too, a list holding an object of another kind, no pig or house,
    // or a list (but proxyList) holding more than MAX_LIST_OBJECTS; naming the layer or list (and the count);
    // empty when it can. A level read from outside is checked so, and so is every change of a pointer in the
    // editor.
    static UString whyNotPlayable(const MyRootObject* root);

    ContextEditor* editor = nullptr;

    // Level header.
    PlayingArea playingArea;
    int32_t applesNeeded = 10;
    bool bBonusLevel = false;
    float bonusTimer = 0.0f; // seconds left on a bonus level
    double parTime = DEFAULT_PAR_TIME; // seconds, 0 to MAX_PAR_TIME
    Season season = SEASON_SPRING;
    float weatherIntensity = 0.0f;

    // The run.
    LevelStats levelStats;
    uint8_t minimapExplored[MINIMAP_HEIGHT][MINIMAP_WIDTH] = {};
    int32_t debugRequest = 0; // 1, 2 or 3 from the debug keys; 0 none
    // Level counters kept against memory editing. The second is read by the pig's jump test; a third that
    // is not 0 at the level end makes the run's high-score entry ineligible.
    SecureInt secureCounter1;
    SecureInt secureCounter2;
    SecureInt secureCounter3;
    uint32_t framesPlayed = 0; // ticks in state 4 while the hero is outside the house

    // The object the pig's action (or a touch) aims at this frame.
    Reference actionTarget{this};
    int32_t actionTargetPriority = 0;
    float actionTargetDistance = NO_TARGET_DISTANCE;

    // Requests of the HUD's touch buttons; they live for one frame.
    bool bTutorialRequest = false;
    bool bStatisticsRequest = false;
    bool bMiniMapRequest = false;

    // The world physics of the level (not saved, not replicated), made when the first object needs it and
    // stepped before the objects tick.
    std::unique_ptr<PhysicsWorld> physics;

private:
    void enterLevelEnd();
    void buildResultsPanel();
    void openOverlay(KivBase* overlay, void (*construct)(KivBase*));
    void sanitiseHeader();
    // A touch point's place in the world of `layer` (x, y from the lower-left of the screen).
    static V3 touchToWorld(const Context& layer, const V3& touch);
};
