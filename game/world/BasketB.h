#pragma once
// A basket of 5 apples.
#include "game/world/Basket.h"

class BasketB : public Basket {
public:
    static const RuntimeClass classRecord;

    BasketB() : Basket(LevelAccess::CARGO_LIST) {}

    const RuntimeClass* getClass() const override { return &classRecord; }
    int32_t getCapacity() const override { return 5; }
    const char16_t* getSkinName() const override { return u"basketA:1"; }
};
