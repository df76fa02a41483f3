#include "game/online/CountryListItem.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/Format.h"
#include "engine//input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuSupport.h"

namespace {
const std::array<CountryListItem::Country, CountryListItem::NUMCOUNTRIES> gCountries = {{
#include "game/online/CountryRows.inc"
}};
} // namespace

const std::array<CountryListItem::Country, CountryListItem::NUMCOUNTRIES>& CountryListItem::countries()
{
    return gCountries;
}

const std::array<int, CountryListItem::NUMCOUNTRIES>& CountryListItem::sortedOrder()
{
    static const std::array<int, NUMCOUNTRIES> order = [] {
        std::array<int, NUMCOUNTRIES> o{};
        for (int i = 0; i < NUMCOUNTRIES; ++i) {
            o[static_cast<std::size_t>(i)] = i;
        }
        std::sort(o.begin() + 1, o.end(), [](int a, int b) {
            return UStringView(gCountries[static_cast<std::size_t>(a)].code) <
                   UStringView(gCountries[static_cast<std::size_t>(b)].code);
        });
        return o;
    }();
    return order;
}

V3 CountryListItem::locationOf(float latitude, float longitude)
{
    const float phi = latitude / 90.0f * 1.5707964f;
    const float lambda = longitude / 180.0f * 3.1415927f;
    return V3(std::cos(phi) * std::sin(lambda), std::sin(phi), -std::cos(phi) * std::cos(lambda));
}

int CountryListItem::entryAt(int position)
{
    if (position < 0 || position >= NUMCOUNTRIES) {
        return 0;
    }
    return sortedOrder()[static_cast<std::size_t>(position)];
}

UString CountryListItem::displayText(int entry)
{
    return formatString(u"%s (%s)", MenuSupport::text(STR_COUNTRYNONE + entry),
                        UString(gCountries[static_cast<std::size_t>(entry)].code));
}

int CountryListItem::jumpFrom(int position, char16_t typed)
{
    if (position < 0 || position >= NUMCOUNTRIES) {
        position = 0;
    }
    for (int p = (position + 1) % NUMCOUNTRIES; p != position; p = (p + 1) % NUMCOUNTRIES) {
        const char16_t first = gCountries[static_cast<std::size_t>(entryAt(p))].code[0];
        const char16_t lower = (first >= u'A' && first <= u'Z') ? static_cast<char16_t>(first - u'A' + u'a') : first;
        if (lower == typed) {
            return p;
        }
    }
    return position;
}

CountryListItem::CountryListItem(float x, float y, float z, int32_t* value, const UString& caption, const UString& hint)
    : MenuValueItem(x, y, z, value, 0, NUMCOUNTRIES - 1, 1, caption, hint)
{
    setWidth(512);
}

int32_t CountryListItem::shownValue() const
{
    return *pValue >= 0 && *pValue < NUMCOUNTRIES ? *pValue : 0;
}

void CountryListItem::tick(double time, double dt)
{
    MenuValueItem::tick(time, dt);
    const Kiv* engine = Kiv::instance();
    const char16_t typed = engine != nullptr && engine->input != nullptr ? engine->input->typedChar : 0;
    if (bHovered && typed != 0) {
        *pValue = jumpFrom(shownValue(), typed);
        bClicked = true;
    }
    Global* global = Global::instance();
    if (bClicked && global != nullptr) {
        const Country& country = gCountries[static_cast<std::size_t>(entryAt(shownValue()))];
        global->config.countryCode[0] = static_cast<char>(country.code[0]);
        global->config.countryCode[1] = static_cast<char>(country.code[1]);
        global->config.location = locationOf(country.latitude, country.longitude);
    }
}

void CountryListItem::renderValue(float x, float y, float z)
{
    // Where and how the base item draws its number, shrunk as it does to fit between the arrows.
    const UString shown = displayText(entryAt(shownValue()));
    printText(shown, V3(x, y, z), 0x14, currentColor, getFitScale(shown));
}
