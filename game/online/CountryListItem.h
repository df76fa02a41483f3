#pragma once
// The country choice of the network configuration page: a value item over the 241 entries of the country
// list ("not specified" and 240 countries) in the order of their codes. It shows the country's name and
// code, jumps to the next country whose code starts with a typed letter, and writes the chosen code and
// the country's place on the globe into the game configuration.
#include <array>

#include "engine/core/V3.h"
#include "game/menus/MenuValueItem.h"

class CountryListItem : public MenuValueItem {
public:
    static constexpr int NUMCOUNTRIES = 241;

    struct Country {
        const char16_t* code;
        float latitude;  // degrees, north positive
        float longitude; // degrees, east positive
    };
    // The fixed list; entry 0 is "--", not specified.
    static const std::array<Country, NUMCOUNTRIES>& countries();
    // Entry numbers by position: position 0 holds entry 0, the rest follow their codes in order.
    static const std::array<int, NUMCOUNTRIES>& sortedOrder();
    // The unit vector of a place on the globe.
    static V3 locationOf(float latitude, float longitude);
    // The entry at a position; a position outside the list (a damaged file) counts as "not specified".
    static int entryAt(int position);
    // "%s (%s)": the country's name in the current language and its code.
    static UString displayText(int entry);

    CountryListItem(float x, float y, float z, int32_t* value, const UString& caption, const UString& hint);

    void tick(double time, double dt) override;
    void renderValue(float x, float y, float z) override;
    // A stored position outside the list (a damaged file) shows as entry 0, "not specified".
    int32_t shownValue() const override;

    // The typed character's jump from the current position (the position itself when nothing matches).
    static int jumpFrom(int position, char16_t typed);
};
