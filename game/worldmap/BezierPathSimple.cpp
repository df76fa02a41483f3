#include "game/worldmap/BezierPathSimple.h"

#include <algorithm>
#include <cmath>

#include "engine/core/ErrorManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Rect.h"
#include "game/worldmap/BezierSimpleSegment.h"

BezierSimpleSegment* BezierPathSimple::firstSegment() const
{
    return static_cast<BezierSimpleSegment*>(segments.getFirstChild());
}

BezierSimpleSegment* BezierPathSimple::lastSegment() const
{
    return static_cast<BezierSimpleSegment*>(segments.getLastChild());
}

void BezierPathSimple::addPoint(const V3& position, const V3& tangent)
{
    BezierSimpleSegment* segment = nullptr;
    if (bPending) {
        segment = new BezierSimpleSegment(pendingPosition, pendingTangent, position, tangent);
        bPending = false;
    } else if (lastSegment() == nullptr) {
        pendingPosition = position;
        pendingTangent = tangent;
        bPending = true;
        return;
    } else {
        const BezierSimpleSegment* last = lastSegment();
        segment = new BezierSimpleSegment(last->p1, last->t1, position, tangent);
    }
    segments.appendChild(segment);
    totalLength += segment->length;
}

void BezierPathSimple::clear()
{
    segments.destroyAllChildren();
    totalLength = 0.0f;
    bPending = false;
}

BezierSimpleSegment* BezierPathSimple::findSegment(float L, float* t) const
{
    if (bLooping && totalLength > 0.0f) {
        L = std::fmod(L, totalLength);
    } else {
        L = std::clamp(L, 0.0f, totalLength);
    }
    float sum = 0.0f;
    for (KivBase* child = segments.getFirstChild(); child != nullptr; child = child->getNext()) {
        auto* segment = static_cast<BezierSimpleSegment*>(child);
        sum += segment->length;
        if (sum > L) {
            if (t != nullptr) {
                *t = 1.0f - (sum - L) / segment->length;
            }
            return segment;
        }
    }
    if (t != nullptr) {
        *t = 1.0f;
    }
    return lastSegment();
}

V3 BezierPathSimple::evaluateL(float L, float* angle) const
{
    if (segments.getFirstChild() == nullptr) {
        ErrorManager::assertionFailed("!segments.isEmpty()", __PRETTY_FUNCTION__, __FILE__, __LINE__);
    }
    float t = 0.0f;
    const BezierSimpleSegment* segment = findSegment(L, &t);
    if (angle != nullptr) {
        *angle = segment->getAngle(t);
    }
    return segment->pointAt(t);
}

void BezierPathSimple::render()
{
    for (KivBase* child = segments.getFirstChild(); child != nullptr; child = child->getNext()) {
        child->render();
    }
    if (firstSegment() == nullptr) {
        return;
    }
    const Kiv* kiv = Kiv::instance();
    float angle = 0.0f;
    const V3 at = evaluateL(kiv != nullptr ? static_cast<float>(kiv->time * 64.0) : 0.0f, &angle);
    Rect::drawLine(at, at + V3(std::cos(angle), std::sin(angle), 0.0f) * 64.0f, UColor(0xFF004040u),
                   UColor(0xFF00FFFFu));
}
