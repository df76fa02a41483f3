#include "game/world/Explodable.h"

#include "engine/core/Format.h"
#include "engine/core/PropertyBool.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/Hull.h"

const RuntimeClass Explodable::classRecord(RuntimeClass::hashName(u"Explodable"), &A99Object::classRecord,
                                           &RuntimeClass::factoryOf<Explodable>);

namespace {
// The flash of the explosion: an effect that shows the "explosion" frames and removes itself.
class ExplosionFlash : public Renderable {
public:
    explicit ExplosionFlash(const V3& at) { setPosition(at); }
    void tick(double time, double dt) override
    {
        Renderable::tick(time, dt);
        age += dt;
        ResourceManager* resources = ResourceManager::instance();
        const int frame = static_cast<int>(age * 15.0);
        Skin* skin = resources != nullptr ? dynamic_cast<Skin*>(resources->find(formatString(u"explosion:%d", frame), false))
                                          : nullptr;
        if (skin == nullptr && age > 0.0) {
            bDeleted = true;
            return;
        }
        setSkin(skin, false);
    }
    double age = 0.0;
};
} // namespace

Explodable::Explodable() : A99Object(LevelAccess::EXPLODABLE_LIST) {}

void Explodable::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bExploded", Property::FLAG_READONLY, &bExploded));
}

void Explodable::afterEdit()
{
    if (pSkin == nullptr) {
        if (ResourceManager* resources = ResourceManager::instance()) {
            pSkin = dynamic_cast<Skin*>(resources->find(u"dynamite:0", false));
        }
    }
    if (bExploded) {
        bHidden = true;
    }
    A99Object::afterEdit();
}

void Explodable::makeBody(PhysicsWorld& world)
{
    if (!bExploded) {
        A99Object::makeBody(world);
    }
}

void Explodable::onSwitched(bool /*on*/) { explode(); }

void Explodable::explode()
{
    if (bExploded) {
        return;
    }
    bExploded = true;
    bHidden = true;
    if (pHull != nullptr) {
        pHull->bEnabled = false;
    }
    destroyBodies();
    bBodyMade = true; // nothing to make any more
    LevelAccess::playSound(u"explosionSound");
    if (KivBase* effects = LevelAccess::list(LevelAccess::FG_EFFECTS_LIST)) {
        effects->appendChild(new ExplosionFlash(position));
    }
}
