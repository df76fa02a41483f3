#include "engine/core/KivBase.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/ObjectPool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyLayout.h"
#include "engine/core/Reference.h"

const RuntimeClass KivBase::classRecord(u"KivBase", nullptr, &RuntimeClass::factoryOf<KivBase>);

namespace {
KivBase::NetHooks gNetHooks;

// Walks the children in order, running `visit` on the live, active ones; a child flagged for deletion is
// destroyed as the walk steps past it.
template <class Visit>
void walkChildren(KivBase& parent, Visit visit)
{
    KivBase* child = parent.getFirstChild();
    while (child != nullptr) {
        if (!child->bDeleted && !child->bInactive) {
            visit(*child);
        }
        KivBase* next = child->getNext();
        if (child->bDeleted) {
            child->destroy();
        }
        child = next;
    }
}
} // namespace

void KivBase::setNetHooks(const NetHooks& hooks) { gNetHooks = hooks; }

KivBase::~KivBase()
{
    destroyAllChildren();
    if (objectUID > 0 && gNetHooks.forgetObject != nullptr) {
        gNetHooks.forgetObject(*this);
    }
    while (firstBackReference != nullptr) {
        firstBackReference->set(nullptr);
    }
}

void KivBase::destroy()
{
    if (objectUID > 0 && gNetHooks.destroyReplicated != nullptr && gNetHooks.destroyReplicated(*this)) {
        return;
    }
    delete this;
}

void KivBase::tick(double time, double dt)
{
    tickState(time, dt);
    walkChildren(*this, [&](KivBase& child) { child.tick(time, dt); });
}

void KivBase::render()
{
    walkChildren(*this, [](KivBase& child) { child.render(); });
}

KivBase* KivBase::findObjectUnderPointer(const V3& point)
{
    for (KivBase* child = getLastChild(); child != nullptr; child = child->getPrev()) {
        if (child->bDeleted || child->bInactive) {
            continue;
        }
        if (KivBase* found = child->findObjectUnderPointer(point)) {
            return found;
        }
    }
    return isPointInside(point) ? this : nullptr;
}

bool KivBase::isPointInside(const V3& /*point*/) { return false; }

bool KivBase::dispatchCapture(KivEvent& event)
{
    if (bIgnoreEvents) {
        return true;
    }
    if (KivBase* parent = getParent(); parent != nullptr && parent->dispatchCapture(event)) {
        return true;
    }
    return onEventCapture(event);
}

bool KivBase::dispatchBubble(KivEvent& event)
{
    if (bIgnoreEvents) {
        return false;
    }
    if (onEventBubble(event)) {
        return true;
    }
    KivBase* parent = getParent();
    return parent != nullptr && parent->dispatchBubble(event);
}

bool KivBase::onEventCapture(KivEvent& event)
{
    return eventListener != nullptr && eventListener->onEventCapture(event);
}

bool KivBase::onEvent(KivEvent& event) { return eventListener != nullptr && eventListener->onEvent(event); }

bool KivBase::onEventBubble(KivEvent& event)
{
    return eventListener != nullptr && eventListener->onEventBubble(event);
}

bool KivBase::sendEvent(KivEvent& event)
{
    KivBase* target = event.target;
    if (target == nullptr) {
        return false;
    }
    KivBase* parent = target->getParent();
    if (parent != nullptr && parent->dispatchCapture(event)) {
        return true;
    }
    if (!target->bIgnoreEvents && target->onEvent(event)) {
        return true;
    }
    return parent != nullptr && parent->dispatchBubble(event);
}

void KivBase::onKIVmodeChange(int /*from*/, int /*to*/) {}
void KivBase::onInputModeChange() {}
void KivBase::purge() {}
void KivBase::unpurge() {}
void KivBase::netPostReplicate() {}
void KivBase::netPostReplicateGlobal() {}

void* KivBase::operator new(std::size_t size) { return ObjectPool::allocate(size); }

void KivBase::operator delete(void* block, std::size_t size) noexcept { ObjectPool::release(block, size); }

void KivBase::netSerialize(Packet& packet)
{
    // With a layout, the parent and the data go in one pass.
    if (const PropertyLayout* layout = PropertyLayout::of(*this)) {
        layout->serialize(*this, packet, true);
        return;
    }
    netSerializeParent(packet);
    KivBase::netSerializeData(packet);
}

void KivBase::netSerializeData(Packet& packet)
{
    if (const PropertyLayout* layout = PropertyLayout::of(*this)) {
        layout->serialize(*this, packet);
        return;
    }
    // Held while the packet works on it: a damaged stream may end the read early.
    const std::unique_ptr<PropertyContainer> properties(getProperties());
    properties->serialize(packet);
}

void KivBase::destroyAllChildren()
{
    while (KivBase* child = getLastChild()) {
        child->destroy();
        KIV_ASSERT(getLastChild() != child);
    }
}

void KivBase::addChild(KivBase* child) { appendChild(child); }

void KivBase::removeChild(KivBase* child)
{
    KIV_ASSERT(child != nullptr && child->getParent() == this);
    child->unlink();
}

void KivBase::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyInt(u"objectUID", Property::FLAG_READONLY, &objectUID));
    auto* stateList = new PropertyContainer(u"StateBase", 0);
    list.appendChild(stateList);
    StateBase::addPropertiesTo(*stateList);
}

PropertyContainer* KivBase::getProperties()
{
    const RuntimeClass* runtimeClass = getClass();
    const UString className = runtimeClass != nullptr ? runtimeClass->getName() : UString(u"?");
    auto* list = new PropertyContainer(formatString(u"%s (%08lx)", className, static_cast<const void*>(this)), 0);
    addPropertiesTo(*list);
    return list;
}

void KivBase::gotoState(int32_t newState, double delay)
{
    if (gNetHooks.gotoState != nullptr) {
        gNetHooks.gotoState(*this, newState, delay);
    } else {
        local_gotoState(newState, delay);
    }
}

void KivBase::local_gotoState(int32_t newState, double delay)
{
    if (delay <= 0.0) {
        enterStateNow(newState);
    } else if (stateGoto != newState) {
        stateGoto = newState;
        stateLeft = delay;
    }
}

bool KivBase::isDerivedFrom(const RuntimeClass* runtimeClass) const
{
    const RuntimeClass* own = getClass();
    return own != nullptr && own->isDerivedFrom(runtimeClass);
}

UString KivBase::getTypeName() const
{
    int status = -1;
    const std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status), std::free);
    return status == 0 && name != nullptr ? toUString(name.get()) : getClass()->getName();
}

bool KivBase::isIgnoringEvents() const
{
    for (const KivBase* o = this; o != nullptr; o = o->getParent()) {
        if (o->bIgnoreEvents) {
            return true;
        }
    }
    return false;
}
