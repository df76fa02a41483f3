#include "game/editor/ContextEditor.h"

// The table of field kinds comes with the property fields.
GUIitem* ContextEditor::makeGUI(Property* /*property*/) { return nullptr; }

void ContextEditor::placeField(KivBase* /*field*/, const V3& /*cursor*/, float /*width*/) {}
