#include "engine/core/Property.h"

#include "engine/core/Logger.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyUString.h"

const RuntimeClass Property::classRecord(u"Property", &KivBase::classRecord, nullptr);

Property::Property(UStringView name, uint32_t flags, void* address) : flags(flags), name(name), address(address) {}

void Property::dump(int depth) const
{
    Logger::log(u"%s%s = %s", UString(static_cast<std::size_t>(depth) * 2, u' '), name, toString());
    for (const Property* p = getFirstProperty(); p != nullptr; p = p->getNextProperty()) {
        p->dump(depth + 1);
    }
}

void Property::removeFlaggedProperties(uint32_t mask)
{
    Property* p = getFirstProperty();
    while (p != nullptr) {
        Property* next = p->getNextProperty();
        if ((p->flags & mask) != 0) {
            p->destroy();
        } else {
            p->removeFlaggedProperties(mask);
        }
        p = next;
    }
}

Property* Property::findProperty(UStringView childName) const
{
    for (Property* p = getFirstProperty(); p != nullptr; p = p->getNextProperty()) {
        if (p->name == childName) {
            return p;
        }
    }
    return nullptr;
}

namespace {
template <class P, class T>
P* appendValueProperty(Property& list, UStringView name, T& member, uint32_t flags)
{
    auto* p = new P(name, flags, &member);
    list.appendChild(p);
    return p;
}
} // namespace

PropertyDWORD* addPropertyDWORD(Property& list, UStringView name, uint32_t& member, uint32_t flags)
{
    return appendValueProperty<PropertyDWORD>(list, name, member, flags);
}

PropertyFloat* addPropertyFloat(Property& list, UStringView name, float& member, uint32_t flags)
{
    return appendValueProperty<PropertyFloat>(list, name, member, flags);
}

PropertyUString* addPropertyUString(Property& list, UStringView name, UString& member, uint32_t flags)
{
    return appendValueProperty<PropertyUString>(list, name, member, flags);
}

PropertyInt* addIntProperty(Property& list, UStringView name, int32_t& member, uint32_t flags)
{
    return appendValueProperty<PropertyInt>(list, name, member, flags);
}
