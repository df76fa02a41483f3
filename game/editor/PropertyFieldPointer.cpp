#include "game/editor/PropertyFieldPointer.h"

#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/TextParse.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/NetRole.h"
#include "engine/platform/video/GLDevice.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/render/Rect.h"
#include "engine/render/Renderable.h"
#include "engine/render/Skin.h"
#include "engine/render/VertexBuffer.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/ContextEditorTools.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/level/GameController.h"
#include "game/level/MyRootObject.h"
#include "game/level/TouchButton.h"

namespace {
const UColor WHITE(0xffffffffu);
const UColor ACCEPT(0xff00ff00u);
const UColor REFUSE(0xffff0000u);
const UColor LINK_NEAR(0xff808080u);

// The nearest context at or above the object.
const Context* contextOf(const KivBase* object)
{
    for (const KivBase* up = object; up != nullptr; up = up->getParent()) {
        if (const auto* context = dynamic_cast<const Context*>(up)) {
            return context;
        }
    }
    return nullptr;
}

// True when the object is the role's object under its UID.
bool isRegistered(const KivBase* object, const NetRole* role)
{
    return object != nullptr && role != nullptr && object->objectUID > 0 &&
           role->findObjectOrNull(object->objectUID) == object;
}
} // namespace

PropertyFieldPointer::PropertyFieldPointer(Property* property) : PropertyFieldValue(property) {}

bool PropertyFieldPointer::isResource() const { return (property->flags & Property::FLAG_RESOURCE) != 0; }

KivBase* PropertyFieldPointer::getTarget() const
{
    if (const auto* pointer = dynamic_cast<const PropertyPointer*>(property)) {
        return pointer->get();
    }
    if (const auto* reference = dynamic_cast<const PropertyReferenceBase*>(property)) {
        return reference->get();
    }
    return nullptr;
}

bool PropertyFieldPointer::assign(KivBase* object)
{
    if (auto* pointer = dynamic_cast<PropertyPointer*>(property)) {
        return pointer->assign(object);
    }
    if (auto* reference = dynamic_cast<PropertyReferenceBase*>(property)) {
        return reference->assign(object);
    }
    return false;
}

KivBase* PropertyFieldPointer::grabCandidate(KivBase* under) const
{
    const RuntimeClass* target = property->requiredClass;
    if (!isResource()) {
        // Only objects of the level: a panel row or a screen under the pointer would not outlive the edit.
        return isRegistered(under, findLevelRole()) && PropertyPointer::accepts(under, target) ? under : nullptr;
    }
    const auto* sprite = dynamic_cast<const Renderable*>(under);
    if (sprite == nullptr || sprite->bOwnsSkin || sprite->pSkin == nullptr) {
        return nullptr;
    }
    // A skin that is no loaded resource could not be named in the level file.
    const ResourceManager* resources = ResourceManager::instance();
    if (resources == nullptr || resources->nameOf(sprite->pSkin) == nullptr) {
        return nullptr;
    }
    return PropertyPointer::accepts(sprite->pSkin, target) ? sprite->pSkin : nullptr;
}

UString PropertyFieldPointer::whyNotGrabbed(KivBase* under) const
{
    // Only a level object is named: over nothing, or over the panel, Ctrl+G takes nothing and says nothing.
    if (!isRegistered(under, findLevelRole())) {
        return UString();
    }
    if (!isResource()) {
        return PropertyPointer::misfitReason(property->name, *under);
    }
    const auto* sprite = dynamic_cast<const Renderable*>(under);
    const ResourceManager* resources = ResourceManager::instance();
    if (sprite == nullptr || sprite->bOwnsSkin || sprite->pSkin == nullptr || resources == nullptr ||
        resources->nameOf(sprite->pSkin) == nullptr) {
        return formatString(u"'%s' takes a loaded picture, and object %d (%s) shows none", property->name,
                            under->objectUID, under->getTypeName());
    }
    return PropertyPointer::misfitReason(property->name, *sprite->pSkin);
}

