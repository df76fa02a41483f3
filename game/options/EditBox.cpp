#include "game/options/EditBox.h"

#include <cmath>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"

namespace {
UString printableSet()
{
    UString set;
    set.push_back(u' ');
    for (char16_t c = u'!'; c <= u'}'; ++c) {
        // The apostrophe stands in the grave accent's place, so the set keeps its 94 units.
        set.push_back(c == u'`' ? u'\'' : c);
    }
    return set;
}
} // namespace

const UString EditBox::PRINTABLE = printableSet();

EditBox::EditBox(const V3& at, UString* bound, uint32_t maximum, const UString& itemCaption, const UString& itemHint)
    : MenuItem(at.x, at.y, at.z, itemCaption, itemHint), allowedCharacters(PRINTABLE),
      text(bound != nullptr ? *bound : UString()), maxLength(maximum), pBound(bound)
{
}

bool EditBox::typeCharacter(char16_t c)
{
    if (c == 8) {
        if (text.empty()) {
            return false;
        }
        text.pop_back();
        return true;
    }
    bool taken = false;
    if (c != 0) {
        if (text.size() < maxLength && allowedCharacters.find(c) != UString::npos) {
            text.push_back(c);
            taken = true;
        }
        onCharacterKey();
    }
    return taken;
}

void EditBox::tick(double tickTime, double dt)
{
    MenuItem::tick(tickTime, dt);
    if (bDisabled || !bHovered) {
        bCaretVisible = false;
        return;
    }
    const KivInput* input = Kiv::currentInput();
    if (input != nullptr) {
        typeCharacter(input->typedChar);
    }
    commit();
    bCaretVisible = static_cast<int64_t>(std::floor(tickTime * 8.0)) % 2 == 0;
}

void EditBox::commit()
{
    if (pBound != nullptr && pBound != &text) {
        *pBound = text;
    }
}

void EditBox::renderValue(float x, float y, float z)
{
    if (pFont == nullptr) {
        return;
    }
    const float fit = getFitScale(text);
    const float width = static_cast<float>(pFont->measureLine(text + u"_"));
    const float left = x - std::floor(width * scale.x * fit * 0.5f);
    printText(bCaretVisible ? text + u"_" : text, V3(left, y, z), 0x12, currentColor, fit);
}
