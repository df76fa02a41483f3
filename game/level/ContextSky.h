#pragma once
// The backmost layer of a running level: the sky picture of the level's season and a faint sleigh that
// crosses the sky to and fro, trailing glints.
#include <cstdint>

#include "engine/render/ContextBlender.h"
#include "engine/render/Renderable.h"

class ContextSky : public ContextBlender {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    ContextSky();
    ~ContextSky() override;

    void tickContents(double time, double dt) override;
    void renderContents() override;

    double sparkleTimer = 0.0;
    double sparkleInterval = 0.1;
    Renderable* sky;    // child
    Renderable* sleigh; // child
    int32_t sleighDirection = -1;
};
