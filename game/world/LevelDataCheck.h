#pragma once
// Checks the values a level file (or the editor) gives an object. Counts and numbers out of their range,
// references to an object of the wrong class and texts that are too long are clamped, with one "Warning:"
// line per change. Coordinates, speeds, scales and angles are what the physics world is given (positions,
// hull points, velocities, the sizes of bodies and their turn): where the level comes from outside (the
// current role reads untrusted: a level the user saved, a value typed in the editor) one out of its range
// refuses the level through a PacketDecodeError that names the object, the property and the value; in the
// game's own levels it is clamped with a warning like the rest.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"
#include "engine/net/Packet.h"

class LevelDataCheck {
public:
    // The limits of what the physics world is given, in world units (64 a metre). A coordinate reaches
    // about 1.6 km from the origin: the game's levels stay within 16,000 units, and a hull point placed
    // relative to an object at the limit, or a body as large as the largest picture at MAX_SCALE, stays
    // within a few kilometres, where the physics' single precision is still far finer than its tolerances
    // (it overflows on squared lengths beyond about 1e21 units).
    static constexpr float MAX_COORDINATE = 1.0e5f;
    // Units a second: above the 120 m/s that the physics lets a body move in one step.
    static constexpr float MAX_SPEED = 1.0e4f;
    static constexpr float MAX_SCALE = 100.0f;
    static constexpr float MAX_ANGLE = 1000.0f; // radians

    // A level refused for one value: the message names the object too, `value` only the property and why
    // ("'point.x' 2.49e+22 is out of range -100000 to 100000"), for where the object is known.
    class Refused : public PacketDecodeError {
    public:
        Refused(UString message, UString value) : PacketDecodeError(std::move(message)), value(std::move(value)) {}
        UString value;
    };

    // The range a check holds one value to, and (as a query notes it) the name the check gives the value.
    struct Range {
        UString name;
        double lo = 0.0;
        double hi = 0.0;
        bool whole = false; // a whole number
        // "-10000 to 10000"
        UString text() const;
        // "1e+39 is out of range -10000 to 10000"
        UString outOfRange(double value) const;
    };

    // While one lives, the checks know which value was typed into the editor (by its address): a refusal that
    // weighs two values against each other names the typed one. Given a query, the checks instead only note
    // there the range they hold the typed value to, and check, change and refuse nothing.
    class TypedValue {
    public:
        explicit TypedValue(const void* address, std::optional<Range>* query = nullptr);
        ~TypedValue();
        TypedValue(const TypedValue&) = delete;
        TypedValue& operator=(const TypedValue&) = delete;

    private:
        friend class LevelDataCheck;
        static const TypedValue* current;
        const void* const address;
        std::optional<Range>* const query;
        const TypedValue* const outer;
    };

    explicit LevelDataCheck(const KivBase& object);

    // Refused from outside, else a non-finite one becomes 0 and a huge one is clamped to +-MAX_COORDINATE.
    bool coordinate(UStringView name, float& value);
    // A velocity component: refused from outside, else 0 when not finite, clamped to +-MAX_SPEED.
    bool speed(UStringView name, float& value);
    // A scale: refused from outside, else non-finite becomes 1, the rest is clamped to +-MAX_SCALE.
    bool scale(UStringView name, float& value);
    // An angle in radians: refused from outside, else non-finite becomes 0, huge ones are clamped.
    bool angle(UStringView name, float& value);
    // A value that stands for a place or a distance (the editor's camera): refused from outside, else
    // non-finite becomes `fallback` and the rest is clamped to [lo, hi], with a warning.
    bool within(UStringView name, float& value, float lo, float hi, float fallback);
    // Whether the value lies above `lower` (the other edge of an area); refused from outside, else false for
    // the caller to mend. The refusal names `lower` when it is the value typed into the editor.
    bool above(UStringView name, const float& value, UStringView lowerName, const float& lower);
    // A size: non-finite becomes `fallback`, the rest is clamped to [lo, hi].
    bool size(UStringView name, float& value, float lo, float hi, float fallback);
    bool range(UStringView name, int32_t& value, int32_t lo, int32_t hi);
    // A time in seconds from 0 to `max`: refused from outside, else one out of it or not a number becomes
    // `fallback`, with a warning.
    bool seconds(UStringView name, double& value, double max, double fallback);
    // A whole number that decides how far what the physics world is given reaches (a terrain's segment
    // width): refused from outside, else clamped to [lo, hi] like range.
    bool reach(UStringView name, int32_t& value, int32_t lo, int32_t hi);
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
    // Refuses the level for a value the physics world cannot be given (a Refused).
    [[noreturn]] void refuse(UStringView name, UStringView what) const;

    int changes = 0;

private:
    // Under a query, notes `limits` when `value` is the typed one; true then, for the check to do nothing.
    bool noted(const void* value, UStringView name, const Range& limits) const;
    bool querying() const { return typed != nullptr && typed->query != nullptr; }

    const KivBase& object;
    const bool refusing; // the level comes from outside
    const TypedValue* const typed;
};
