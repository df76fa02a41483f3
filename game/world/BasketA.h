#pragma once
// A basket of 3 apples.
#include "game/world/Basket.h"

class BasketA : public Basket {
public:
    static const RuntimeClass classRecord;

    BasketA() : Basket(LevelAccess::CARGO_LIST) {}

    const RuntimeClass* getClass() const override { return &classRecord; }
    int32_t getCapacity() const override { return 3; }
    const char16_t* getSkinName() const override { return u"basketA:0"; }
};
