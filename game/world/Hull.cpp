#include "game/world/Hull.h"

#include <algorithm>
#include <cmath>

#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/Rect.h"
#include "game/world/A99Object.h"
#include "game/world/HullSegment.h"
#include "game/world/HullVertex.h"
#include "game/world/LevelAccess.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass Hull::classRecord(RuntimeClass::hashName(u"Hull"), &KivBase::classRecord,
                                     &RuntimeClass::factoryOf<Hull>);

void Hull::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    list.appendChild(new PropertyReferenceBase(u"pOwner", Property::FLAG_READONLY, &pOwner, &KivBase::classRecord));
    list.appendChild(new PropertyBool(u"bOneWay", 0, &bOneWay));
    list.appendChild(new PropertyBool(u"bEnabled", 0, &bEnabled));
}

void Hull::netPostReplicate()
{
    KivBase::netPostReplicate();
    LevelDataCheck check(*this);
    if (KivBase* owner = pOwner.get(); check.objectOfClass(u"pOwner", owner, &A99Object::classRecord)) {
        pOwner.set(nullptr);
    }
    // The points check their own values as they arrive, after this.
    for (KivBase* c = getFirstChild(); c != nullptr; c = c->getNext()) {
        if (c->getClass() == &HullSegment::classRecord) {
            auto* s = static_cast<HullSegment*>(c);
            // A segment joins two vertices of this hull.
            for (HullVertex** end : {&s->pFrom, &s->pTo}) {
                const KivBase* v = *reinterpret_cast<KivBase**>(end);
                if (v != nullptr && (v->getClass() != &HullVertex::classRecord || v->getParent() != this)) {
                    check.warn(u"segment", u"names no point of this hull; dropped.");
                    *end = nullptr;
                }
            }
        }
    }
}

HullVertex* Hull::addHullPoint(float x, float y, float z, bool join)
{
    KIV_ASSERT(THEROLE != nullptr);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    HullVertex* previous = nullptr;
    for (KivBase* c = getLastChild(); c != nullptr; c = c->getPrev()) {
        if (c->getClass() == &HullVertex::classRecord) {
            previous = static_cast<HullVertex*>(c);
            break;
        }
    }
    auto* vertex = new HullVertex();
    vertex->point = V3{x, y, z};
    THEROLE->registerObject(vertex, 0);
    netAddChild(vertex);
    if (join && previous != nullptr) {
        auto* segment = new HullSegment();
        segment->pFrom = previous;
        segment->pTo = vertex;
        THEROLE->registerObject(segment, 0);
        netAddChild(segment);
    }
    return vertex;
}

std::vector<std::vector<V3>> Hull::getRuns() const
{
    // A segment counts only between two vertices of this hull: what a level file names there may be any
    // object, or one of another hull that has gone since. The ends are looked up, not followed.
    std::vector<const KivBase*> vertices;
    for (const KivBase* c = getFirstChild(); c != nullptr; c = c->getNext()) {
        if (c->getClass() == &HullVertex::classRecord) {
            vertices.push_back(c);
        }
    }
    std::sort(vertices.begin(), vertices.end());
    auto isVertex = [&](const HullVertex* v) {
        return std::binary_search(vertices.begin(), vertices.end(), reinterpret_cast<const KivBase*>(v));
    };
    std::vector<std::vector<V3>> runs;
    const HullVertex* last = nullptr;
    for (KivBase* c = getFirstChild(); c != nullptr; c = c->getNext()) {
        if (c->getClass() != &HullSegment::classRecord) {
            continue;
        }
        const auto* s = static_cast<const HullSegment*>(c);
        if (!isVertex(s->pFrom) || !isVertex(s->pTo) || s->pFrom == s->pTo) {
            last = nullptr;
            continue;
        }
        if (last == nullptr || s->pFrom != last) {
            runs.push_back({s->pFrom->point});
        }
        runs.back().push_back(s->pTo->point);
        last = s->pTo;
    }
    return runs;
}

int Hull::countVertices() const
{
    int n = 0;
    for (KivBase* c = getFirstChild(); c != nullptr; c = c->getNext()) {
        n += c->getClass() == &HullVertex::classRecord ? 1 : 0;
    }
    return n;
}

A99Object* Hull::getOwner() const
{
    KivBase* owner = pOwner.get();
    return owner != nullptr && owner->isDerivedFrom(&A99Object::classRecord) ? static_cast<A99Object*>(owner)
                                                                              : nullptr;
}

void Hull::render()
{
    const A99Object* owner = getOwner();
    if (!LevelAccess::showGuide(LevelAccess::SHOW_HULLS) || owner == nullptr) {
        return;
    }
    const float c = std::cos(owner->rotation.z);
    const float s = std::sin(owner->rotation.z);
    auto world = [&](const V3& p) {
        return V3{owner->position.x + p.x * c - p.y * s, owner->position.y + p.x * s + p.y * c, owner->position.z};
    };
    const UColor colour(bEnabled ? (bOneWay ? 0xff00ffffu : 0xffffff00u) : 0xff808080u);
    for (const auto& run : getRuns()) {
        for (std::size_t i = 1; i < run.size(); ++i) {
            Rect::drawLine(world(run[i - 1]), world(run[i]), colour);
        }
    }
}
