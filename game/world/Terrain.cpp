#include "game/world/Terrain.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"
#include "game/world/Hull.h"
#include "game/world/HullVertex.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass Terrain::classRecord(RuntimeClass::hashName(u"Terrain"), &A99Object::classRecord,
                                        &RuntimeClass::factoryOf<Terrain>);
const RuntimeClass RPC_Terrain_construct::classRecord(RuntimeClass::hashName(u"RPC_Terrain_construct"),
                                                      &RPC::classRecord,
                                                      &RuntimeClass::factoryOf<RPC_Terrain_construct>);

Terrain::Terrain() : A99Object(LevelAccess::OBJECT_LIST) {}

void Terrain::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyInt(u"segmentWidth", Property::FLAG_CONSTRUCTOR, &segmentWidth));
    list.appendChild(new PropertyInt(u"segmentCount", Property::FLAG_CONSTRUCTOR, &segmentCount));
    list.appendChild(new PropertyArray<float>(u"heights", 0, &heights, [](UStringView name, float& h) -> Property* {
        return new PropertyFloat(name, 0, &h);
    }));
}

void Terrain::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck check(*this, run);
    checkSegments(check);
    const std::size_t points = static_cast<std::size_t>(segmentCount) + 1;
    if (heights.size() != points) {
        check.warn(u"heights", formatString(u"holds %d heights for %d points; fitted.", static_cast<int>(heights.size()),
                                            static_cast<int>(points)));
        heights.resize(points, heights.empty() ? 0.0f : heights.back());
    }
    for (float& h : heights) {
        check.coordinate(u"heights", h);
    }
}

void Terrain::checkSegments(LevelDataCheck& check)
{
    // The points lie up to half the strip's width either side of its position: no farther than a coordinate.
    constexpr auto reach = static_cast<int32_t>(2.0f * LevelDataCheck::MAX_COORDINATE);
    // The widest segments a count leaves room for, and the most segments of a width.
    const auto widest = [](int32_t count) {
        return std::min(MAX_SEGMENT_WIDTH, reach / std::clamp(count, 1, MAX_SEGMENTS));
    };
    const auto most = [](int32_t width) {
        return std::min(MAX_SEGMENTS, reach / std::clamp(width, 1, MAX_SEGMENT_WIDTH));
    };
    // A strip too wide is refused for its count where the count is what is wrong: the value typed into the
    // editor, or a count out of its own range that leaves the strip too wide even once clamped.
    if (check.isFor(&segmentCount)) {
        check.reach(u"segmentCount", segmentCount, 1, most(segmentWidth));
    } else if (segmentWidth > widest(segmentCount)) {
        check.reach(u"segmentCount", segmentCount, 1, MAX_SEGMENTS);
    }
    check.range(u"segmentCount", segmentCount, 1, MAX_SEGMENTS);
    check.reach(u"segmentWidth", segmentWidth, 1, widest(segmentCount));
}

void Terrain::afterEdit()
{
    ++revision;
    updateHull();
    A99Object::afterEdit();
}

void Terrain::construct(int32_t width, int32_t count)
{
    RPC_Terrain_construct call(this, width, count);
    RPC::send(call);
}

void Terrain::local_construct(int32_t width, int32_t count)
{
    EditorObject::local_construct();
    segmentWidth = width;
    segmentCount = count;
    LevelDataCheck check(*this);
    checkSegments(check);
    heights.assign(static_cast<std::size_t>(segmentCount) + 1, 0.0f);
    if (pHull == nullptr) {
        local_createHull();
    }
    updateHull();
    ++revision;
}

float Terrain::pointX(int32_t i) const
{
    return (static_cast<float>(i) - 0.5f * static_cast<float>(segmentCount)) * static_cast<float>(segmentWidth);
}

float Terrain::heightAt(float x) const
{
    if (heights.empty()) {
        return 0.0f;
    }
    const float f = (x + halfWidth()) / static_cast<float>(segmentWidth);
    if (!(f > 0.0f)) {
        return heights.front();
    }
    const std::size_t i = static_cast<std::size_t>(f);
    if (i + 1 >= heights.size()) {
        return heights.back();
    }
    const float t = f - static_cast<float>(i);
    return heights[i] + (heights[i + 1] - heights[i]) * t;
}

void Terrain::updateHull()
{
    // A terrain without a hull (one the editor's class list made, which runs no construct call) gets one
    // where this side may make objects; a client's arrives from the server.
    if (pHull == nullptr) {
        if (!LevelAccess::mayCreateObjects()) {
            return;
        }
        local_createHull();
    }
    const int32_t points = static_cast<int32_t>(heights.size());
    if (pHull->countVertices() == points) {
        int32_t i = 0;
        for (KivBase* c = pHull->getFirstChild(); c != nullptr; c = c->getNext()) {
            if (c->getClass() == &HullVertex::classRecord) {
                static_cast<HullVertex*>(c)->point = V3{pointX(i), heights[static_cast<std::size_t>(i)], 0.0f};
                ++i;
            }
        }
        return;
    }
    // A different number of points: a new outline, when this side may make objects now. A client's hull
    // arrives from the server (with the server's state or through the construct call both sides run).
    if (!LevelAccess::mayCreateObjects()) {
        return;
    }
    pHull->destroyAllChildren();
    for (int32_t i = 0; i < points; ++i) {
        pHull->addHullPoint(pointX(i), heights[static_cast<std::size_t>(i)], 0.0f, true);
    }
}

RPC_Terrain_construct::RPC_Terrain_construct(KivBase* target, int32_t width, int32_t count)
    : RPC(target), width(width), count(count)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_Terrain_construct::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doVarInt(width);
    packet.doVarInt(count);
}

void RPC_Terrain_construct::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyInt(u"", 0, &width));
    list.appendChild(new PropertyInt(u"", 0, &count));
}

void RPC_Terrain_construct::invoke()
{
    if (target != nullptr) {
        static_cast<Terrain*>(target)->local_construct(width, count);
    }
}
