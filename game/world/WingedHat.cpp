#include "game/world/WingedHat.h"

#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/Pig.h"

const RuntimeClass WingedHat::classRecord(RuntimeClass::hashName(u"WingedHat"), &Cargo::classRecord,
                                          &RuntimeClass::factoryOf<WingedHat>);

WingedHat::WingedHat() : Cargo(LevelAccess::CARGO_LIST) {}

void WingedHat::afterEdit()
{
    if (pSkin == nullptr) {
        if (ResourceManager* resources = ResourceManager::instance()) {
            pSkin = dynamic_cast<Skin*>(resources->find(u"chefHat:0", false));
        }
    }
    Cargo::afterEdit();
}

void WingedHat::use(Pig* pig)
{
    const bool pickingUp = pig != nullptr && carriedBy == nullptr;
    Cargo::use(pig);
    if (pickingUp && carriedBy == pig) {
        LevelAccess::playSound(u"magicHat");
    }
}
