#pragma once
// A renderable that waits its delay, fades its alpha in over the fade-in time, holds for its duration,
// fades out over the fade-out time and then flags itself for deletion when auto-delete is set.
#include "engine/render/Renderable.h"

class FadingSprite : public Renderable {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    FadingSprite() = default;
    FadingSprite(Skin* skin, const V3& position, double delay, double fadeIn, double duration, double fadeOut);

    void tick(double time, double dt) override;
    void render() override;
    // The alpha factor (0 to 1) at the current age.
    float getFade() const;

    double delay = 0.0;
    double fadeIn = 0.0;
    double duration = 0.0;
    double fadeOut = 0.0;
    double age = 0.0;
    bool bAutoDelete = true;
};
