#pragma once
// Object classes for the stream tests: one with every property kind the others lack (secure integers,
// enumerations of several widths, resource pointers, arrays of values and of records, sub-objects held by
// value, filled by the owner and held through a pointer), and a world of them with fixed UIDs.
#include <memory>
#include <vector>

#include "NetTestObjects.h"
#include "engine/core/PropertySecureInt.h"
#include "engine/core/SecureInt.h"
#include "engine/files/ResourceManager.h"

// A part held by value or through a pointer and listed as a sub-object.
class KindsPart : public KivBase {
public:
    void addPropertiesTo(Property& list) override
    {
        list.appendChild(new PropertyInt(u"size", 0, &size));
        list.appendChild(new PropertyBool(u"open", 0, &open));
    }
    int32_t size = 0;
    bool open = false;
};

// A plain record: an element of an array, listed by the array's element maker.
struct KindsSlot {
    int32_t id = 0;
    float weight = 0.0f;
    bool on = false;
    UString label;
};

// A plain rectangle, listed by its owner as a sub-object of four floats.
struct KindsArea {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

class KindsThing : public KivBase {
public:
    static const RuntimeClass classRecord;
    enum class Size : int16_t { SMALL, MEDIUM, LARGE };

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;

    SecureInt score;
    uint8_t season = 0;
    Size size = Size::SMALL;
    KivBase* sprite = nullptr;
    std::vector<float> heights;
    std::vector<KindsSlot> slots;
    KindsPart lid;
    KindsArea area;
    std::unique_ptr<KindsPart> spare = std::make_unique<KindsPart>();
    UString note;
    double when = 0.0;
    bool last = false;
    KindsThing* partner = nullptr;
    Reference watched{this};
    uint32_t tint = 0;
    UColor colour;
};

// The world the stored streams were written from: a server with a fixed UID counter, the things of the
// network tests and two KindsThings (one full of values, one at the edges of its kinds). The resources
// named in it live in `resources`.
struct StreamWorld {
    StreamWorld();
    ~StreamWorld();

    std::unique_ptr<TestServer> server;
    std::unique_ptr<ResourceManager> resources;
    KivBase apple;
    KivBase pear;
    std::vector<KivBase*> objects; // every object of the world, the root first
};
