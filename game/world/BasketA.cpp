#include "game/world/BasketA.h"

const RuntimeClass BasketA::classRecord(RuntimeClass::hashName(u"BasketA"), &Basket::classRecord,
                                        &RuntimeClass::factoryOf<BasketA>);
