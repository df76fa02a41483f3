#pragma once
// A basket of 10 apples.
#include "game/world/Basket.h"

class BasketD : public Basket {
public:
    static const RuntimeClass classRecord;

    BasketD() : Basket(LevelAccess::CARGO_LIST) {}

    const RuntimeClass* getClass() const override { return &classRecord; }
    int32_t getCapacity() const override { return 10; }
    const char16_t* getSkinName() const override { return u"basketB:1"; }
};
