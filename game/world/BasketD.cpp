#include "game/world/BasketD.h"

const RuntimeClass BasketD::classRecord(RuntimeClass::hashName(u"BasketD"), &Basket::classRecord,
                                        &RuntimeClass::factoryOf<BasketD>);
