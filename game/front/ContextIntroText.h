#pragma once
// The story screen after the splash: timed captions over the backdrop and the snow for 88 seconds, or
// until skipped by Escape, the jump action or a pointer press.
#include "engine/render/Context.h"
#include "engine/core/UString.h"

class ContextIntroText : public Context {
public:
    static constexpr double DURATION = 88.0;

    ContextIntroText();
    void tickContents(double time, double dt) override;
    // The captions with a dark rim under each, so that they read over the roof, the snow and the sky.
    void renderContents() override;
    void onActivate(bool firstActivation) override;

    // A caption of the story at height y that shows after `delay` for `duration` seconds.
    void addStoryLine(const UString& text, float y, float duration, float delay);
};
