#include "game/world/Umbrella.h"

#include "engine/core/PropertyBool.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"

const RuntimeClass Umbrella::classRecord(RuntimeClass::hashName(u"Umbrella"), &Cargo::classRecord,
                                         &RuntimeClass::factoryOf<Umbrella>);

namespace {
Skin* frame(bool open)
{
    ResourceManager* resources = ResourceManager::instance();
    return resources != nullptr ? dynamic_cast<Skin*>(resources->find(open ? u"details1:1" : u"details1:0", false))
                                : nullptr;
}
} // namespace

Umbrella::Umbrella() : Cargo(LevelAccess::CARGO_LIST) {}

void Umbrella::addPropertiesTo(Property& list)
{
    Cargo::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bOpen", Property::FLAG_READONLY, &bOpen));
}

void Umbrella::afterEdit()
{
    if (pSkin == nullptr) {
        pSkin = frame(bOpen);
    }
    Cargo::afterEdit();
}

void Umbrella::setOpen(bool open)
{
    if (open == bOpen) {
        return;
    }
    bOpen = open;
    if (open) {
        LevelAccess::playSound(u"umbrellaOpen");
    }
    if (Skin* skin = frame(open)) {
        pSkin = skin;
        updateVisuals();
    }
}
