#pragma once
// The pig characters: type 1 is the pig, types 2 to 4 the three piglets; the type chooses the sprites.
// Built by the replicated construct call with the type. The pig is drawn in layers from its sheets, all in
// one box: tail, body (a four-frame walk cycle), eye, lid and mouth; a piglet is one sprite from a
// four-frame walk cycle of its own that hops as it walks. What the drawing shows is worked out from the
// motion and a blink clock of its own and never feeds back into play, a saved level or a peer.
#include <array>

#include "game/world/A99Object.h"

class Skin;

class PigBody : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr int32_t TYPE_PIG = 1;
    static constexpr int32_t TYPE_LAST_PIGLET = 4;
    // The width of the box the pig's pictures are drawn in, in units.
    static constexpr float PIG_BOX_WIDTH = 128.0f;

    PigBody();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void afterEdit() override;

    void construct(int32_t bodyType);
    virtual void local_construct(int32_t bodyType);

    void tick(double time, double dt) override;
    void drawObject() override;

    // Units walked per frame of the walk cycle.
    static constexpr float WALK_FRAME_DISTANCE = 22.0f;
    static constexpr int WALK_FRAMES = 4;

    // What is drawn now (frames of the pig's sheets; the hop lifts a piglet's sprite).
    struct Look {
        int walkFrame = 0;
        int eyes = 0;  // 0 ahead, 1 forward, 2 back, 3 up
        int lid = 0;   // 0 open, 1 half closed, 2 shut
        int mouth = 0; // 0 closed, 1 wide open, 2 half open
        float hop = 0.0f;
    };
    const Look& getLook() const { return look; }
    // The body sprite drawn now: the frame of the walk cycle, else the type's sprite.
    Skin* drawnBody() const;
    // The middle of the box as drawn: the sprites stand lifted above the body's centre (a piglet's by its
    // hop too).
    V3 drawnCentre() const;
    // Half the width of the box its picture is drawn in.
    float pictureHalfWidth() const;

    int32_t type = TYPE_PIG;

protected:
    explicit PigBody(LevelAccess::ListId home);
    // The sprite of the type.
    void applyTypeSkin();
    // Whether it stands on the ground (the walk cycle runs only there), whether its eyes are shut and how
    // its mouth looks; the pig answers from its movement.
    virtual bool standsOnGround() const { return true; }
    virtual bool eyesShut() const { return false; }
    virtual int mouthNow() const { return 0; }
    virtual bool lookingUp() const { return false; }

private:
    // How far the sprites are lifted above the body's centre, in units.
    float spriteLift() const;
    // Advances the walk cycle by the distance walked since the last tick and runs the blink clock.
    void animate(double dt);

    Look look;
    double walked = 0.0;
    double stillFor = 1.0; // seconds since it last moved
    float lastX = 0.0f;
    bool bHasLastX = false;
    double blinkIn = 0.0;
    double blinkAge = -1.0; // seconds into the running blink, negative while the eye is open
    uint32_t blinkSeed = 0;
    // The body's walk frames (the pig's or the piglet's); the pig's other layers: tail, eye looks, lids and
    // mouths (missing sheets are skipped).
    Skin* tail = nullptr;
    std::array<Skin*, WALK_FRAMES> bodyFrames{};
    std::array<Skin*, 4> eyeFrames{};
    std::array<Skin*, 2> lidFrames{};
    std::array<Skin*, 3> mouthFrames{};
};

class RPC_PigBody_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_PigBody_construct(KivBase* target = nullptr, int32_t bodyType = PigBody::TYPE_PIG);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &PigBody::classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    int32_t bodyType;
};
