#include "game/world/PathSkin.h"

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/render/Quad.h"
#include "game/world/LevelDataCheck.h"
#include "game/effects/PathMesh.h"

const RuntimeClass PathSkin::classRecord(RuntimeClass::hashName(u"PathSkin"), &BezierPath::classRecord,
                                         &RuntimeClass::factoryOf<PathSkin>);

PathSkin::PathSkin() : BezierPath(LevelAccess::OBJECT_LIST) {}

PathSkin::~PathSkin() = default;

void PathSkin::drawObject()
{
    BezierPath::drawObject();
    if (mesh != nullptr && mesh->source != nullptr && !bHidden) {
        mesh->draw(*this);
    }
}

void PathSkin::addPropertiesTo(Property& list)
{
    BezierPath::addPropertiesTo(list);
    list.appendChild(new PropertyPointer(u"pRefQuad", Property::FLAG_RESOURCE, &pRefQuad, &Quad::classRecord));
    list.appendChild(new PropertyInt(u"deformSegments", 0, &deformSegments));
    list.appendChild(new PropertyBool(u"bSkinMap1to1", 0, &bSkinMap1to1));
    list.appendChild(new PropertyFloat(u"skinThicknessScale", 0, &skinThicknessScale));
    list.appendChild(new PropertyFloat(u"skinBulge", 0, &skinBulge));
    list.appendChild(new PropertyFloat(u"skinOffcenter", 0, &skinOffcenter));
}

void PathSkin::checkValues(const LevelDataCheck::Run& run)
{
    BezierPath::checkValues(run);
    LevelDataCheck check(*this, run);
    check.range(u"deformSegments", deformSegments, 1, MAX_SEGMENTS);
    check.size(u"skinThicknessScale", skinThicknessScale, -LevelDataCheck::MAX_SCALE, LevelDataCheck::MAX_SCALE, 1.0f);
    check.size(u"skinBulge", skinBulge, -LevelDataCheck::MAX_SCALE, LevelDataCheck::MAX_SCALE, 0.0f);
    check.size(u"skinOffcenter", skinOffcenter, -LevelDataCheck::MAX_SCALE, LevelDataCheck::MAX_SCALE, 0.5f);
}

void PathSkin::afterEdit()
{
    BezierPath::afterEdit();
    if (mesh == nullptr) {
        mesh = std::make_unique<PathMesh>(this);
    }
    mesh->setSegments(deformSegments);
    mesh->bMap1to1 = bSkinMap1to1;
    mesh->update();
    mesh->setSkin(pRefQuad);
    mesh->thicknessScale = skinThicknessScale;
    mesh->update();
    mesh->bulge = skinBulge;
    mesh->update();
    mesh->offCentre = skinOffcenter;
    mesh->update();
    updateVisuals();
}
