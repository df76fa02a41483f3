#include "game/front/ContextSnow.h"

#include "game/front/SnowFlake.h"
#include "game/menus/ScreenFit.h"

ContextSnow::ContextSnow()
{
    snow = new SnowFlake(camera, 1.0f, 1.0f);
    addChild(snow);
}

void ContextSnow::renderEntry()
{
    ScreenFit::fitCamera(*camera);
    Context::renderEntry();
}
