#include "game/menus/ContextEnterName.h"

#include <cmath>

#include "engine/core/Format.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontGDI.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/KeyboardKeyButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuPanel.h"
#include "game/menus/MenuSupport.h"

namespace {
KivInput* engineInput() { return Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr; }
} // namespace

ContextEnterName::ContextEnterName(bool mayCancel) : nameFont(std::make_unique<FontGDI>(u"Arial", 26))
{
    bEscapeCloses = mayCancel;
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro; // the panel stands on the picture, not on black
    }
    MenuSupport::playSound(u"pop");
    buildKeyboard();
}

ContextEnterName::~ContextEnterName() = default;

int ContextEnterName::countKeys() const
{
    int keys = 0;
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        if (dynamic_cast<KeyboardKeyButton*>(child) != nullptr && !child->bDeleted) {
            ++keys;
        }
    }
    return keys;
}

void ContextEnterName::buildKeyboard()
{
    bRebuildPending = false;
    destroyAllChildren();
    clearNavigationEntries();
    pOkButton = nullptr;
    pNameSprite = nullptr;

    const KivInput* input = engineInput();
    const bool touch = input != nullptr && input->getInputMode() == KivInput::INPUT_TOUCH;
    const UString title = MenuSupport::text(STR_ENTERYOURNAME);
    appendChild(new MenuPanel(0.0f, 0.0f, 0.0f, 640.0f, touch ? 400.0f : 256.0f, true, title));

    pNameSprite = new TextSprite(0.0f, touch ? 150.0f : 50.0f, 0.0f, UString(),
                                 MenuSupport::font(MenuSupport::FONT_MEDIUM_OUTLINE), UColor(0xFFFFFFFFu));
    pNameSprite->bShadow = false;
    pNameSprite->bHidden = true; // drawn by renderContents with the name font
    appendChild(pNameSprite);

    pOkButton = new MenuButton(0.0f, touch ? -150.0f : -80.0f, 0.0f, MenuSupport::text(STR_OK), UString());
    pOkButton->setWidth(160);
    addItem(pOkButton);
    if (!touch) {
        return;
    }
    auto addKey = [&](const V3& at, char16_t character, const UString& keyCaption) {
        auto* key = new KeyboardKeyButton(at, &pendingCharacter, character, keyCaption, UString());
        key->setWidth(72);
        addItem(key);
    };
    for (int k = 0; k < 26; ++k) {
        const int row = k / 7;
        const int column = k % 7 - 3;
        const auto letter = static_cast<char16_t>(0x61 + k);
        addKey(V3(74.0f * static_cast<float>(column), 50.0f - 50.0f * static_cast<float>(row), 0.0f), letter,
               formatString(u"%c", letter));
    }
    addKey(V3(148.0f, -100.0f, 0.0f), u' ', u" ");
    addKey(V3(222.0f, -100.0f, 0.0f), u'\b', u"\u0003");
}

void ContextEnterName::onInputModeChange()
{
    ContextMenu::onInputModeChange();
    // Input-mode changes can arrive from inside a key's own handler or the navigation: the layout is
    // rebuilt after that, never while its children are being walked.
    bRebuildPending = true;
}

void ContextEnterName::tickContents(double tickTime, double dt)
{
    if (bRebuildPending) {
        buildKeyboard();
    }
    pendingCharacter = 0;
    ContextMenu::tickContents(tickTime, dt);
    if (bRebuildPending) {
        buildKeyboard();
    }

    const KivInput* input = engineInput();
    const char16_t c = pendingCharacter != 0 ? pendingCharacter : (input != nullptr ? input->typedChar : u'\0');
    if (c == 8) {
        if (!name.empty()) {
            MenuSupport::playSoundPitched(u"typewriter", 0.5f);
            name.pop_back();
        }
    } else if (c >= 0x20 && name.size() < MAXNAMELENGTH) {
        MenuSupport::playSound(u"typewriter");
        name.push_back(c);
    }

    const bool caretVisible = static_cast<int64_t>(std::floor(time * 8.0)) % 2 == 0;
    pNameSprite->text = name;
    const float fullWidth = static_cast<float>(nameFont->measureLine(name));
    pNameSprite->scale = V3(fullWidth > 600.0f ? 600.0f / fullWidth : 1.0f, 1.0f, 1.0f);
    pNameSprite->flags = 0x202;
    const float width = static_cast<float>(nameFont->measureLine(name + u"_"));
    pNameSprite->position.x = -(pNameSprite->scale.x * width * 0.5f);
    pNameSprite->updateVisuals();
    if (caretVisible) {
        pNameSprite->text += u"_";
    }

    UString trimmed = name;
    trimString(trimmed);
    pOkButton->bDisabled = trimmed.empty();
    // The click is read whether or not OK is enabled, so a disabled OK leaves nothing pending.
    const bool okClicked = pOkButton->takeClick();
    if (!pOkButton->bDisabled && (okClicked || c == 13)) {
        if (Global* global = Global::instance()) {
            global->profiles.addProfile(trimmed);
            global->config.bTutorial = 1;
        }
        bClosed = true;
    }
}

void ContextEnterName::renderContents()
{
    Context::renderContents();
    if (pNameSprite == nullptr || pNameSprite->text.empty()) {
        return;
    }
    const float* world = pNameSprite->world.data();
    static constexpr float outline[4][2] = {{-1.5f, 0.0f}, {1.5f, 0.0f}, {0.0f, -1.5f}, {0.0f, 1.5f}};
    for (const auto& offset : outline) {
        nameFont->drawText(world, 0xFF203850u, 0x202, pNameSprite->text, offset[0], offset[1]);
    }
    nameFont->drawText(world, pNameSprite->color.argb, 0x202, pNameSprite->text);
}
