#pragma once
// The editor's resource palette: a full-screen layer that shows every loaded resource of one class as a
// grid of icons. Typing narrows the grid to names that begin with the typed text (Backspace clears it);
// the first press writes the resource under the pointer into the property being set, tells the edited
// object, and closes the palette. It belongs to the editor layer and is only linked into the screen stack
// while it is open.
#include "engine/core/UString.h"
#include "engine/render/Context.h"

class EditorToolIcon;

class ContextEditorTools : public Context {
public:
    ContextEditorTools();
    ~ContextEditorTools() override;

    void tickContents(double time, double dt) override;
    void renderContents() override;

    // Prepares the palette for one property: `valueSlot` is where the chosen resource is written (the
    // property's value: an object pointer member whose type is `resourceClass` or a base of it; resources
    // derive from KivBase alone, so their pointers are KivBase pointers), `resourceClass` the class a resource must be or derive from to be shown. The
    // grid is rebuilt only when the class changed; the filter is cleared every time.
    void setTool(KivBase* target, void* valueSlot, const RuntimeClass* resourceClass);
    // Rebuilds the icon grid from the resource manager.
    void buildIcons();
    // The resource now in the value slot (null when none or no slot).
    KivBase* currentValue() const;

    UString filter;
    KivBase* target = nullptr;      // not owned
    void* valueSlot = nullptr;      // not owned
    const RuntimeClass* resourceClass = nullptr;
};
