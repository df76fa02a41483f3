#include "game/world/PigBody.h"

#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/PropertyInt.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/Packet.h"
#include "engine/render/Skin.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass PigBody::classRecord(RuntimeClass::hashName(u"PigBody"), &A99Object::classRecord,
                                        &RuntimeClass::factoryOf<PigBody>);
const RuntimeClass RPC_PigBody_construct::classRecord(RuntimeClass::hashName(u"RPC_PigBody_construct"),
                                                      &RPC::classRecord,
                                                      &RuntimeClass::factoryOf<RPC_PigBody_construct>);

namespace {
// The blink: half closed, shut, half closed; then open for 2 to 5 s.
constexpr double BLINK_HALF = 0.04;
constexpr double BLINK_SHUT = 0.08;
constexpr double BLINK_MIN_GAP = 2.0;
constexpr double BLINK_GAP_SPREAD = 3.0;
// A piglet's hop while it walks, in units at the top of a step.
constexpr float PIGLET_HOP = 5.0f;
// Standing still this long (s) ends the walk cycle.
constexpr double WALK_PAUSE = 0.05;
// A piglet's box is the pig's at this size; its legs step as much shorter.
constexpr float PIGLET_SIZE = 0.625f;
// The sprites are drawn so the feet stand where the pig's round body touches the ground: the pig's feet lie
// 39 units below the centre of its box and its body's radius is 28; a piglet stands at the height of the
// pig's centre.
constexpr float PIG_SPRITE_LIFT = 39.0f - 28.0f;
constexpr float PIGLET_SPRITE_LIFT = PIGLET_SIZE * 39.0f - 28.0f;
// The piglets' sheet: a standing frame for each of the four piglet pictures, then their walk cycles.
constexpr int PIGLET_PICTURES = 4;

Skin* findSkin(ResourceManager& resources, const UString& name)
{
    return dynamic_cast<Skin*>(resources.find(name, false));
}

template <std::size_t N>
void findFrames(ResourceManager& resources, const char16_t* sheet, std::array<Skin*, N>& frames, int first = 0)
{
    for (std::size_t i = 0; i < N; ++i) {
        frames[i] = findSkin(resources, formatString(u"%s:%d", UString(sheet), first + static_cast<int>(i)));
    }
}
} // namespace

PigBody::PigBody() : PigBody(LevelAccess::PIG_LIST) {}

PigBody::PigBody(LevelAccess::ListId home) : A99Object(home) {}

void PigBody::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyInt(u"type", Property::FLAG_CONSTRUCTOR, &type));
}

void PigBody::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck(*this, run).range(u"type", type, TYPE_PIG, TYPE_LAST_PIGLET);
}

void PigBody::afterEdit()
{
    applyTypeSkin();
    A99Object::afterEdit();
}

void PigBody::construct(int32_t bodyType)
{
    RPC_PigBody_construct call(this, bodyType);
    RPC::send(call);
}

void PigBody::local_construct(int32_t bodyType)
{
    EditorObject::local_construct();
    type = bodyType;
    LevelDataCheck(*this).range(u"type", type, TYPE_PIG, TYPE_LAST_PIGLET);
    applyTypeSkin();
}

void PigBody::applyTypeSkin()
{
    ResourceManager* resources = ResourceManager::instance();
    if (resources == nullptr) {
        return;
    }
    const UString name = type == TYPE_PIG ? UString(u"pig-body:0") : formatString(u"piglets:%d", type - 2);
    if (auto* skin = dynamic_cast<Skin*>(resources->find(name, false))) {
        pSkin = skin;
        updateVisuals();
    }
    if (type == TYPE_PIG) {
        tail = findSkin(*resources, u"pig-tail:0");
        findFrames(*resources, u"pig-body", bodyFrames);
        findFrames(*resources, u"pig-eyes", eyeFrames);
        findFrames(*resources, u"pig-blink", lidFrames);
        findFrames(*resources, u"pig-mouth", mouthFrames);
    } else {
        findFrames(*resources, u"piglets", bodyFrames, PIGLET_PICTURES + WALK_FRAMES * (type - 2));
    }
    // Each character blinks on a clock of its own, so they do not blink together.
    blinkSeed = 0x9E3779B9u * static_cast<uint32_t>(type) + 12345u;
    blinkIn = 1.0 + 0.5 * type;
}

void PigBody::tick(double time, double dt)
{
    A99Object::tick(time, dt);
    animate(dt);
}

