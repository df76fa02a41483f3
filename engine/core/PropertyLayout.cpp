#include "engine/core/PropertyLayout.h"

#include <bit>

#include "engine/core/KivBase.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyRPCBase.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertySecureInt.h"
#include "engine/core/PropertySubObject.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"
#include "engine/core/Reference.h"
#include "engine/core/RuntimeClass.h"
#include "engine/core/SecureInt.h"

namespace {
// Most bytes of an entry's fixed part: bits take at most a byte, unsigned variable-length integers five,
// signed ones six (as a reader may meet them), object references eight (raw pointers in local copies). A
// string or array counts its length field only.
uint32_t fixedBytes(PropertyLayout::Entry::Kind kind)
{
    using Entry = PropertyLayout::Entry;
    switch (kind) {
    case Entry::BOOL:
        return 1;
    case Entry::DWORD:
    case Entry::FLOAT:
        return 4;
    case Entry::USTRING:
    case Entry::ARRAY:
        return 5;
    case Entry::INT:
    case Entry::SECUREINT:
    case Entry::ENUM:
        return 6;
    case Entry::DOUBLE:
    case Entry::POINTER:
    case Entry::REFERENCE:
        return 8;
    case Entry::RESOURCE:
    case Entry::GENERAL:
    case Entry::RAW:
        return 0;
    }
    return 0;
}

// The raw little-endian bytes of a word, float or double member are its wire form.
uint32_t rawBytes(const PropertyLayout::Entry& entry)
{
    using Entry = PropertyLayout::Entry;
    switch (entry.kind) {
    case Entry::DWORD:
    case Entry::FLOAT:
        return 4;
    case Entry::DOUBLE:
        return 8;
    case Entry::RAW:
        return static_cast<uint32_t>(entry.limit);
    default:
        return 0;
    }
}

// After these the reader has consumed bytes it could not count in advance.
bool endsSegment(PropertyLayout::Entry::Kind kind)
{
    using Entry = PropertyLayout::Entry;
    return kind == Entry::USTRING || kind == Entry::ARRAY || kind == Entry::RESOURCE || kind == Entry::GENERAL;
}

// The loops' code for an entry of `bytes` raw bytes (0 for the other kinds).
PropertyLayout::Step::Code stepCode(const PropertyLayout::Entry& e, uint32_t bytes)
{
    using Entry = PropertyLayout::Entry;
    using Step = PropertyLayout::Step;
    if (bytes != 0) {
        return bytes == 4 ? Step::RAW4 : bytes == 8 ? Step::RAW8 : bytes == 16 ? Step::RAW16 : Step::RAW;
    }
    switch (e.kind) {
    case Entry::BOOL:
        return Step::BOOL;
    case Entry::INT:
        return Step::INT;
    case Entry::SECUREINT:
        return Step::SECUREINT;
    case Entry::ENUM:
        return e.enumSize == 4 ? Step::ENUM4 : Step::ENUM;
    case Entry::USTRING:
        return Step::USTRING;
    case Entry::POINTER:
        return Step::POINTER;
    case Entry::REFERENCE:
        return Step::REFERENCE;
    default:
        return Step::PACKET;
    }
}

template <class P>
bool isExactly(const Property& property)
{
    return typeid(property) == typeid(P);
}
} // namespace

PropertyLayout::PropertyLayout() = default;
PropertyLayout::~PropertyLayout() = default;

const PropertyLayout* PropertyLayout::of(const KivBase& object)
{
    const RuntimeClass* runtimeClass = object.getClass();
    if (runtimeClass == nullptr) {
        return nullptr;
    }
    if (!runtimeClass->bLayoutBuilt) {
        runtimeClass->bLayoutBuilt = true;
        std::size_t size = 0;
        std::unique_ptr<KivBase> prototype(runtimeClass->createMeasured(size));
        if (prototype != nullptr && size != 0 && prototype->getClass() == runtimeClass) {
            const std::unique_ptr<PropertyContainer> list(prototype->getProperties());
            runtimeClass->layout = build(*list, prototype.get(), size);
            runtimeClass->layout->type = &typeid(*prototype);
        }
    }
    const PropertyLayout* layout = runtimeClass->layout.get();
    if (layout == nullptr || (layout->type != &typeid(object) && *layout->type != typeid(object))) {
        return nullptr;
    }
    return layout;
}

std::unique_ptr<PropertyLayout> PropertyLayout::build(Property& list, const void* base, std::size_t size)
{
    auto layout = std::make_unique<PropertyLayout>();
    int32_t index = 0;
    // The next property is taken first: an array property leaves the list for the layout.
    for (Property *p = list.getFirstProperty(), *next = nullptr; p != nullptr; p = next, ++index) {
        next = p->getNextProperty();
        const std::size_t mark = layout->entries.size();
        if (!layout->addProperty(*p, static_cast<const char*>(base), size)) {
            layout->entries.resize(mark);
            Entry general;
            general.kind = Entry::GENERAL;
            general.limit = index;
            general.flags = p->flags;
            general.name = p->name;
            layout->entries.push_back(std::move(general));
            layout->bGeneral = true;
        }
    }
    layout->finish();
    return layout;
}

std::unique_ptr<PropertyLayout> PropertyLayout::buildElement(Property& element, const void* base, std::size_t size)
{
    auto layout = std::make_unique<PropertyLayout>();
    if (!layout->addProperty(element, static_cast<const char*>(base), size)) {
        return nullptr;
    }
    layout->finish();
    return layout;
}

