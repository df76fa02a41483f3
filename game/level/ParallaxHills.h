#pragma once
// The season's hills behind the level: far and near hill sprites (not owned). Drawing them in parallax
// comes with the level's backdrops; for now the backdrop holds its two sprites and draws nothing.
#include "engine/core/KivBase.h"

class ParallaxHills : public KivBase {
public:
    ParallaxHills(KivBase* farHills, KivBase* nearHills) : farHills(farHills), nearHills(nearHills) {}
    void render() override {}

    KivBase* farHills;
    KivBase* nearHills;
};
