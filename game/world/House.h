#pragma once
// The pig's home: a trigger area with a door. Every apple within the door radius, free or in a basket, is
// delivered: first towards the level's requirement, then as a bonus apple ("appleCollect"). The pig goes in
// at the door with its own action; going in short of apples shows how many are still missing.
#include "game/world/TriggerArea.h"

class Apple;

class House : public TriggerArea {
public:
    static const RuntimeClass classRecord;

    House();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void afterEdit() override;
    float getEditorRadius() const override { return doorRadius; }

    // Sender of the replicated construct call; its body is local_construct.
    void construct();
    void local_construct() override;

    bool isAtDoor(const V3& point) const;
    void deliver(Apple& apple);
    // The pig went in at the door.
    void pigEntered(Pig* pig);

    float doorRadius = 96.0f;
    bool bPigAtHome = false;
};

class RPC_House_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_House_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &House::classRecord; }
    void invoke() override;
};
