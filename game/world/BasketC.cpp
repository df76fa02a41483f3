#include "game/world/BasketC.h"

const RuntimeClass BasketC::classRecord(RuntimeClass::hashName(u"BasketC"), &Basket::classRecord,
                                        &RuntimeClass::factoryOf<BasketC>);
