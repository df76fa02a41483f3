#include "game/world/BasketB.h"

const RuntimeClass BasketB::classRecord(RuntimeClass::hashName(u"BasketB"), &Basket::classRecord,
                                        &RuntimeClass::factoryOf<BasketB>);
