#pragma once
// Checks the values a level file (or the editor) gives an object. Counts and numbers out of their range,
// references to an object of the wrong class and texts that are too long are clamped, with one "Warning:"
// line per change. Coordinates, speeds, scales and angles are what the physics world is given (positions,
// hull points, velocities, the sizes of bodies and their turn): where the level comes from outside (a level
// the user saved, read while the current role reads untrusted, or a value typed into the editor) one out of
// its range refuses the level through a PacketDecodeError that names the object, the property and the value;
// in the game's own levels it is clamped with a warning like the rest. Whoever runs an object's check says
// what for (Run); the editor also asks it the range it holds a value to.
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

    // The range a check holds one value to, and the name the check gives the value.
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

    // What a check runs for, given by whoever runs it: the values of a level as they arrive (the default), a
    // value typed into the editor, or the editor's question of the range one value is held to.
    class Run {
    public:
        Run() = default;
        // The values with `value` just typed into the editor, checked as a level's from outside: refused
        // rather than clamped. A refusal that weighs two values against each other names the typed one, and a
        // value that only the level's start mends (startRange) is refused when it is the typed one.
        static Run typed(const void* value);
        // The question of the range the check holds `value` to: a check of that value answers it into
        // `answer`; no check checks, changes, refuses or warns.
        static Run rangeOf(const void* value, std::optional<Range>& answer);

    private:
        friend class LevelDataCheck;
        const void* value = nullptr; // the value typed or asked about
        std::optional<Range>* answer = nullptr; // set for the question
    };

    // An object whose values a check holds to their ranges; the editor runs it for a value typed into it.
    class Checked {
    public:
        virtual void checkValues(const Run& run) = 0;

    protected:
        ~Checked() = default;
    };

    // A check of a level's values as they arrive.
    explicit LevelDataCheck(const KivBase& object);
    LevelDataCheck(const KivBase& object, const Run& run);

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
    // the caller to mend. The refusal names `lower` when it is the value typed into the editor. Asked for a
    // range, true: the two edges have none of their own.
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
    // A value that the level's start holds to [lo, hi] itself, mending one out of it with a warning: here
    // only one typed into the editor is refused; a level's own is left as it is for its start (false).
    bool startRange(UStringView name, const float& value, float lo, float hi);
    bool startRange(UStringView name, const int32_t& value, int32_t lo, int32_t hi);
    // At the level's start: a value out of [lo, hi] is clamped, one that is not a number becomes lo, with a
    // warning.
    bool clampAtStart(UStringView name, float& value, float lo, float hi);
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

    // Whether the run is for this value: the one typed into the editor, or the one whose range is asked.
    bool isFor(const void* value) const { return value == run.value; }

    // Writes one warning about this object (none while a range is asked).
    void warn(UStringView name, UStringView what) const;
    // Refuses the level for a value the physics world cannot be given (a Refused).
    [[noreturn]] void refuse(UStringView name, UStringView what) const;

    int changes = 0;

private:
    // The question of a range is being answered: nothing is checked.
    bool asking() const { return run.answer != nullptr; }
    // Answers the question with `limits`, named `name`, when `value` is the value asked about and no check of
    // it answered before.
    void answer(const void* value, UStringView name, Range limits) const;
    bool isTyped(const void* value) const { return run.value == value && !asking(); }
    // A whole number's range.
    static Range wholeRange(int32_t lo, int32_t hi);

    const KivBase& object;
    const Run run;
    const bool refusing; // a value typed into the editor, or a level from outside
};
