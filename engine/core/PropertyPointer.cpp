#include "engine/core/PropertyPointer.h"

#include "engine/core/Format.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/files/ResourceManager.h"

const RuntimeClass PropertyPointer::classRecord(u"PropertyPointer", &Property::classRecord, nullptr);
const RuntimeClass PropertyReferenceBase::classRecord(u"PropertyReferenceBase", &Property::classRecord, nullptr);

namespace {
bool isNullText(UStringView text)
{
    UString t(text);
    trimString(t);
    return t.empty() || t == u"NULL";
}
} // namespace

UString PropertyPointer::pointerText(const KivBase* object, bool resource)
{
    if (object == nullptr) {
        return u"NULL";
    }
    if (const ResourceManager* resources = ResourceManager::instance(); resource && resources != nullptr) {
        if (const UString* name = resources->nameOf(object)) {
            return *name;
        }
    }
    return formatString(u"%08lx", static_cast<const void*>(object));
}

bool PropertyPointer::accepts(const KivBase* object, const RuntimeClass* required)
{
    return object == nullptr || required == nullptr || object->isDerivedFrom(required);
}

UString PropertyPointer::misfitReason(UStringView name, const KivBase& object)
{
    // An object of the level is known by its UID, a resource by its name.
    const UString what = object.objectUID > 0 ? formatString(u"object %d", object.objectUID)
                                              : formatString(u"'%s'", pointerText(&object, true));
    return formatString(u"'%s' cannot name %s (%s)", UString(name), what, object.getTypeName());
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
    if (const ResourceManager* resources = ResourceManager::instance(); isResource() && resources != nullptr) {
        UString name(text);
        trimString(name);
        KivBase* resource = resources->find(name, false);
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
