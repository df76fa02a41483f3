#include "game/editor/PropertyField.h"

#include "engine/core/KivEvent.h"
#include "engine/core/Property.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/front/Global.h"
#include "game/level/GameController.h"
#include "game/menus/GUIthemeMinimal.h"

namespace {
// The panel's look: the game's minimal theme, GUIitem style 8.
constexpr int FIELD_STYLE = 8;
constexpr uint32_t NAME_FLAGS = 0x12;  // left edge, centred vertically
constexpr uint32_t VALUE_FLAGS = 0x18; // right edge, centred vertically

GUItheme* panelTheme()
{
    Global* global = Global::instance();
    return global != nullptr ? global->themeMinimal : nullptr;
}
} // namespace

PropertyField::PropertyField(Property* property) : GUIitem(panelTheme(), FIELD_STYLE), property(property)
{
    height = DEFAULT_HEIGHT;
}

PropertyField::~PropertyField() = default;

bool PropertyField::isReadOnly() const { return property == nullptr || (property->flags & Property::FLAG_READONLY) != 0; }

void PropertyField::place(V3& cursor, float w)
{
    setSize(static_cast<int32_t>(w), height);
    setPosition(V3(cursor.x, cursor.y - static_cast<float>(height) / 2.0f, cursor.z));
    updateVisuals();
    cursor.y -= static_cast<float>(height);
}

void PropertyField::render()
{
    if (bHidden) {
        return;
    }
    GUIitem::render();
    drawTexts();
}

void PropertyField::drawTexts()
{
    Global* global = Global::instance();
    FontQuad* font = global != nullptr ? global->fontTiny : nullptr;
    if (font == nullptr || property == nullptr) {
        return;
    }
    const int row = pTheme != nullptr ? pTheme->rowHeight : DEFAULT_HEIGHT;
    V3 at;
    local2world(at, V3(0.0f, static_cast<float>(height) / 2.0f - static_cast<float>(row) / 2.0f, 0.0f));
    const float half = static_cast<float>(width) / 2.0f;
    const UColor white(0xffffffffu);
    font->print(V3(at.x + 2.0f - half, at.y, at.z), white, NAME_FLAGS, prefix + property->name);
    font->print(V3(at.x + half - 2.0f, at.y, at.z), white, VALUE_FLAGS, property->toString());
}

void PropertyField::sendChanged()
{
    KivEvent event;
    event.type = 8;
    event.source = this;
    event.target = this;
    const Kiv* engine = Kiv::instance();
    event.dispatcher = engine != nullptr ? engine->pointerDispatcher : nullptr;
    KivBase* parent = getParent();
    if (parent != nullptr && parent->dispatchCapture(event)) {
        return;
    }
    if (!bIgnoreEvents && onEvent(event)) {
        return;
    }
    if (parent != nullptr) {
        parent->dispatchBubble(event);
    }
}

bool PropertyField::isCtrlKey(const KivEvent& event, int key)
{
    if (event.type != PointerDispatcher::EVENT_KEY) {
        return false;
    }
    const Kiv* engine = Kiv::instance();
    const KivInput* input = engine != nullptr ? engine->input : nullptr;
    if (input == nullptr || input->getModifierState() != 2 || !input->wasKeyPressed(key)) {
        return false;
    }
    const int pressed = event.dispatcher != nullptr ? event.dispatcher->getKey() : input->getButtonPress();
    return pressed == key;
}

ContextEditor* PropertyField::findEditor() const
{
    for (KivBase* up = getParent(); up != nullptr; up = up->getParent()) {
        if (auto* editor = dynamic_cast<ContextEditor*>(up)) {
            return editor;
        }
    }
    GameController* controller = GameController::getCurrent();
    return controller != nullptr ? controller->editor : nullptr;
}
