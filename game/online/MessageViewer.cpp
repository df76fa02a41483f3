#include "game/online/MessageViewer.h"

#include <cmath>

#include "engine/core/Logger.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuSupport.h"

namespace {
double engineTime()
{
    const Kiv* engine = Kiv::instance();
    return engine != nullptr ? engine->time : 0.0;
}

float linearStep(float a, float b, float x)
{
    if (a == b) {
        return 0.0f;
    }
    const float t = (x - a) / (b - a);
    return t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
}
} // namespace

MessageViewer::MessageViewer()
{
    wrapWidth = ContextMenu::screenWidth() - 10;
    pFont = MenuSupport::font(MenuSupport::FONT_SMALL);
    lineStep = pFont != nullptr ? -static_cast<float>(pFont->getScaledLineHeight()) : -20.0f;
}

void MessageViewer::addMessage(const UString& message)
{
    Logger::logFrom("MessageViewer::addMessage", u"> %s", message);
    TextBlock block(message, pFont, static_cast<float>(wrapWidth), std::fabs(lineStep));
    const int count = block.getLineCount();
    if (count == 0) {
        lines.emplace_back();
    }
    for (int i = 0; i < count; ++i) {
        const TextLine* line = block.getLine(i);
        for (const TextLine::Run& run : line->runs) {
            lines.push_back(run.text);
        }
    }
    while (lines.size() > maxLines) {
        lines.erase(lines.begin());
    }
    lastMessageTime = engineTime();
}

void MessageViewer::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    if (fadeTime > 0.0) {
        const float end = static_cast<float>(lastMessageTime + fadeTime);
        alpha = 1.0f - linearStep(end - 1.0f, end, static_cast<float>(engineTime()));
    } else {
        alpha = 1.0f;
    }
}

UColor MessageViewer::lineColour(std::size_t index) const
{
    uint32_t c = colour.argb;
    const uint32_t a = static_cast<uint32_t>(alpha * static_cast<float>(c >> 24));
    c = (c & 0x00FFFFFFu) | (a << 24);
    if (bDimOlderLines && index + 1 < lines.size()) {
        const uint32_t r = ((c >> 16) & 0xFF) / 2, g = ((c >> 8) & 0xFF) / 2, b = (c & 0xFF) / 2;
        c = (c & 0xFF000000u) | (r << 16) | (g << 8) | b;
    }
    return UColor(c);
}

float MessageViewer::firstLineY() const
{
    float y = position.y;
    if (bAnchorBottom && !lines.empty()) {
        y -= static_cast<float>(lines.size() - 1) * lineStep;
    }
    return std::trunc(y);
}

void MessageViewer::render()
{
    if (bHidden || alpha <= 0.0f || pFont == nullptr) {
        return;
    }
    V3 at(position.x, firstLineY(), position.z);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        pFont->print(at, lineColour(i), printFlags, lines[i]);
        at.y += lineStep;
    }
}

UString networkText(UStringView text)
{
    UString out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == TextLine::MARKUP) {
            // A colour mark: drop the braced code that follows it as well.
            if (i + 1 < text.size() && text[i + 1] == u'{') {
                const std::size_t close = text.find(u'}', i + 1);
                i = close == UStringView::npos ? text.size() : close;
            }
            continue;
        }
        if (c < 0x20) {
            continue;
        }
        out += c;
    }
    return out;
}