void PigBody::animate(double dt)
{
    const float moved = bHasLastX ? std::fabs(position.x - lastX) : 0.0f;
    lastX = position.x;
    bHasLastX = true;
    // A jump across the level (a respawn, a teleport) is not a walk. Frames come faster than the physics
    // steps, so a tick that did not move between ticks that did is still part of the walk.
    const bool stepped = moved > 0.01f && moved < 64.0f;
    stillFor = stepped ? 0.0 : stillFor + dt;
    const bool walking = standsOnGround() && moved < 64.0f && stillFor < WALK_PAUSE;
    const float frameDistance = WALK_FRAME_DISTANCE * (type == TYPE_PIG ? 1.0f : PIGLET_SIZE);
    if (walking) {
        walked = std::fmod(walked + moved, static_cast<double>(frameDistance * WALK_FRAMES));
    } else {
        walked = 0.0;
    }
    const double step = walked / frameDistance;
    look.walkFrame = static_cast<int>(step) % WALK_FRAMES;
    look.hop = walking ? PIGLET_HOP * static_cast<float>(std::fabs(std::sin(step * M_PI / 2.0))) : 0.0f;
    look.eyes = lookingUp() ? 3 : (walking ? 1 : 0);
    look.mouth = mouthNow();

    if (blinkAge >= 0.0) {
        blinkAge += dt;
        if (blinkAge >= 2.0 * BLINK_HALF + BLINK_SHUT) {
            blinkAge = -1.0;
            // The next gap from a small generator of its own: the level's random numbers stay untouched.
            blinkSeed = blinkSeed * 1664525u + 1013904223u;
            blinkIn = BLINK_MIN_GAP + BLINK_GAP_SPREAD * static_cast<double>(blinkSeed >> 8) / 16777216.0;
        }
    } else {
        blinkIn -= dt;
        if (blinkIn <= 0.0) {
            blinkAge = 0.0;
        }
    }
    if (eyesShut()) {
        look.lid = 2;
    } else if (blinkAge < 0.0) {
        look.lid = 0;
    } else {
        look.lid = blinkAge < BLINK_HALF || blinkAge >= BLINK_HALF + BLINK_SHUT ? 1 : 2;
    }
}

Skin* PigBody::drawnBody() const
{
    Skin* frame = bodyFrames[static_cast<std::size_t>(look.walkFrame)];
    return frame != nullptr ? frame : pSkin;
}

float PigBody::spriteLift() const
{
    return (type == TYPE_PIG ? PIG_SPRITE_LIFT : PIGLET_SPRITE_LIFT + look.hop) * std::fabs(scale.y);
}

V3 PigBody::drawnCentre() const { return position + V3(0.0f, spriteLift(), 0.0f); }

float PigBody::pictureHalfWidth() const
{
    const Skin* picture = drawnBody();
    const float width = picture != nullptr ? picture->width : PIG_BOX_WIDTH * (type == TYPE_PIG ? 1.0f : PIGLET_SIZE);
    return 0.5f * width * std::fabs(scale.x);
}

void PigBody::drawObject()
{
    const Matrix4 standing = world;
    world.m[3][1] += spriteLift();
    if (bHidden || pSkin == nullptr) {
        A99Object::drawObject();
        world = standing;
        return;
    }
    // Every layer shares the body's box, origin and transform; the flip comes with the negative x scale. A
    // piglet's walk frames are whole pictures, face and tail included.
    Skin* const normal = pSkin;
    pSkin = drawnBody();
    bVisible = isInView();
    const bool layered = bVisible && type == TYPE_PIG;
    if (layered && tail != nullptr) {
        tail->draw(*this);
    }
    A99Object::drawObject();
    if (layered) {
        Skin* eye = look.lid == 2 ? nullptr : eyeFrames[static_cast<std::size_t>(look.eyes)];
        Skin* lid = look.lid > 0 ? lidFrames[static_cast<std::size_t>(look.lid - 1)] : nullptr;
        Skin* mouth = mouthFrames[static_cast<std::size_t>(look.mouth)];
        for (Skin* layer : {eye, lid, mouth}) {
            if (layer != nullptr) {
                layer->draw(*this);
            }
        }
    }
    pSkin = normal;
    world = standing;
}

RPC_PigBody_construct::RPC_PigBody_construct(KivBase* target, int32_t bodyType) : RPC(target), bodyType(bodyType)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_PigBody_construct::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doVarInt(bodyType);
}

void RPC_PigBody_construct::addPropertiesTo(Property& list) { list.appendChild(new PropertyInt(u"", 0, &bodyType)); }

void RPC_PigBody_construct::invoke()
{
    if (target != nullptr) {
        static_cast<PigBody*>(target)->local_construct(bodyType);
    }
}
