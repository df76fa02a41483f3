#pragma once
// A context seen through a BlenderCamera (the level's game and sky layers).
#include "engine/render/BlenderCamera.h"
#include "engine/render/Context.h"

class ContextBlender : public Context {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    ContextBlender() : Context(new BlenderCamera()) {}
    BlenderCamera* getBlenderCamera() const { return static_cast<BlenderCamera*>(camera); }
};
