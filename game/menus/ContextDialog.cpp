#include "game/menus/ContextDialog.h"

#include <algorithm>
#include <cmath>

#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "engine/text/TextSprite.h"
#include "game/language/Language.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuPanel.h"
#include "game/menus/MenuSupport.h"

ContextDialog::ContextDialog() : firstCaption(MenuSupport::text(STR_OK)), answerOwner(this)
{
    bDeleteWhenClosed = true;
}

ContextDialog::~ContextDialog() = default;

void ContextDialog::setAnswer(int32_t* answer, KivBase* owner)
{
    pAnswer = answer;
    answerOwner.set(owner);
    bHasAnswerOwner = owner != nullptr;
}

void ContextDialog::answerWith(int32_t value)
{
    if (pAnswer != nullptr && (!bHasAnswerOwner || answerOwner.get() != nullptr)) {
        *pAnswer = value;
    }
}

void ContextDialog::buildContents()
{
    answerWith(-1);
    FontQuad* textFont = MenuSupport::font(MenuSupport::FONT_MEDIUM);
    FontQuad* titleFont = MenuSupport::font(MenuSupport::FONT_LARGE);
    const int textLine = textFont != nullptr ? textFont->getLineHeight() : 20;
    const int titleLine = titleFont != nullptr ? titleFont->getLineHeight() : 30;
    const float g = std::trunc(static_cast<float>(textLine) * 1.25f);

    TextBlock block(text, textFont, 0.75f * static_cast<float>(screenWidth()), g);

    float w = 192.0f, h = 0.0f;
    if (!title.empty()) {
        const float titleWidth = titleFont != nullptr ? static_cast<float>(titleFont->measureLine(title)) : 0.0f;
        // A title wider than the screen allows is drawn narrower (below) rather than off the screen.
        w = std::max(w, std::min(titleWidth, static_cast<float>(screenWidth()) - 140.0f));
        h = static_cast<float>(titleLine) + g;
    }
    w = std::max(w, block.width);
    h += block.height;
    const int buttons = (firstCaption.empty() ? 0 : 1) + (secondCaption.empty() ? 0 : 1);
    if (buttons > 0) {
        h += g + 50.0f;
        w = std::max(w, 330.0f);
    }
    if (buttons <= 1) {
        bWaitForContinue = true;
    }
    w = std::max(w, h);
    contentWidth = w;
    contentHeight = h;
    float y = h / 2.0f;
    const V3& at = dialogPosition;

    appendChild(new MenuPanel(at.x, at.y, at.z, w + 100.0f, h + 100.0f, true, UString()));

    if (!title.empty()) {
        auto* sprite = new TextSprite(at.x, at.y + y, at.z, title, titleFont, UColor(0xFFFFFFFFu));
        sprite->bShadow = false;
        sprite->fitToWidth(std::min(w, static_cast<float>(screenWidth()) - 140.0f));
        appendChild(sprite);
        y = y - static_cast<float>(titleLine) - g;
    }
    for (int i = 0; i < block.getLineCount(); ++i) {
        const TextLine* line = block.getLine(i);
        float x = std::trunc(-line->width / 2.0f);
        for (const TextLine::Run& run : line->runs) {
            if (!run.text.empty()) {
                const UColor color(run.color == TextLine::DEFAULT_COLOR ? 0x80000000u : run.color);
                auto* sprite = new TextSprite(at.x + x, at.y + y, at.z, run.text, textFont, color);
                sprite->flags = 3;
                sprite->bShadow = false;
                appendChild(sprite);
            }
            x = std::trunc(x + run.width);
        }
        y -= g;
    }
    if (buttons > 0) {
        y -= g;
        ContextMenu* owner = navigationOwner != nullptr ? navigationOwner : this;
        if (!firstCaption.empty()) {
            const float x = buttons == 1 ? 0.0f : -85.0f;
            pFirstButton = new MenuButton(at.x + x, at.y + y - 25.0f, at.z, firstCaption, UString());
            pFirstButton->setWidth(160);
            appendChild(pFirstButton);
            owner->addNavigationEntry(pFirstButton);
        }
        if (!secondCaption.empty()) {
            pSecondButton = new MenuButton(at.x + 85.0f, at.y + y - 25.0f, at.z, secondCaption, UString());
            pSecondButton->setWidth(160);
            appendChild(pSecondButton);
            owner->addNavigationEntry(pSecondButton);
        }
    }
}

void ContextDialog::onActivate(bool firstActivation)
{
    ContextMenu::onActivate(firstActivation);
    MenuSupport::playSoundPitched(u"pop", 1.0f);
}

void ContextDialog::tickContents(double tickTime, double dt)
{
    ContextMenu::tickContents(tickTime, dt);
    if (pFirstButton != nullptr && pFirstButton->takeClick()) {
        answerWith(0);
        bClosed = true;
    }
    if (pSecondButton != nullptr && pSecondButton->takeClick()) {
        answerWith(1);
        bClosed = true;
    }
}

void ContextDialog::renderContents()
{
    if (clearColor.argb == 0) {
        if (auto* below = dynamic_cast<Context*>(getPrev())) {
            below->renderEntry();
        }
    }
    ContextMenu::renderContents();
}
