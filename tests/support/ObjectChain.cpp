#include "support/ObjectChain.h"

#include "engine/core/KivBase.h"
#include "engine/net/NetRole.h"

KivBase* addChain(NetRole& role, KivBase* parent, int depth)
{
    KivBase* top = nullptr;
    for (int i = 0; i < depth; ++i) {
        auto* o = new KivBase();
        role.registerObject(o, 0);
        parent->appendChild(o);
        top = top != nullptr ? top : o;
        parent = o;
    }
    return top;
}

void removeChain(KivBase* top)
{
    KivBase* o = top;
    while (o->getFirstChild() != nullptr) {
        o = o->getFirstChild();
    }
    while (o != top) {
        KivBase* parent = o->getParent();
        delete o;
        o = parent;
    }
    delete top;
}
