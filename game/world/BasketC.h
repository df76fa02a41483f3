#pragma once
// A basket of 7 apples.
#include "game/world/Basket.h"

class BasketC : public Basket {
public:
    static const RuntimeClass classRecord;

    BasketC() : Basket(LevelAccess::CARGO_LIST) {}

    const RuntimeClass* getClass() const override { return &classRecord; }
    int32_t getCapacity() const override { return 7; }
    const char16_t* getSkinName() const override { return u"basketB:0"; }
};
