#include "game/world/Basket.h"

#include <cmath>

#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/Apple.h"

const RuntimeClass Basket::classRecord(RuntimeClass::hashName(u"Basket"), &Cargo::classRecord,
                                       &RuntimeClass::factoryOf<Basket>);

Basket::Basket() : Basket(LevelAccess::CARGO_LIST) {}

Basket::Basket(LevelAccess::ListId home) : Cargo(home) {}

Basket::~Basket()
{
    if (KivBase* apples = LevelAccess::list(LevelAccess::APPLE_LIST)) {
        for (KivBase* a = apples->getFirstChild(); a != nullptr; a = a->getNext()) {
            if (a->isDerivedFrom(&Apple::classRecord) && static_cast<Apple*>(a)->pBasket == this) {
                static_cast<Apple*>(a)->leaveBasket();
            }
        }
    }
}

void Basket::afterEdit()
{
    if (pSkin == nullptr) {
        if (ResourceManager* resources = ResourceManager::instance()) {
            pSkin = dynamic_cast<Skin*>(resources->find(getSkinName(), false));
        }
    }
    Cargo::afterEdit();
}

V3 Basket::slotPosition(int32_t slot) const
{
    // Rows of up to four apples from the bottom of the basket up.
    constexpr int32_t PER_ROW = 4;
    const float step = Apple::RADIUS * 1.4f;
    const int32_t row = slot / PER_ROW;
    const int32_t inRow = std::min(PER_ROW, getCapacity() - row * PER_ROW);
    const float x = (static_cast<float>(slot % PER_ROW) - static_cast<float>(inRow - 1) * 0.5f) * step;
    const float y = -halfHeight() + Apple::RADIUS + static_cast<float>(row) * step;
    const float c = std::cos(rotation.z);
    const float s = std::sin(rotation.z);
    return V3{position.x + x * c - y * s, position.y + x * s + y * c, position.z + 0.1f};
}

int32_t Basket::countApples() const
{
    int32_t n = 0;
    if (KivBase* apples = LevelAccess::list(LevelAccess::APPLE_LIST)) {
        for (KivBase* a = apples->getFirstChild(); a != nullptr; a = a->getNext()) {
            n += a->isDerivedFrom(&Apple::classRecord) && static_cast<Apple*>(a)->pBasket == this ? 1 : 0;
        }
    }
    return n;
}

int32_t Basket::nextFreeSlot() const
{
    const int32_t capacity = getCapacity();
    uint32_t used = 0;
    if (KivBase* apples = LevelAccess::list(LevelAccess::APPLE_LIST)) {
        for (KivBase* a = apples->getFirstChild(); a != nullptr; a = a->getNext()) {
            if (a->isDerivedFrom(&Apple::classRecord)) {
                const auto* apple = static_cast<Apple*>(a);
                if (apple->pBasket == this && apple->basketSlot >= 0 && apple->basketSlot < capacity) {
                    used |= 1u << apple->basketSlot;
                }
            }
        }
    }
    for (int32_t slot = 0; slot < capacity; ++slot) {
        if ((used & (1u << slot)) == 0) {
            return slot;
        }
    }
    return -1;
}

bool Basket::takeApple(Apple& apple)
{
    const int32_t slot = nextFreeSlot();
    if (slot < 0) {
        return false;
    }
    apple.enterBasket(this, slot);
    LevelAccess::playSound(u"appleBasket");
    return true;
}

void Basket::tick(double time, double dt)
{
    Cargo::tick(time, dt);
    if (!LevelAccess::isActing() || bHidden) {
        return;
    }
    KivBase* apples = LevelAccess::list(LevelAccess::APPLE_LIST);
    if (apples == nullptr) {
        return;
    }
    // The rim: the top edge of the basket, in the basket's frame.
    const float c = std::cos(rotation.z);
    const float s = std::sin(rotation.z);
    for (KivBase* a = apples->getFirstChild(); a != nullptr; a = a->getNext()) {
        if (!a->isDerivedFrom(&Apple::classRecord) || a->bDeleted) {
            continue;
        }
        auto* apple = static_cast<Apple*>(a);
        if (apple->pBasket != nullptr || apple->bLost || apple->bHidden) {
            continue;
        }
        const float dx = apple->position.x - position.x;
        const float dy = apple->position.y - position.y;
        const float lx = dx * c + dy * s;
        const float ly = -dx * s + dy * c;
        const float r = apple->getRadius();
        if (std::fabs(lx) <= halfWidth() && ly >= halfHeight() - r && ly <= halfHeight() + r + 4.0f) {
            if (!takeApple(*apple)) {
                return;
            }
        }
    }
}
