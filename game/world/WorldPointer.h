#pragma once
// The property of a member that points to another world object. A level file may name an object of the
// wrong class there; the property takes any registered object, and the owner's check empties the member
// with a warning when the object is not of the member's class (LevelDataCheck::reference). The member is
// bound as a plain object pointer, so a wrong object is never cast to the member's class.
#include <type_traits>

#include "engine/core/PropertyPointer.h"

template <class T>
PropertyPointer* worldPointer(UStringView name, uint32_t flags, T** member)
{
    static_assert(std::is_base_of_v<KivBase, T>, "world pointers point to engine objects");
    return new PropertyPointer(name, flags, reinterpret_cast<KivBase**>(member), &KivBase::classRecord);
}
