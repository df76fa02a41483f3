#pragma once
// The apple: a circle of 0.35 m that rolls and bounces ("appleBounce"). A super apple is 1.5 times the
// size and 3 times the mass and shakes the camera when it lands hard ("appleBig"). In a basket it sits in a
// slot without a body. In danger or below the playing area it is lost: counted, hidden, and an apple ghost
// rises from where it went.
#include "game/world/A99Object.h"

class Basket;

class Apple : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr float RADIUS = 0.35f * PhysicsWorld::UNITS_PER_METRE;
    static constexpr float BOUNCE_SPEED = 1.5f;  // m/s of impact that is heard
    static constexpr float HARD_LANDING = 5.0f;  // m/s of impact that shakes the camera (super apple)

    Apple();
    ~Apple() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void afterEdit() override;
    void drawObject() override;

    void makeBody(PhysicsWorld& world) override;
    bool startsWithVelocity() const override { return true; }
    void onContact(A99Object& other, const PhysicsWorld::Contact& contact, bool first) override;

    float getRadius() const { return bSuperApple ? RADIUS * 1.5f : RADIUS; }
    void enterBasket(Basket* basket, int32_t slot);
    // Out of its basket again at its current place (the basket went away).
    void leaveBasket();
    // Lost to danger of the given kind (DangerArea kinds; -1 for the floor).
    void lose(int32_t kind);

    bool bSuperApple = false;
    Basket* pBasket = nullptr;
    int32_t basketSlot = -1;
    bool bLost = false;
};
