#include "game/editor/PropertyFieldValue.h"

#include "engine/core/Format.h"
#include "engine/core/Property.h"
#include "engine/core/PropertyClass.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertySecureInt.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/TextParse.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/Packet.h"
#include "engine/render/PointerDispatcher.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/menus/GUItextBox.h"
#include "game/menus/GUItheme.h"

namespace {
const UColor REFUSED_COLOUR(0xffff0000u);
// A refusal quotes at most this much of the typed text, so that the reason still fits the message line.
constexpr std::size_t QUOTED_LENGTH = 24;
constexpr int KEY_DELETE = 211;
constexpr int KEY_ESCAPE = 1;
// The float's range as a refusal names it (just within its largest value, 3.4028e+38).
constexpr double FLOAT_LIMIT = 3.4e38;

// What a property of that kind reads from its text, for the reason a text is refused ("a whole number");
// empty for a kind that says no more.
UString readableAs(const Property& property)
{
    const RuntimeClass* kind = property.getClass();
    const RuntimeClass* target = property.requiredClass;
    const UString targetName = target != nullptr ? target->nameRef() : UString(u"KivBase");
    if (kind == &PropertyInt::classRecord || kind == &PropertySecureInt::classRecord) {
        return u"a whole number";
    }
    if (kind == &PropertyFloat::classRecord || kind == &PropertyDouble::classRecord) {
        return u"a number";
    }
    if (kind == &PropertyDWORD::classRecord) {
        return u"a hexadecimal number of up to eight digits";
    }
    if (kind == &PropertyUColor::classRecord) {
        return u"a colour of up to eight hexadecimal digits (aarrggbb)";
    }
    if (kind == &PropertyEnumBase::classRecord) {
        return formatString(u"a whole number from 0 to %d",
                            static_cast<const PropertyEnumBase&>(property).getCount() - 1);
    }
    if (kind == &PropertyPointer::classRecord && (property.flags & Property::FLAG_RESOURCE) != 0) {
        return formatString(u"the name of a loaded %s", targetName);
    }
    if (kind == &PropertyPointer::classRecord || kind == &PropertyReferenceBase::classRecord) {
        return formatString(u"the UID of a level object of class %s", targetName);
    }
    return UString();
}
} // namespace

PropertyFieldValue::PropertyFieldValue(Property* property) : PropertyField(property)
{
    textBox = new GUItextBox(pTheme);
    textBox->bHidden = true;
    addChild(textBox);
}

void PropertyFieldValue::render()
{
    const UColor own = color;
    if (bRefused) {
        color = REFUSED_COLOUR;
    }
    PropertyField::render();
    color = own;
}

bool PropertyFieldValue::onEvent(KivEvent& event)
{
    if (event.type == PointerDispatcher::EVENT_HOVER_GAINED) {
        bReadOnlySaid = false;
        beginEdit();
        return true;
    }
    if (event.type == PointerDispatcher::EVENT_KEY && isReadOnly() && !bReadOnlySaid && isTyping()) {
        // A row that takes no typing says so once, when typed into.
        bReadOnlySaid = true;
        sayReadOnly(u"typed");
    }
    return PropertyField::onEvent(event);
}

bool PropertyFieldValue::isTyping()
{
    const Kiv* engine = Kiv::instance();
    const KivInput* input = engine != nullptr ? engine->input : nullptr;
    // A character or Delete, not a command key (Ctrl with a letter).
    return input != nullptr && input->getModifierState() != KivInput::MODIFIER_CTRL &&
           ((input->typedChar >= u' ' && input->typedChar != 0x7f) || input->getButtonPress() == KEY_DELETE);
}

bool PropertyFieldValue::onEventBubble(KivEvent& event)
{
    if (event.type == GUItextBox::EVENT_EDITED && event.source == textBox) {
        commitEdit();
    }
    return PropertyField::onEventBubble(event);
}

bool PropertyFieldValue::onEventCapture(KivEvent& event)
{
    const Kiv* engine = Kiv::instance();
    if (event.type == PointerDispatcher::EVENT_KEY && event.target == textBox && bTextEntry && engine != nullptr &&
        engine->input != nullptr && engine->input->getButtonPress() == KEY_ESCAPE) {
        // As an edit box does: the typing is cancelled and the row shows the value that stands (taken as it
        // is, it writes nothing). The level's pause menu waits for the next Esc (MyRootObject).
        textBox->text = property->toString();
        commitEdit();
        return true;
    }
    return PropertyField::onEventCapture(event);
}

void PropertyFieldValue::place(V3& cursor, float w)
{
    PropertyField::place(cursor, w);
    const int row = pTheme != nullptr ? pTheme->rowHeight : DEFAULT_HEIGHT;
    textBox->setPosition(V3(static_cast<float>((width - textBox->width) / 2), -static_cast<float>(row / 2), 0.0f));
    textBox->updateVisuals();
}

