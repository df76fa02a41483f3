#pragma once
// Checks the values a level file (or the editor) gives an object and clamps the ones it cannot use, logging
// one "Warning:" line per change: non-finite or huge coordinates and sizes, counts and numbers out of their
// range, references to an object of the wrong class, texts that are too long.
#include <cstddef>
#include <cstdint>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"

class LevelDataCheck {
public:
    // Coordinates beyond this many units are outside any level.
    static constexpr float MAX_COORDINATE = 1.0e6f;
    static constexpr float MAX_SCALE = 1000.0f;
    static constexpr float MAX_ANGLE = 1000.0f;

    explicit LevelDataCheck(const KivBase& object) : object(object) {}

    // A non-finite coordinate becomes 0; a huge one is clamped to +-MAX_COORDINATE.
    bool coordinate(UStringView name, float& value);
    // A size: non-finite becomes `fallback`, the rest is clamped to [lo, hi].
    bool size(UStringView name, float& value, float lo, float hi, float fallback);
    // A scale: non-finite becomes 1, the rest is clamped to +-MAX_SCALE.
    bool scale(UStringView name, float& value);
    // An angle in radians: non-finite becomes 0, huge ones are clamped.
    bool angle(UStringView name, float& value);
    bool range(UStringView name, int32_t& value, int32_t lo, int32_t hi);
    // A reference that names an object of another class is emptied.
    bool objectOfClass(UStringView name, KivBase*& pointer, const RuntimeClass* required);
    // The member is read as a plain object pointer: it may hold an object of another class.
    template <class T>
    bool reference(UStringView name, T*& pointer, const RuntimeClass* required)
    {
        KivBase* p = *reinterpret_cast<KivBase**>(&pointer);
        const bool changed = objectOfClass(name, p, required);
        if (changed) {
            pointer = nullptr;
        }
        return changed;
    }
    // A text longer than `maxBytes` in UTF-8 is cut to whole characters within it.
    bool text(UStringView name, UString& value, std::size_t maxBytes);

    // Writes one warning about this object.
    void warn(UStringView name, UStringView what) const;

    int changes = 0;

private:
    const KivBase& object;
};
