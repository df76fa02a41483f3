#include "NetTestObjects.h"

const RuntimeClass TestThing::classRecord(u"TestThing", &KivBase::classRecord, &RuntimeClass::factoryOf<TestThing>);
const RuntimeClass TestRoot::classRecord(u"TestRoot", &RootObject::classRecord, &RuntimeClass::factoryOf<TestRoot>);
const RuntimeClass RPC_TestThing_setNumber::classRecord(u"RPC_TestThing_setNumber", &RPC::classRecord,
                                                        &RuntimeClass::factoryOf<RPC_TestThing_setNumber>);
const RuntimeClass RPC_TestThing_request::classRecord(u"RPC_TestThing_request", &RPC::classRecord,
                                                      &RuntimeClass::factoryOf<RPC_TestThing_request>);
const RuntimeClass RPC_TestThing_clientsOnly::classRecord(u"RPC_TestThing_clientsOnly", &RPC::classRecord,
                                                          &RuntimeClass::factoryOf<RPC_TestThing_clientsOnly>);

TestThing* addThing(NetRole& role, KivBase* parent)
{
    auto* thing = new TestThing();
    role.registerObject(thing, 0);
    parent->appendChild(thing);
    return thing;
}

void buildWorld(Server& server)
{
    server.start(nullptr);
    KivBase* root = server.root;
    TestThing* a = addThing(server, root);
    TestThing* b = addThing(server, root);
    TestThing* c = addThing(server, a);
    TestThing* d = addThing(server, a);
    a->flag = true;
    a->number = -123456;
    a->word = 0xDEADBEEF;
    a->f = 1.25f;
    a->d = -3.0e100;
    a->colour = UColor(0x80FF0102u);
    a->text = u"Gr\u00fc\u00dfe \u20ac";
    a->other = c;
    a->ref.set(d);
    a->mode = TestThing::MODE_C;
    a->values = {5, -6, 70000};
    a->part.weight = 9.5f;
    a->bitA = false;
    a->bitB = true;
    b->other = b;
    b->ref.set(root);
    c->values = {};
    d->text = u"d";
    d->ref.set(a);
}