void PropertyFieldValue::beginEdit()
{
    if (isReadOnly() || bTextEntry || bDeleted) {
        return;
    }
    bTextEntry = true;
    bRefused = false;
    textBox->bHidden = false;
    textBox->text.clear();
    height *= 2;
    const Kiv* engine = Kiv::instance();
    if (engine != nullptr && engine->pointerDispatcher != nullptr) {
        engine->pointerDispatcher->setHovered(textBox);
    }
    sendChanged();
}

void PropertyFieldValue::commitEdit()
{
    if (isReadOnly() || !bTextEntry || bDeleted) {
        return;
    }
    bTextEntry = false;
    textBox->bHidden = true;
    const UString text = textBox->text;
    refusalReason.clear();
    if (text.empty() || text == property->toString()) {
        // Nothing typed, or the value standing (what Esc leaves in the box): nothing to write, and nothing
        // refused (a refused Ctrl+G while the box was open left the value as it stood).
        bRefused = false;
    } else if (text == UString(1, CLEAR_MARK)) {
        bReasonGiven = false;
        bRefused = !applyText(UString());
        if (bRefused && !bReasonGiven) {
            refuse(formatString(u"'%s' cannot be cleared", propertyPath()));
        }
    } else {
        bReasonGiven = false;
        bRefused = !applyText(text);
        if (bRefused && !bReasonGiven) {
            refuse(unreadable(text));
        }
    }
    height /= 2;
    sendChanged();
}

bool PropertyFieldValue::applyText(const UString& text)
{
    return writeChecked([&] { return property->fromString(text); });
}

bool PropertyFieldValue::writeChecked(const std::function<bool()>& write)
{
    // The value as it was, byte for byte, to put back when the edited object refuses the new one.
    Packet before(Packet::FLAG_LOCAL_COPY, 64);
    property->serialize(before);
    if (!write()) {
        return false;
    }
    UString why;
    if (editedObjectTakesValue(why)) {
        return true;
    }
    before.rewindToRead();
    property->serialize(before);
    refuse(why);
    return false;
}

void PropertyFieldValue::refuse(const UString& why)
{
    bReasonGiven = true;
    refusalReason = why;
    // The line goes to the edited level's message display, whether or not its role is current.
    const LevelRoleScope scope(*this);
    EditorSession::report(formatString(u"Value refused: %s.", why));
}

UString PropertyFieldValue::unreadable(const UString& text)
{
    // Named as the check names it, when the edited object checks the value.
    const std::optional<LevelDataCheck::Range> range = rangeTaken();
    const UString name = range.has_value() ? range->name : propertyPath();
    if (const std::optional<double> number = parseDouble(text);
        range.has_value() && number.has_value() && (*number < range->lo || *number > range->hi)) {
        return formatString(u"'%s' %s", name, range->outOfRange(*number));
    }
    const UString quoted = shortened(text, QUOTED_LENGTH);
    UString wanted = readableAs(*property);
    if (range.has_value() && !wanted.empty()) {
        wanted += u" from " + range->text();
    }
    return wanted.empty() ? formatString(u"'%s' '%s' cannot be read", name, quoted)
                          : formatString(u"'%s' '%s' cannot be read as %s", name, quoted, wanted);
}

std::optional<LevelDataCheck::Range> PropertyFieldValue::rangeTaken()
{
    std::optional<LevelDataCheck::Range> range;
    UString ignored;
    runEditedObjectCheck(LevelDataCheck::Run::rangeOf(property->address, range), ignored);
    if (!range.has_value() && property->getClass() == &PropertyFloat::classRecord) {
        range = LevelDataCheck::Range{propertyPath(), -FLOAT_LIMIT, FLOAT_LIMIT};
    }
    return range;
}

bool PropertyFieldValue::editedObjectTakesValue(UString& why)
{
    return runEditedObjectCheck(LevelDataCheck::Run::typed(property->address), why);
}

bool PropertyFieldValue::runEditedObjectCheck(const LevelDataCheck::Run& run, UString& why)
{
    // A class-list entry's value belongs to the entry's instance, which is not in the level yet.
    KivBase* object = nullptr;
    for (const KivBase* p = property; p != nullptr && object == nullptr; p = p->getParent()) {
        if (p->getClass() == &PropertyClass::classRecord) {
            object = static_cast<const PropertyClass*>(p)->getInstance();
        }
    }
    if (const ContextEditor* editor = findEditor(); object == nullptr && editor != nullptr) {
        object = editor->edited.get();
    }
    auto* checked = dynamic_cast<LevelDataCheck::Checked*>(object);
    const LevelRoleScope scope(*this);
    if (checked == nullptr || scope.role() == nullptr) {
        return true;
    }
    try {
        checked->checkValues(run);
    } catch (const LevelDataCheck::Refused& refused) {
        why = refused.value; // the object is the one edited
        return false;
    } catch (const PacketDecodeError& error) {
        why = error.message;
        return false;
    }
    return true;
}
