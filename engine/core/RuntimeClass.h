#pragma once
// One static record per registered class: name, 32-bit id, registry index, factory and parent record.
// Engine classes register under their own names; game classes and remote-call classes under "_" and
// their id in eight lower-case hexadecimal digits:
//   const RuntimeClass Sky::classRecord(RuntimeClass::hashName(u"Sky"), &Context::classRecord, ...);
//   const RuntimeClass Camera::classRecord(u"Camera", &KivBase::classRecord, &RuntimeClass::factoryOf<Camera>);
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/UString.h"

class KivBase;
class PropertyLayout;

class RuntimeClass {
public:
    using Factory = KivBase* (*)();

    // An engine class: registered under `name`, id = hashName(name).
    RuntimeClass(const char16_t* name, const RuntimeClass* parent, Factory factory);
    // A game or remote-call class: registered as "_" + the id in eight lower-case hex digits.
    RuntimeClass(uint32_t id, const RuntimeClass* parent, Factory factory);
    // A record made at run time leaves the registry again when it goes.
    ~RuntimeClass();
    RuntimeClass(const RuntimeClass&) = delete;
    RuntimeClass& operator=(const RuntimeClass&) = delete;

    // h = h * 33 + c over the UTF-16 units, from 0.
    static constexpr uint32_t hashName(UStringView name)
    {
        uint32_t h = 0;
        for (char16_t c : name) {
            h = h * 33u + static_cast<uint32_t>(c);
        }
        return h;
    }
    template <class T>
    static KivBase* factoryOf()
    {
        KivBase* object = new T();
        // Set after construction, so that a constructor making other objects does not leave their size.
        if (sizeProbe != nullptr) {
            *sizeProbe = sizeof(T);
        }
        return object;
    }

    UString getName() const { return name; }
    const UString& nameRef() const { return name; }
    uint32_t getId() const { return id; }
    // Position in the name-sorted class array (-1 before the array is built).
    int32_t getIndex() const { return index; }
    const RuntimeClass* getParent() const { return parent; }
    const RuntimeClass* getNextRecord() const { return next; }
    bool hasFactory() const { return factory != nullptr; }
    // A new instance through the factory; null for a class without one.
    KivBase* create() const;
    // True when `other` is this record or one of its ancestors.
    bool isDerivedFrom(const RuntimeClass* other) const;
    // A new instance through the factory and its size in bytes; the size is 0 when the factory is not
    // factoryOf (it cannot tell). Null and 0 for a class without a factory.
    KivBase* createMeasured(std::size_t& size) const;

private:
    friend class RuntimeClassManager;
    friend class PropertyLayout;

    // Where factoryOf reports the size of what it makes, while createMeasured runs.
    static inline thread_local std::size_t* sizeProbe = nullptr;

    UString name;
    uint32_t id;
    int32_t index = -1;
    Factory factory;
    const RuntimeClass* parent;
    const RuntimeClass* next = nullptr;
    // The serialisation layout of the class, built by PropertyLayout::of on first use (null after that
    // when the class's objects take the general path).
    mutable std::unique_ptr<PropertyLayout> layout;
    mutable bool bLayoutBuilt = false;
};
