#include "game/editor/PropertyField.h"

#include <algorithm>

#include "engine/core/KivEvent.h"
#include "engine/core/Format.h"
#include "engine/core/Property.h"
#include "engine/core/PropertyClass.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/front/Global.h"
#include "game/level/GameController.h"
#include "game/menus/GUIthemeMinimal.h"

namespace {
// The panel's look: the game's minimal theme, GUIitem style 8.
constexpr int FIELD_STYLE = 8;
constexpr uint32_t NAME_FLAGS = 0x12;  // left edge, centred vertically
constexpr uint32_t VALUE_FLAGS = 0x18; // right edge, centred vertically
constexpr float TEXT_MARGIN = 2.0f;     // from the row's edges
constexpr float TEXT_GAP = 4.0f;        // between a shortened name and its value

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

bool PropertyField::isReadOnly() const
{
    return property == nullptr || (property->flags & Property::FLAG_READONLY) != 0;
}

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
    UString name = prefix + property->name;
    UString value = property->toString();
    fitTexts(*font, static_cast<float>(width) - 2.0f * TEXT_MARGIN - TEXT_GAP, name, value);
    const UColor white(0xffffffffu);
    font->print(V3(at.x + TEXT_MARGIN - half, at.y, at.z), white, NAME_FLAGS, name);
    font->print(V3(at.x + half - TEXT_MARGIN, at.y, at.z), white, VALUE_FLAGS, value);
}

void PropertyField::fitTexts(const FontQuad& font, float room, UString& name, UString& value)
{
    const auto measure = [&](const UString& text) { return static_cast<float>(font.measureLine(text)); };
    const auto cut = [&](UString& text, float limit) {
        if (measure(text) <= limit) {
            return;
        }
        const float left = limit - measure(u"...");
        const int fit = left > 0.0f ? font.measureLine(text, left) : 0;
        text = text.substr(0, static_cast<std::size_t>(fit)) + u"...";
    };
    if (measure(name) + measure(value) <= room) {
        return;
    }
    // Long names and values would run into each other: the name keeps what the value leaves it, but at
    // least two fifths of the row, and the value what is left after the name.
    cut(name, std::max(room - measure(value), room * 0.4f));
    cut(value, room - measure(name));
}

void PropertyField::sendChanged()
{
    KivEvent event;
    event.type = 8;
    event.source = this;
    event.target = this;
    const Kiv* engine = Kiv::instance();
    event.dispatcher = engine != nullptr ? engine->pointerDispatcher : nullptr;
    KivBase::sendEvent(event);
}

bool PropertyField::isCtrlKey(const KivEvent& event, int key)
{
    if (event.type != PointerDispatcher::EVENT_KEY) {
        return false;
    }
    const Kiv* engine = Kiv::instance();
    const KivInput* input = engine != nullptr ? engine->input : nullptr;
    if (input == nullptr || input->getModifierState() != KivInput::MODIFIER_CTRL || !input->wasKeyPressed(key)) {
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

NetRole* PropertyField::findLevelRole() const
{
    if (THEROLE != nullptr) {
        return THEROLE;
    }
    const ContextEditor* editor = findEditor();
    return editor != nullptr ? NetRole::findRoleOf(*editor) : nullptr;
}

PropertyField::LevelRoleScope::LevelRoleScope(const PropertyField& field)
    : previous(THEROLE), current(field.findLevelRole())
{
    THEROLE = current;
}

PropertyField::LevelRoleScope::~LevelRoleScope() { THEROLE = previous; }

UString PropertyField::propertyPath() const
{
    // Named from the edited object's properties down (the tree's root is named after the object), or from
    // a class-list entry's.
    UString path = property->name;
    for (const KivBase* up = property->getParent(); up != nullptr && up->getClass() != &PropertyClass::classRecord;
         up = up->getParent()) {
        const auto* group = dynamic_cast<const Property*>(up);
        if (group == nullptr || dynamic_cast<const Property*>(up->getParent()) == nullptr) {
            break;
        }
        path = group->name + u"." + path;
    }
    return path;
}

void PropertyField::sayReadOnly(const char16_t* how) const
{
    // The line goes to the edited level's message display, whether or not its role is current.
    const LevelRoleScope scope(*this);
    EditorSession::report(
        formatString(u"Value not changed: '%s' is set by the game and cannot be %s.", propertyPath(), how));
}
