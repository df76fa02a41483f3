#include "engine/core/RuntimeClass.h"

#include "engine/core/Format.h"
#include "engine/core/PropertyLayout.h"
#include "engine/core/RuntimeClassManager.h"

RuntimeClass::RuntimeClass(const char16_t* name, const RuntimeClass* parent, Factory factory)
    : name(name), id(hashName(name)), factory(factory), parent(parent)
{
    RuntimeClassManager::getInstance()->registerClass(this);
}

RuntimeClass::RuntimeClass(uint32_t id, const RuntimeClass* parent, Factory factory)
    : name(formatString(u"_%08x", id)), id(id), factory(factory), parent(parent)
{
    RuntimeClassManager::getInstance()->registerClass(this);
}

RuntimeClass::~RuntimeClass() { RuntimeClassManager::getInstance()->unregisterClass(this); }

KivBase* RuntimeClass::create() const { return factory != nullptr ? factory() : nullptr; }

KivBase* RuntimeClass::createMeasured(std::size_t& size) const
{
    size = 0;
    struct Probe {
        std::size_t* saved;
        ~Probe() { sizeProbe = saved; }
    } probe{sizeProbe};
    sizeProbe = &size;
    return create();
}

bool RuntimeClass::isDerivedFrom(const RuntimeClass* other) const
{
    for (const RuntimeClass* c = this; c != nullptr; c = c->parent) {
        if (c == other) {
            return true;
        }
    }
    return false;
}
