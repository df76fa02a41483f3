#pragma once
// The base of every menu screen, dialog and in-game menu overlay. Items are laid out in the menu plane
// (origin at the screen centre, y up) on a grid of rows. Pointer input reaches the items directly; the
// arrow keys, the joystick directions and the confirm buttons are turned into pointer moves between the
// items' hot spots and into synthetic touches, so items only ever handle pointer input.
//
// The navigation mode (pointer or keyboard) and the reading-direction constants are shared by all menus.
#include <cstdint>

#include "engine/core/KivBase.h"
#include "engine/core/V3.h"
#include "engine/render/Context.h"

class Navigable;
class Renderable;

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
    static void setMenuNavigationMode(int mode);

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
    // Walks the navigation list, deleting the entries whose object is gone; visit(item, navigable).
    template <class Visit>
    void walkNavigation(Visit visit);
    void drawHotSpotMarkers();
    // Keyboard and joystick navigation of one frame: pointer moves, synthetic touches, the back keys.
    void readNavigationKeys();
};
