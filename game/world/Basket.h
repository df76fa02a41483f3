#pragma once
// Cargo that holds apples in slots: an apple that touches the rim takes the next free slot and rides in
// the basket from then on. BasketA to BasketD hold 3, 5, 7 and 10 apples.
#include "game/world/Cargo.h"

class Apple;

class Basket : public Cargo {
public:
    static const RuntimeClass classRecord;

    Basket();
    // Its apples fall out.
    ~Basket() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void afterEdit() override;

    virtual int32_t getCapacity() const { return 3; }
    // The basket's sprite ("basketA:0" and the like).
    virtual const char16_t* getSkinName() const { return u"basketA:0"; }
    // Where slot `slot` sits, in world units.
    V3 slotPosition(int32_t slot) const;
    // The first free slot, or -1 when the basket is full.
    int32_t nextFreeSlot() const;
    // Puts the apple into the next free slot; false when the basket is full.
    bool takeApple(Apple& apple);
    int32_t countApples() const;

protected:
    explicit Basket(LevelAccess::ListId home);
};
