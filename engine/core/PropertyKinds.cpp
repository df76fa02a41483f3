// The enumeration, sub-object, array, remote-call and class properties.
#include "engine/core/Format.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyClass.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyRPCBase.h"
#include "engine/core/PropertySubObject.h"
#include "engine/core/TextParse.h"

const RuntimeClass PropertyEnumBase::classRecord(u"PropertyEnumBase", &Property::classRecord, nullptr);
const RuntimeClass PropertySubObject::classRecord(u"PropertySubObject", &Property::classRecord, nullptr);
const RuntimeClass PropertyArrayBase::classRecord(u"PropertyArrayBase", &Property::classRecord, nullptr);
const RuntimeClass PropertyRPCBase::classRecord(u"PropertyRPCBase", &Property::classRecord, nullptr);
const RuntimeClass PropertyClass::classRecord(u"PropertyClass", &Property::classRecord, nullptr);

PropertyEnumBase::PropertyEnumBase(UStringView name, uint32_t flags, void* address, int32_t count)
    : Property(name, flags, address), count(count)
{
}

UString PropertyEnumBase::toString() const { return formatString(u"%d", getValue()); }

bool PropertyEnumBase::fromString(UStringView text)
{
    if (text.empty()) {
        setValue(0);
        return true;
    }
    auto parsed = parseInt32(text);
    if (!parsed || *parsed < 0 || *parsed >= count) {
        return false;
    }
    setValue(*parsed);
    return true;
}

PropertySubObject::PropertySubObject(UStringView name, uint32_t flags, KivBase* object)
    : PropertyContainer(name, flags, object)
{
    if (object != nullptr) {
        object->addPropertiesTo(*this);
    }
}

PropertyArrayBase::PropertyArrayBase(UStringView name, uint32_t flags, void* address) : Property(name, flags, address)
{
}

UString PropertyArrayBase::toString() const { return getCount() > 0 ? u"..." : u"(empty)"; }

bool PropertyArrayBase::fromString(UStringView text)
{
    if (!text.empty()) {
        return false;
    }
    setCount(0);
    return true;
}

void PropertyArrayBase::setCount(int32_t count)
{
    resize(count < 0 ? 0 : count);
    rebuildElements();
}

void PropertyArrayBase::rebuildElements()
{
    destroyAllChildren();
    const int32_t count = getCount();
    for (int32_t i = 0; i < count; ++i) {
        appendChild(makeElement(i));
    }
}

PropertyRPCBase::PropertyRPCBase(UStringView name, uint32_t flags, KivBase* call) : PropertyContainer(name, flags)
{
    setCall(call);
}

PropertyRPCBase::~PropertyRPCBase()
{
    destroyAllChildren(); // the argument properties point into the call
    delete call;
}

void PropertyRPCBase::setCall(KivBase* newCall)
{
    destroyAllChildren();
    delete call;
    call = newCall;
    address = newCall;
    if (call != nullptr) {
        call->addPropertiesTo(*this);
    }
}

namespace {
// Moves every property under `from` whose flags hold `flag` (without looking inside it) to the end of `to`.
void collectFlagged(Property& from, Property& to, uint32_t flag)
{
    Property* p = from.getFirstProperty();
    while (p != nullptr) {
        Property* next = p->getNextProperty();
        if ((p->flags & flag) != 0) {
            to.appendChild(p);
        } else {
            collectFlagged(*p, to, flag);
        }
        p = next;
    }
}
} // namespace

PropertyClass::PropertyClass(uint32_t flags, const RuntimeClass* runtimeClass, UStringView name)
    : PropertyContainer(name, flags), instanceClass(runtimeClass)
{
    requiredClass = runtimeClass;
    instance = runtimeClass != nullptr ? runtimeClass->create() : nullptr;
    address = instance;
    if (instance != nullptr) {
        PropertyContainer* all = instance->getProperties();
        collectFlagged(*all, *this, FLAG_CONSTRUCTOR);
        delete all;
    }
}

PropertyClass::~PropertyClass()
{
    destroyAllChildren(); // they point into the instance
    delete instance;
}

KivBase* PropertyClass::takeInstance()
{
    // The constructor-group properties point into the instance, which now lives elsewhere.
    destroyAllChildren();
    KivBase* taken = instance;
    instance = nullptr;
    address = nullptr;
    return taken;
}
