#pragma once
// A variable-length array member: one child property per element, rebuilt when the length changes.
// PropertyArray binds it to a std::vector; it shares the PropertyArrayBase class record.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <typeinfo>
#include <vector>

#include "engine/core/Format.h"
#include "engine/core/Property.h"
#include "engine/core/PropertyLayout.h"

class PropertyArrayBase : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyArrayBase(UStringView name, uint32_t flags, void* address);

    const RuntimeClass* getClass() const override { return &classRecord; }
    // The length, then every element's wire form.
    void serialize(Packet& packet) override;
    // "..." with elements, "(empty)" without.
    UString toString() const override;
    // The empty text empties the array; other text is refused.
    bool fromString(UStringView text) override;

    virtual int32_t getCount() const = 0;
    // Resizes the array (a negative count counts as 0) and rebuilds the element properties.
    void setCount(int32_t count);
    // Destroys the element properties and makes one per element again.
    void rebuildElements();

    // For the class layouts: the same operations on the array member at `member` of any object of the
    // class, and the layout of one element (null when an element's properties reach outside it).
    virtual const std::type_info& exactType() const = 0;
    virtual std::size_t memberSize() const = 0;
    virtual int32_t countAt(const void* member) const = 0;
    virtual void resizeAt(void* member, int32_t count) const = 0;
    virtual void* elementAt(void* member, int32_t index) const = 0;
    virtual std::unique_ptr<PropertyLayout> makeElementLayout() const = 0;

protected:
    virtual void resize(int32_t count) = 0;
    virtual Property* makeElement(int32_t index) = 0;
};

template <class T>
class PropertyArray : public PropertyArrayBase {
public:
    // makeElement gives the property of one element, named as given ("[0]", "[1]" ...).
    using ElementMaker = Property* (*)(UStringView name, T& element);

    PropertyArray(UStringView name, uint32_t flags, std::vector<T>* vector, ElementMaker maker)
        : PropertyArrayBase(name, flags, vector), maker(maker)
    {
        rebuildElements();
    }
    int32_t getCount() const override { return countAt(address); }

    const std::type_info& exactType() const override { return typeid(PropertyArray<T>); }
    std::size_t memberSize() const override { return sizeof(std::vector<T>); }
    int32_t countAt(const void* member) const override
    {
        return static_cast<int32_t>(static_cast<const std::vector<T>*>(member)->size());
    }
    void resizeAt(void* member, int32_t count) const override
    {
        static_cast<std::vector<T>*>(member)->resize(static_cast<std::size_t>(count));
    }
    void* elementAt(void* member, int32_t index) const override
    {
        return &(*static_cast<std::vector<T>*>(member))[static_cast<std::size_t>(index)];
    }
    std::unique_ptr<PropertyLayout> makeElementLayout() const override
    {
        T spare{};
        const std::unique_ptr<Property> element(maker(u"[0]", spare));
        return PropertyLayout::buildElement(*element, &spare, sizeof(T));
    }

protected:
    void resize(int32_t count) override { resizeAt(address, count); }
    Property* makeElement(int32_t index) override
    {
        return maker(formatString(u"[%d]", index), (*vec())[static_cast<std::size_t>(index)]);
    }

private:
    std::vector<T>* vec() const { return static_cast<std::vector<T>*>(address); }
    ElementMaker maker;
};