bool PropertyFieldPointer::wouldTake(KivBase* under)
{
    if (isReadOnly()) {
        return false;
    }
    KivBase* candidate = grabCandidate(under);
    auto* pointer = dynamic_cast<PropertyPointer*>(property);
    if (candidate == nullptr || pointer == nullptr || isResource()) {
        return candidate != nullptr;
    }
    // The level's check, tried with the member set and put back: a plain member, nothing hears of it. (What
    // a reference names, the level's check does not look at.)
    KivBase* old = pointer->get();
    const UString before = whyLevelNotPlayable();
    pointer->assign(candidate);
    const UString after = whyLevelNotPlayable();
    pointer->assign(old);
    return after.empty() || after == before;
}

bool PropertyFieldPointer::applyText(const UString& typed)
{
    UString text = typed;
    trimString(text);
    if (text == property->toString()) {
        return true;
    }
    if (text.empty() || text == u"NULL") {
        return assignChecked(nullptr);
    }
    if (isResource()) {
        // Only a loaded resource of the right class; an unknown name is refused, never fatal.
        const ResourceManager* resources = ResourceManager::instance();
        KivBase* resource = resources != nullptr ? resources->find(text, false) : nullptr;
        return resource != nullptr && assignChecked(resource);
    }
    // An object of the level by its UID.
    const auto uid = parseInt32(text);
    const NetRole* role = findLevelRole();
    KivBase* object = uid && *uid > 0 && role != nullptr ? role->findObjectOrNull(*uid) : nullptr;
    return object != nullptr && assignChecked(object);
}

UString PropertyFieldPointer::whyLevelNotPlayable() const
{
    const NetRole* role = findLevelRole();
    return GameController::whyNotPlayable(role != nullptr ? dynamic_cast<const MyRootObject*>(role->root) : nullptr);
}

bool PropertyFieldPointer::assignChecked(KivBase* object)
{
    if (!PropertyPointer::accepts(object, property->requiredClass)) {
        return false;
    }
    // Only what the pointer breaks counts: a level that could not be loaded already (its pig deleted, say)
    // still takes the pointers that leave it no worse.
    levelRefusedBefore = whyLevelNotPlayable();
    return writeChecked([&] { return assign(object); });
}

bool PropertyFieldPointer::editedObjectTakesValue(UString& why)
{
    KivBase* assigned = getTarget();
    if (!PropertyFieldValue::editedObjectTakesValue(why)) {
        return false;
    }
    // The object's check empties a pointer to what a level file could not keep there (an object of another
    // class, the object itself).
    if (assigned != nullptr && getTarget() != assigned) {
        why = PropertyPointer::misfitReason(property->name, *assigned);
        return false;
    }
    if (const UString level = whyLevelNotPlayable(); !level.empty() && level != levelRefusedBefore) {
        why = formatString(u"the level would not load: %s", level);
        return false;
    }
    return true;
}

bool PropertyFieldPointer::onEventCapture(KivEvent& event)
{
    return handleKey(event) || PropertyFieldValue::onEventCapture(event);
}

bool PropertyFieldPointer::onEvent(KivEvent& event)
{
    // A read-only row keeps the focus itself (it opens no text box), so its keys arrive here.
    return (isReadOnly() && handleKey(event)) || PropertyFieldValue::onEvent(event);
}

bool PropertyFieldPointer::handleKey(KivEvent& event)
{
    if (event.type != PointerDispatcher::EVENT_KEY || bDeleted) {
        return false;
    }
    if (isResource() && isCtrlKey(event, KEY_B)) {
        if (!isReadOnly()) {
            openPalette();
        }
        return true;
    }
    if (isCtrlKey(event, KEY_G)) {
        if (isReadOnly()) {
            sayReadOnly(u"set with Ctrl+G");
        } else {
            grab(event.dispatcher);
        }
        return true;
    }
    if (isCtrlKey(event, KEY_F) && property->requiredClass != nullptr &&
        property->requiredClass->isDerivedFrom(&KivBase::classRecord)) {
        follow(event.dispatcher);
        return true;
    }
    return false;
}

