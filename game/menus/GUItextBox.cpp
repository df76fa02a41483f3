#include "game/menus/GUItextBox.h"

#include <algorithm>
#include <cmath>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/text/FontQuad.h"
#include "game/menus/GUItheme.h"

GUItextBox::GUItextBox(GUItheme* theme) : GUIitem(theme, 7)
{
    captionLocation = CAPTION_INSIDE_LEFT;
    setSize(100, theme != nullptr ? theme->rowHeight : 0);
}

void GUItextBox::commit()
{
    bEditing = false;
    if (pBound != nullptr && pBound != &text) {
        *pBound = text;
    }
    KivEvent event;
    event.type = EVENT_EDITED;
    event.source = this;
    event.target = this;
    const Kiv* engine = Kiv::instance();
    event.dispatcher = engine != nullptr ? engine->pointerDispatcher : nullptr;
    KivBase::sendEvent(event);
}

void GUItextBox::tick(double time, double dt)
{
    GUIitem::tick(time, dt);
    if (!bEditing && pBound != nullptr && pBound != &text) {
        text = *pBound;
    }
    cursor = std::clamp(cursor, 0, static_cast<int32_t>(text.size()));
    const Kiv* engine = Kiv::instance();
    const bool focused = engine != nullptr && engine->pointerDispatcher != nullptr &&
                         engine->pointerDispatcher->getHovered() == this;
    if (!focused) {
        caption = text;
        return;
    }
    const char16_t caret = static_cast<int64_t>(std::trunc(time * 8.0)) % 2 == 0 ? u'\u0001' : u'\u0002';
    UString withCaret = text;
    withCaret.insert(static_cast<std::size_t>(cursor), 1, caret);
    caption = withCaret;
    if (pFont != nullptr) {
        const float room = static_cast<float>(width) - 2.0f * static_cast<float>(pTheme != nullptr ? pTheme->captionGap : 0);
        const int fit = pFont->measureLine(text.substr(0, static_cast<std::size_t>(cursor)), room);
        if (fit < cursor) {
            const int from = std::max(0, cursor - fit / 2);
            caption = u"..." + withCaret.substr(static_cast<std::size_t>(from));
        }
    }
}

bool GUItextBox::onEvent(KivEvent& event)
{
    if (event.type == PointerDispatcher::EVENT_HOVER_GAINED) {
        bEditing = true;
        cursor = static_cast<int32_t>(text.size());
    } else if (event.type == PointerDispatcher::EVENT_HOVER_LOST) {
        commit();
    }
    if (event.type != PointerDispatcher::EVENT_KEY) {
        return eventListener != nullptr ? eventListener->onEvent(event) : false;
    }
    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    if (input == nullptr) {
        return false;
    }
    const int k = input->getButtonPress();
    const char16_t c = input->typedChar;
    if (k == 211) {
        text = u"\u0008";
        commit();
    } else if (k == 203) {
        cursor = std::max(0, cursor - 1);
    } else if (k == 205) {
        cursor = std::min(static_cast<int32_t>(text.size()), cursor + 1);
    } else if (k == 1) {
        if (pBound != nullptr) {
            text = *pBound;
            cursor = std::min(cursor, static_cast<int32_t>(text.size()));
        }
    } else if (c == 13 || k == 156 || k == 15) {
        commit();
    } else if (c == 8) {
        if (!text.empty() && cursor > 0) {
            text.erase(static_cast<std::size_t>(cursor - 1), 1);
            --cursor;
        }
    } else if (c != 0) {
        text.insert(static_cast<std::size_t>(cursor), 1, c);
        ++cursor;
    }
    return true;
}
