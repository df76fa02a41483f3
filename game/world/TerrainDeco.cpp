#include "game/world/TerrainDeco.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/net/Packet.h"
#include "engine/render/Quad.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Terrain.h"
#include "game/world/TerrainSkin.h"
#include "game/world/WorldPointer.h"

const RuntimeClass TerrainDeco::classRecord(RuntimeClass::hashName(u"TerrainDeco"), &A99Object::classRecord,
                                            &RuntimeClass::factoryOf<TerrainDeco>);
const RuntimeClass RPC_TerrainDeco_construct::classRecord(RuntimeClass::hashName(u"RPC_TerrainDeco_construct"),
                                                          &RPC::classRecord,
                                                          &RuntimeClass::factoryOf<RPC_TerrainDeco_construct>);

TerrainDeco::TerrainDeco() : A99Object(LevelAccess::OBJECT_LIST) {}

TerrainDeco::~TerrainDeco() = default;

void TerrainDeco::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(worldPointer(u"pTerrain", Property::FLAG_CONSTRUCTOR, &pTerrain));
    list.appendChild(new PropertyPointer(u"pSkinRefQuad", Property::FLAG_CONSTRUCTOR | Property::FLAG_RESOURCE,
                                         &pSkinRefQuad, &Quad::classRecord));
    list.appendChild(new PropertyInt(u"skinSegments", Property::FLAG_CONSTRUCTOR, &skinSegments));
    list.appendChild(new PropertyInt(u"depth", Property::FLAG_CONSTRUCTOR, &depth));
}

void TerrainDeco::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck check(*this, run);
    check.reference(u"pTerrain", pTerrain, &Terrain::classRecord);
    check.range(u"skinSegments", skinSegments, 1, MAX_TILE);
    check.range(u"depth", depth, 1, MAX_TILE);
}

void TerrainDeco::afterEdit()
{
    rebuild();
    A99Object::afterEdit();
}

void TerrainDeco::construct(Terrain* terrain, Quad* skin, int32_t segments, int32_t stripDepth)
{
    RPC_TerrainDeco_construct call(this, terrain, skin, segments, stripDepth);
    RPC::send(call);
}

void TerrainDeco::local_construct(Terrain* terrain, Quad* skin, int32_t segments, int32_t stripDepth)
{
    EditorObject::local_construct();
    pTerrain = terrain;
    pSkinRefQuad = skin;
    skinSegments = segments;
    depth = stripDepth;
    KIV_ASSERT(pSkinRefQuad != NULL);
    KIV_ASSERT(skinSegments > 0);
    checkLoadedValues();
    rebuild();
}

void TerrainDeco::rebuild()
{
    if (pTerrain == nullptr || pSkinRefQuad == nullptr) {
        strip.reset();
        return;
    }
    if (strip == nullptr) {
        strip = std::make_unique<TerrainSkin>();
    }
    position = pTerrain->position;
    rotation = pTerrain->rotation;
    const LevelAccess::Area area = LevelAccess::playingArea();
    // The floor in the terrain's frame; without a level, a screen below the terrain.
    const float floor = area.top != area.bottom ? area.bottom - pTerrain->position.y : -768.0f;
    strip->build(*pTerrain, *pSkinRefQuad, static_cast<float>(skinSegments), static_cast<float>(depth), depth == 1,
                 floor);
    builtRevision = pTerrain->revision;
    boundingRadius = 0.5f * std::max(strip->width, strip->height) + 1.0f;
    updateVisuals();
}

void TerrainDeco::tick(double time, double dt)
{
    A99Object::tick(time, dt);
    if (pTerrain != nullptr && pTerrain->revision != builtRevision) {
        rebuild();
    }
}

void TerrainDeco::drawObject()
{
    if (bHidden || strip == nullptr) {
        return;
    }
    strip->draw(*this);
}

RPC_TerrainDeco_construct::RPC_TerrainDeco_construct(KivBase* target, Terrain* terrain, Quad* skin, int32_t segments,
                                                     int32_t stripDepth)
    : RPC(target), terrain(terrain), skin(skin), segments(segments), stripDepth(stripDepth)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_TerrainDeco_construct::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    KivBase* t = terrain;
    packet.doPointer2(t);
    KivBase* s = skin;
    packet.doResourcePointer2(s);
    packet.doVarInt(segments);
    packet.doVarInt(stripDepth);
    if (!packet.bWriting) {
        terrain = t != nullptr && t->isDerivedFrom(&Terrain::classRecord) ? static_cast<Terrain*>(t) : nullptr;
        skin = s != nullptr && s->isDerivedFrom(&Quad::classRecord) ? static_cast<Quad*>(s) : nullptr;
    }
}

void RPC_TerrainDeco_construct::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyPointer(u"", 0, &terrain, &Terrain::classRecord));
    list.appendChild(new PropertyPointer(u"", Property::FLAG_RESOURCE, &skin, &Quad::classRecord));
    list.appendChild(new PropertyInt(u"", 0, &segments));
    list.appendChild(new PropertyInt(u"", 0, &stripDepth));
}

void RPC_TerrainDeco_construct::invoke()
{
    if (target != nullptr) {
        static_cast<TerrainDeco*>(target)->local_construct(terrain, skin, segments, stripDepth);
    }
}
