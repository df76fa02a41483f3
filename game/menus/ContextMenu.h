#pragma once
// The base of every menu screen, dialog and in-game menu overlay. Items are laid out in the menu plane
// (origin at the screen centre, y up) on a grid of rows. Pointer input reaches the items directly; the
// arrow keys, the joystick directions and the confirm buttons are turned into pointer moves between the
// items' hot spots and into synthetic touches, so items only ever handle pointer input.
//
// The navigation mode (pointer or keyboard) and the reading-direction constants are shared by all menus.
//
// Items placed from the screen's edges (titles, corner buttons) are registered with keepToEdges: when the
// screen's size changes, the menu's view is set for the new size and those items move with their edges,
// so that an open menu stands as one built at the new size, with the same item selected.
#include <cstdint>
#include <list>

#include "engine/core/KivBase.h"
#include "engine/core/Reference.h"
#include "engine/core/V3.h"
#include "engine/render/Context.h"
#include "game/language/StringIds.h"
#include "game/menus/ScreenFit.h"

class MenuBackButton;
class Navigable;
class Renderable;
class TextSprite;

class ContextMenu : public Context {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    enum NavigationMode { NAVIGATION_POINTER = 1, NAVIGATION_KEYBOARD = 2 };
    enum Direction { UP = 0, DOWN = 1, LEFT = 2, RIGHT = 3, NEAREST = 4 };

    // Process-wide navigation state.
    static inline int menuNavigationMode = NAVIGATION_POINTER;
    static inline int64_t navigationModeFrame = -1;
    // Set by every menu's constructor from the current language: 4 and 1.0 reading left to right, 6 and
    // -1.0 reading right to left.
    static inline int ALIGN_READING_START = 4;
    static inline float READING_DIRECTION_X = 1.0f;

    ContextMenu();
    ~ContextMenu() override;

    void onInputModeChange() override;
    void tickEntry(double time, double dt) override;
    void renderEntry() override;
    void onActivate(bool firstActivation) override;
    void onDeactivate(bool closing) override;
    void tickContents(double time, double dt) override;
    void renderContents() override;

    // Appends the item as the last child and makes it a navigation target (of navigationOwner when set).
    void addItem(Renderable* item);
    // Makes an object a navigation target of this menu; objects that are not navigable are ignored.
    void addNavigationEntry(Renderable* item);
    // Forgets every navigation target (their objects stay).
    void clearNavigationEntries();
    // Keeps an item at its distance from the screen's nearer left or right edge (horizontally), and from
    // the nearer top or bottom edge (vertically), when the screen's size changes.
    void keepToEdges(Renderable* item, bool horizontally, bool vertically);
    // The page's title in the large font at the top of the screen.
    TextSprite* addTitle(int titleId);
    // The button that closes the menu, 160 wide at the bottom left (bottom right when reading right to
    // left); appended and made navigable.
    MenuBackButton* addBackButton(int captionId = STR_BACK);
    static void setMenuNavigationMode(int mode);
    // Lays the menu out for the screen's size when that has changed since the last fit (the screen stack
    // does so for every menu on it; a menu drawn as a layer of another screen before it ticks or draws).
    // The saved pointer, and with `steering` the pointer while the keys steer it, follow their items.
    void fitToScreen(bool steering);

    // The best hot spot from `from` (pointer coordinates) in a direction; `from` when none qualifies.
    V3 findNavigationTarget(const V3& from, int direction);
    static float navigationScore(const V3& from, const V3& to, int direction);

    // Screen size in pixels (the graphics' game screen, 800 x 600 without graphics).
    static int screenWidth();
    static int screenHeight();
    // A point of a context's plane in pointer coordinates, and back.
    static V3 planeToPointer(const Context* context, const V3& planePoint);
    static V3 pointerToPlane(const Context* context, const V3& pointerPoint);
    // The nearest context above an object (the current context when there is none).
    static Context* contextOf(const KivBase* object);
    // The pointer home: the top centre of the screen.
    V3 pointerHome() const;

    int32_t rowHeight = 50;
    int32_t marginY = 40;
    int32_t marginX = 40;
    int32_t cornerX = 0;
    int32_t cornerY = 0;
    bool bNavigationEnabled = true;
    ContextMenu* navigationOwner = nullptr;
    KivBase navigationEntries;
    V3 savedPointer;
    bool bConfirmArmed = false;

protected:
    // A hot spot of a navigable item: its index in the item's list.
    struct HotSpot {
        Navigable* navigable = nullptr;
        int index = -1;
    };
    // An item kept to the screen's edges: -1, 0 or 1 times the change of the half width and half height
    // moves it.
    struct EdgeAnchor {
        Reference item;
        float sideX = 0.0f;
        float sideY = 0.0f;
    };

    // Walks the navigation list, deleting the entries whose object is gone; visit(item, navigable).
    template <class Visit>
    void walkNavigation(Visit visit);
    void drawHotSpotMarkers();
    // Keyboard and joystick navigation of one frame: pointer moves, synthetic touches, the back keys.
    void readNavigationKeys();
    // The hot spot whose place in the menu's plane is nearest to a point of the plane.
    HotSpot nearestHotSpot(const V3& planePoint);

    ScreenFit::FittedSize fittedSize;
    std::list<EdgeAnchor> edgeAnchors;
};