void PropertyFieldPointer::openPalette()
{
    // The palette writes into a pointer member; a reference is no such member.
    auto* pointer = dynamic_cast<PropertyPointer*>(property);
    ContextEditor* editor = findEditor();
    Global* global = Global::instance();
    if (pointer == nullptr || editor == nullptr || editor->tools == nullptr || global == nullptr ||
        global->contextManager == nullptr) {
        return;
    }
    editor->tools->setTool(editor->edited.get(), pointer->address, property->requiredClass);
    global->contextManager->addContext(editor->tools);
}

void PropertyFieldPointer::grab(PointerDispatcher* dispatcher)
{
    KivBase* under = dispatcher != nullptr ? dispatcher->getObjectUnderPointer() : nullptr;
    if (KivBase* candidate = grabCandidate(under)) {
        bRefused = !assignChecked(candidate);
    } else if (const UString why = whyNotGrabbed(under); !why.empty()) {
        bRefused = true;
        refuse(why);
    } else {
        return;
    }
    sendChanged();
}

void PropertyFieldPointer::follow(PointerDispatcher* dispatcher)
{
    ContextEditor* editor = findEditor();
    // A target still being typed is taken first, and followed (a refused one is said, the old one followed).
    UString refused;
    if (editor != nullptr) {
        editor->takeTypedText(refused);
    }
    KivBase* target = getTarget();
    if (editor != nullptr) {
        // The rebuild deletes this row, so it waits for the layer's next tick.
        editor->requestEdit(target);
    }
    if (dispatcher != nullptr) {
        dispatcher->setHovered(target);
    }
}

void PropertyFieldPointer::render()
{
    if (bHidden) {
        return;
    }
    const UColor own = color;
    color = WHITE;
    const Kiv* engine = Kiv::instance();
    const PointerDispatcher* dispatcher = engine != nullptr ? engine->pointerDispatcher : nullptr;
    KivBase* hovered = dispatcher != nullptr ? dispatcher->getHovered() : nullptr;
    KivBase* under = dispatcher != nullptr ? dispatcher->getObjectUnderPointer() : nullptr;
    if (hovered != nullptr && under != nullptr && (hovered == this || isAncestorOf(hovered))) {
        if (!isResource() || dynamic_cast<Renderable*>(under) != nullptr) {
            color = wouldTake(under) ? ACCEPT : REFUSE;
        }
    }
    PropertyFieldValue::render();
    color = own;
    drawLinkToTarget();
}

void PropertyFieldPointer::drawLinkToTarget()
{
    const RuntimeClass* target = property->requiredClass;
    if (isResource() || target == nullptr || !target->isDerivedFrom(&Renderable::classRecord)) {
        return;
    }
    const auto* object = dynamic_cast<const Renderable*>(getTarget());
    const Context* from = contextOf(object);
    const Context* here = contextOf(this);
    if (object == nullptr || from == nullptr || here == nullptr) {
        return;
    }
    Rect::drawLine(boundsCenter, here->transformFromContext(object->position, *from), LINK_NEAR, WHITE);
    if (object->bSkipVisibility || from->camera == nullptr) {
        return;
    }
    const float depthScale = (0.0f - from->camera->eye.z) / (static_cast<float>(HudTouch::screenWidth()) * 0.5f);
    if (depthScale == 0.0f) {
        return;
    }
    const V3 centre = here->transformFromContext(object->boundsCenter, *from);
    const float radius = object->boundingRadius / depthScale;
    VertexBuffer circle(CIRCLE_POINTS);
    for (int i = 0; i < CIRCLE_POINTS; ++i) {
        const float angle = static_cast<float>(i) * 6.28f * 0.015625f;
        circle[i] = {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle), object->position.z,
                     LINK_NEAR.argb, 0.0f, 0.0f};
    }
    circle.draw(static_cast<int>(Primitive::LineStrip));
}
