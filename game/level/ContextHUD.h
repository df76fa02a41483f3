#pragma once
// The head-up display of a running level: the bar with the running score and one apple icon per apple
// the level needs, the clock, the two message displays, the bonus countdown, the touch controls (two
// arrows and a jump button) and the four touch buttons (pause, tutorial, statistics, mini map).
#include "engine/core/InterpolatedValue.h"
#include "engine/render/Context.h"
#include "engine/render/Renderable.h"
#include "game/level/MessageDisplay.h"
#include "game/level/TouchButton.h"

class ContextHUD : public Context {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    ContextHUD();
    ~ContextHUD() override;

    void tickContents(double time, double dt) override;
    void renderContents() override;
    // True while any of the four touch buttons is drawn.
    bool buttonsShown() const;
    // True in touch play, or while the buttons are drawn: the clock then stands below them.
    bool clockBelowButtons() const;
    // The height of the HUD's top row from the screen's top edge, in pixels: the bar and the clock, or in
    // touch play the buttons with the clock below them. Nothing else belongs there.
    float topRowHeight() const;
    static constexpr float TOP_ROW = 40.0f;
    static constexpr float TOP_ROW_WITH_BUTTONS = 100.0f;

    MessageDisplay messenger1;
    MessageDisplay messenger2;
    TouchButton* touchLeft;
    TouchButton* touchRight;
    TouchButton* touchJump;
    Renderable* buttonPause;
    Renderable* buttonTutorial;
    Renderable* buttonStatistics;
    Renderable* buttonMiniMap;
    InterpolatedValue scoreCounter{0.0f, 1.25f, 1, true, false};
};