bool PropertyLayout::addProperty(Property& property, const char* base, std::size_t size)
{
    if ((property.flags & Property::FLAG_PER_OBJECT) != 0) {
        return false;
    }
    // A group adds its members in place; its own address plays no part in its wire form.
    if (isExactly<PropertyContainer>(property) || isExactly<PropertySubObject>(property)) {
        for (Property *p = property.getFirstProperty(), *next = nullptr; p != nullptr; p = next) {
            next = p->getNextProperty();
            if (!addProperty(*p, base, size)) {
                return false;
            }
        }
        return true;
    }
    // A remote-call property serialises its call's arguments; one without arguments writes nothing.
    if (isExactly<PropertyRPCBase>(property) && property.getFirstProperty() == nullptr) {
        return true;
    }
    Entry entry;
    entry.flags = property.flags;
    entry.name = property.name;
    entry.requiredClass = property.requiredClass;
    const void* member = property.address;
    std::size_t memberSize = 0;
    if (isExactly<PropertyBool>(property)) {
        entry.kind = Entry::BOOL;
        memberSize = sizeof(bool);
    } else if (isExactly<PropertyInt>(property)) {
        entry.kind = Entry::INT;
        memberSize = sizeof(int32_t);
    } else if (isExactly<PropertySecureInt>(property)) {
        entry.kind = Entry::SECUREINT;
        memberSize = sizeof(SecureInt);
    } else if (isExactly<PropertyDWORD>(property)) {
        entry.kind = Entry::DWORD;
        memberSize = sizeof(uint32_t);
    } else if (isExactly<PropertyUColor>(property)) {
        entry.kind = Entry::DWORD;
        member = &static_cast<PropertyUColor&>(property).value()->argb;
        memberSize = sizeof(uint32_t);
    } else if (isExactly<PropertyFloat>(property)) {
        entry.kind = Entry::FLOAT;
        memberSize = sizeof(float);
    } else if (isExactly<PropertyDouble>(property)) {
        entry.kind = Entry::DOUBLE;
        memberSize = sizeof(double);
    } else if (isExactly<PropertyUString>(property)) {
        entry.kind = Entry::USTRING;
        entry.limit = static_cast<PropertyUString&>(property).maxLength;
        memberSize = sizeof(UString);
    } else if (isExactly<PropertyPointer>(property)) {
        auto& pointer = static_cast<PropertyPointer&>(property);
        entry.kind = pointer.isResource() ? Entry::RESOURCE : Entry::POINTER;
        entry.getPointer = pointer.getterFunction();
        entry.setPointer = pointer.setterFunction();
        memberSize = sizeof(void*);
    } else if (isExactly<PropertyReferenceBase>(property)) {
        entry.kind = Entry::REFERENCE;
        memberSize = sizeof(Reference);
    } else if (auto* enumeration = dynamic_cast<PropertyEnumBase*>(&property)) {
        const PropertyEnumBase::MemberAccess& access = enumeration->access;
        if (access.type == nullptr || typeid(property) != *access.type) {
            return false;
        }
        entry.kind = Entry::ENUM;
        entry.limit = enumeration->getCount();
        entry.getEnum = access.get;
        entry.setEnum = access.set;
        entry.enumSize = static_cast<uint32_t>(access.size);
        memberSize = access.size;
    } else if (auto* array = dynamic_cast<PropertyArrayBase*>(&property)) {
        if (typeid(property) != array->exactType()) {
            return false;
        }
        entry.kind = Entry::ARRAY;
        entry.element = array->makeElementLayout();
        if (entry.element == nullptr) {
            return false;
        }
        memberSize = array->memberSize();
    } else {
        return false;
    }
    // Only members of the object itself: anything else is bound elsewhere and may differ per object.
    const char* at = static_cast<const char*>(member);
    if (at < base || at + memberSize > base + size) {
        return false;
    }
    entry.offset = static_cast<uint32_t>(at - base);
    if (entry.kind == Entry::ARRAY) {
        // The layout keeps the prototype's array property for the element type's operations; its element
        // properties point into the prototype and go now.
        auto* array = static_cast<PropertyArrayBase*>(&property);
        array->unlink();
        array->destroyAllChildren();
        entry.array.reset(array);
    }
    entries.push_back(std::move(entry));
    return true;
}

void PropertyLayout::finish()
{
    // Raw members that follow each other in the stream and in the object become one copy.
    static_assert(std::endian::native == std::endian::little, "raw members are copied as they lie");
    std::vector<Entry> merged;
    merged.reserve(entries.size());
    for (Entry& e : entries) {
        const uint32_t bytes = rawBytes(e);
        if (bytes != 0 && !merged.empty()) {
            Entry& last = merged.back();
            const uint32_t lastBytes = rawBytes(last);
            if (lastBytes != 0 && last.offset + lastBytes == e.offset) {
                if (last.kind != Entry::RAW) {
                    last.kind = Entry::RAW;
                    last.name = u"(raw)";
                }
                last.limit = static_cast<int32_t>(lastBytes + bytes);
                continue;
            }
        }
        merged.push_back(std::move(e));
    }
    entries.swap(merged);
    uint32_t sum = 0;
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (endsSegment(entries[i].kind)) {
            sum = 0;
        }
        sum += fixedBytes(entries[i].kind) + (entries[i].kind == Entry::RAW ? rawBytes(entries[i]) : 0);
        entries[i].ahead = sum;
    }
    steps.clear();
    steps.reserve(entries.size() + 4);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if ((i == 0 || endsSegment(entries[i - 1].kind)) && e.ahead != 0) {
            steps.push_back(Step{Step::CHECK, 0, e.ahead, static_cast<uint32_t>(i)});
        }
        const uint32_t bytes = rawBytes(e);
        const uint32_t arg = bytes != 0 ? bytes : e.kind == Entry::ENUM ? static_cast<uint32_t>(e.limit) : 0;
        steps.push_back(Step{stepCode(e, bytes), e.offset, arg, static_cast<uint32_t>(i)});
    }
}
