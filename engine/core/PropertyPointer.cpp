#include "engine/core/PropertyPointer.h"

#include "engine/core/Format.h"
#include "engine/core/PropertyReferenceBase.h"

const RuntimeClass PropertyPointer::classRecord(u"PropertyPointer", &Property::classRecord, nullptr);
const RuntimeClass PropertyReferenceBase::classRecord(u"PropertyReferenceBase", &Property::classRecord, nullptr);

namespace {
PropertyPointer::ResourceNaming gResourceNaming;

bool isNullText(UStringView text)
{
    UString t(text);
    trimString(t);
    return t.empty() || t == u"NULL";
}
} // namespace

void PropertyPointer::setResourceNaming(const ResourceNaming& naming) { gResourceNaming = naming; }
const PropertyPointer::ResourceNaming& PropertyPointer::getResourceNaming() { return gResourceNaming; }

UString PropertyPointer::pointerText(const KivBase* object, bool resource)
{
    if (object == nullptr) {
        return u"NULL";
    }
    if (resource && gResourceNaming.nameOf != nullptr) {
        UString name = gResourceNaming.nameOf(object);
        if (!name.empty()) {
            return name;
        }
    }
    return formatString(u"%08lx", static_cast<const void*>(object));
}

bool PropertyPointer::accepts(const KivBase* object, const RuntimeClass* required)
{
    return object == nullptr || required == nullptr || object->isDerivedFrom(required);
}

UString PropertyPointer::toString() const { return pointerText(get(), isResource()); }

bool PropertyPointer::fromString(UStringView text)
{
    if (isNullText(text)) {
        setter(address, nullptr);
        return true;
    }
    if (text == toString()) {
        return true;
    }
    if (isResource() && gResourceNaming.find != nullptr) {
        UString name(text);
        trimString(name);
        KivBase* resource = gResourceNaming.find(name);
        return resource != nullptr && assign(resource);
    }
    return false;
}

bool PropertyPointer::assign(KivBase* object)
{
    if (!accepts(object, requiredClass)) {
        return false;
    }
    setter(address, object);
    return true;
}

PropertyReferenceBase::PropertyReferenceBase(UStringView name, uint32_t flags, Reference* reference,
                                             const RuntimeClass* required)
    : Property(name, flags, reference)
{
    requiredClass = required;
}

UString PropertyReferenceBase::toString() const { return PropertyPointer::pointerText(get(), false); }

bool PropertyReferenceBase::fromString(UStringView text)
{
    if (isNullText(text)) {
        reference()->set(nullptr);
        return true;
    }
    return text == toString();
}

bool PropertyReferenceBase::assign(KivBase* object)
{
    if (!PropertyPointer::accepts(object, requiredClass)) {
        return false;
    }
    reference()->set(object);
    return true;
}
