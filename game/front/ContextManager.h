#pragma once
// The root context and screen stack: its children are the screens and the last child is the top screen,
// the only one ticked, drawn and reached by the pointer. Each tick it pops closed screens from the top,
// activates the new top, answers Escape (with an optional "Are you sure?" question) and the continue
// input, and raises the quit flag when the stack runs empty. Over the top screen it draws the mouse
// pointer, the black transition wipe and the optional frame-rate readout, in screen space. When the
// screen's size changes, every menu on the stack is laid out for the new size before anything else.
#include "engine/core/Reference.h"
#include "engine/render/Context.h"
#include "game/menus/ScreenFit.h"

class MousePointer;
class TransitionWipe;

class ContextManager : public Context {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    ContextManager();
    // Deletes the overlay layers; screens still on the stack are detached, and deleted when the stack
    // owns them (bDeleteWhenClosed).
    ~ContextManager() override;

    // Clears the screen's closed flag and makes it the top screen; it is activated on the next tick. The
    // stack owns it only when its bDeleteWhenClosed is set.
    void addContext(Context* screen);
    // The last child (the top screen), or null.
    Context* getTop() const;

    void tickContents(double time, double dt) override;
    void renderContents() override;
    // Only the top screen is searched.
    KivBase* findObjectUnderPointer(const V3& point) override;

    bool bQuit = false;
    Context* pointerLayer = nullptr; // owned
    MousePointer* mousePointer = nullptr;
    Context* wipeLayer = nullptr; // owned
    TransitionWipe* transitionWipe = nullptr;
    Context* activeScreen = nullptr; // the screen activated last; null after a pop
    Context* topScreen = nullptr;    // the top seen by this frame's tick
    float shownFrameRate = 0.0f;
    double nextReadoutTime = 0.0;
    int confirmAnswer = -1; // the quit question's answer; -1 none pending
    Reference confirmAsking{this};   // the screen that asked the close question
    Reference confirmQuestion{this}; // the question

private:
    void popClosedScreens();
    void activateTop();
    void handleEscapeAndContinue(Context* top);
    void openCloseConfirmation();
    // The pointer's and the wipe's views, and every menu on the stack, follow the screen's size when it
    // has changed since the last fit.
    void fitToScreen();
    void renderFrameRate();

    ScreenFit::FittedSize fittedSize;
};
