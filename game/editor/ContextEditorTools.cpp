#include "game/editor/ContextEditorTools.h"

ContextEditorTools::ContextEditorTools() { clearColor = UColor(0xff400040u); }

ContextEditorTools::~ContextEditorTools() = default;

void ContextEditorTools::setTool(KivBase* newTarget, KivBase** slot, const RuntimeClass* cls)
{
    filter.clear();
    target = newTarget;
    valueSlot = slot;
    if (cls != resourceClass) {
        resourceClass = cls;
        buildIcons();
    }
}

void ContextEditorTools::buildIcons() {}

void ContextEditorTools::tickContents(double time, double dt) { Context::tickContents(time, dt); }

void ContextEditorTools::renderContents() { Context::renderContents(); }
