#include "game/editor/EditorToolIcon.h"

#include "engine/render/Context.h"
#include "engine/render/Skin.h"

EditorToolIcon::EditorToolIcon(const UString& resourceName, Skin* skin) : name(resourceName)
{
    quad.bHasInvXform = true;
    quad.setSkin(skin, false);
}

void EditorToolIcon::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    const Context* context = Context::getCurrent();
    // A hidden icon cannot be picked.
    bUnderPointer = context != nullptr && !quad.bHidden && quad.isPointInside(context->pointer);
}

void EditorToolIcon::render()
{
    KivBase::render();
    quad.render();
}
