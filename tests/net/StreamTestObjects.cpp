#include "StreamTestObjects.h"

#include "engine/core/Format.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/NetConnection.h"

const RuntimeClass KindsThing::classRecord(u"KindsThing", &KivBase::classRecord, &RuntimeClass::factoryOf<KindsThing>);

void KindsThing::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    list.appendChild(new PropertySecureInt(u"score", 0, &score));
    list.appendChild(new PropertyEnum<uint8_t>(u"season", 0, &season, 4));
    list.appendChild(new PropertyEnum<Size>(u"size", 0, &size, 3));
    list.appendChild(new PropertyPointer(u"sprite", Property::FLAG_RESOURCE, &sprite, &KivBase::classRecord));
    list.appendChild(new PropertyArray<float>(u"heights", 0, &heights, [](UStringView name, float& v) -> Property* {
        return new PropertyFloat(name, 0, &v);
    }));
    list.appendChild(new PropertyArray<KindsSlot>(u"slots", 0, &slots, [](UStringView name, KindsSlot& s) -> Property* {
        auto* group = new PropertyContainer(name, 0);
        group->appendChild(new PropertyInt(u"id", 0, &s.id));
        group->appendChild(new PropertyFloat(u"weight", 0, &s.weight));
        group->appendChild(new PropertyBool(u"on", 0, &s.on));
        group->appendChild(new PropertyUString(u"label", 0, &s.label, 16));
        return group;
    }));
    list.appendChild(new PropertySubObject(u"lid", 0, &lid));
    auto* areaGroup = new PropertySubObject(u"area", 0);
    areaGroup->appendChild(new PropertyFloat(u"left", 0, &area.left));
    areaGroup->appendChild(new PropertyFloat(u"top", 0, &area.top));
    areaGroup->appendChild(new PropertyFloat(u"right", 0, &area.right));
    areaGroup->appendChild(new PropertyFloat(u"bottom", 0, &area.bottom));
    list.appendChild(areaGroup);
    list.appendChild(new PropertySubObject(u"spare", 0, spare.get()));
    list.appendChild(new PropertyUString(u"note", 0, &note, 400));
    list.appendChild(new PropertyDouble(u"when", 0, &when));
    list.appendChild(new PropertyBool(u"last", 0, &last));
    list.appendChild(new PropertyPointer(u"partner", 0, &partner, &KindsThing::classRecord));
    list.appendChild(new PropertyReferenceBase(u"watched", 0, &watched, &KivBase::classRecord));
    list.appendChild(new PropertyDWORD(u"tint", 0, &tint));
    list.appendChild(new PropertyUColor(u"colour", 0, &colour));
}

namespace {
template <class T>
T* add(NetRole& role, KivBase* parent)
{
    auto* object = new T();
    role.registerObject(object, 0);
    parent->appendChild(object);
    return object;
}
} // namespace

StreamWorld::StreamWorld()
{
    resources = std::make_unique<ResourceManager>();
    resources->addResource(u"apple:0", &apple);
    resources->addResource(u"pear:\u00e4", &pear);
    server = std::make_unique<TestServer>();
    server->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server->bOwnsConnection = true;
    server->start(nullptr);
    server->nextObjectUID = 120; // UIDs from 120: two-byte UIDs from 128 on
    KivBase* root = server->root;

    auto* a = add<TestThing>(*server, root);
    auto* b = add<TestThing>(*server, root);
    auto* c = add<TestThing>(*server, a);
    auto* d = add<TestThing>(*server, a);
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
    a->bitB = true;
    a->state = 4;
    a->timeInState = 0.5;
    b->other = b;
    b->ref.set(root);
    b->number = INT32_MIN;
    b->word = 0xFFFFFFFFu;
    b->values.assign(200, -1);
    c->number = INT32_MAX;
    c->f = -0.0f;
    c->d = 1.0 / 3.0;
    d->text = u"d";
    d->ref.set(a);
    d->stateGoto = 7;
    d->stateLeft = 2.5;

    auto* full = add<KindsThing>(*server, b);
    auto* edges = add<KindsThing>(*server, full);
    full->score.set(987654);
    full->season = 3;
    full->size = KindsThing::Size::LARGE;
    full->sprite = &pear;
    full->heights = {0.5f, -1.0f, 1e30f};
    full->slots = {{1, 2.0f, true, u"one"}, {-70, 0.25f, false, u"\u00e9t\u00e9"}, {3, 3.0f, true, u""}};
    full->lid.size = 17;
    full->lid.open = true;
    full->area = {-10.0f, 20.0f, 30.5f, -40.25f};
    full->spare->size = -3;
    full->spare->open = true;
    full->note = u"apples";
    full->when = 12345.678;
    full->last = true;
    full->partner = edges;
    full->watched.set(a);
    full->tint = 0x01020304u;
    full->colour = UColor(0xFF00FF00u);

    edges->score.set(INT32_MIN);
    edges->sprite = &apple;
    edges->note.assign(300, u'x'); // a two-byte length
    edges->note[5] = u'\uFFFF';
    edges->slots.resize(130);      // a two-byte count
    edges->slots[129].label = u"sixteen chars..";
    edges->partner = nullptr;
    edges->colour = UColor(0u);
    server->outgoing.reset();

    objects = {root, a, c, d, b, full, edges};
}

StreamWorld::~StreamWorld()
{
    THEROLE = nullptr;
    server.reset();
    resources.reset();
}
