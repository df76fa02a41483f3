#pragma once
// A level object with an area that notices the pig: a circle of triggerRadius, or with a triggerHalfHeight
// above 0 a rectangle of triggerRadius by triggerHalfHeight about the position. bHeroInside is set while
// the pig is inside (kept on the server while the level is played). The area is drawn while editing with
// the trigger-area guide on.
#include "game/world/A99Object.h"

class TriggerArea : public A99Object {
public:
    static const RuntimeClass classRecord;

    TriggerArea();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void renderObject() override;

    // Whether a world point lies in the area.
    bool contains(const V3& point) const;
    // The pig came in or went out (server, level states 4-5).
    virtual void onHeroEnter(Pig* /*pig*/) {}
    virtual void onHeroLeave(Pig* /*pig*/) {}

    float triggerRadius = 64.0f;
    float triggerHalfHeight = 0.0f;
    bool bHeroInside = false;

protected:
    explicit TriggerArea(LevelAccess::ListId home);
};
