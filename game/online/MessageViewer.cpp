#include "game/online/MessageViewer.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Logger.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuSupport.h"

namespace {
bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }

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
    for (const KivBase* child = block.getFirstChild(); child != nullptr; child = child->getNext()) {
        for (const TextLine::Run& run : static_cast<const TextLine*>(child)->runs) {
            addBrokenRun(run.text);
        }
    }
    if (lines.size() > maxLines) {
        lines.erase(lines.begin(), lines.end() - maxLines);
    }
    lastMessageTime = engineTime();
}

void MessageViewer::addBrokenRun(const UString& run)
{
    // The text block wraps at spaces only: a word wider than the line is broken where the width ends.
    const float scaleX = pFont != nullptr ? pFont->getScaleX() : 1.0f;
    if (pFont == nullptr || scaleX <= 0.0f || wrapWidth <= 0 ||
        static_cast<float>(pFont->measureLine(run)) * scaleX <= static_cast<float>(wrapWidth)) {
        lines.push_back(run);
        return;
    }
    const float limit = static_cast<float>(wrapWidth) / scaleX;
    UString rest = run;
    while (!rest.empty()) {
        std::size_t fits = static_cast<std::size_t>(std::max(pFont->measureLine(rest, limit), 0));
        if (fits < rest.size() && fits > 0 && isHighSurrogate(rest[fits - 1])) {
            --fits;
        }
        if (fits == 0) {
            // Not one character fits: it goes on a line of its own, with its pair.
            fits = rest.size() > 1 && isHighSurrogate(rest[0]) ? 2 : 1;
        }
        lines.push_back(rest.substr(0, fits));
        rest.erase(0, fits);
    }
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
    // The lines stand on the backdrop's roof, its lights and the snow: each wears a dark rim, faded with it,
    // so that it reads on all of them.
    V3 at(position.x, firstLineY(), position.z);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        MenuSupport::printRimmed(pFont, at, lineColour(i), printFlags, lines[i]);
        at.y += lineStep;
    }
}

UString networkText(UStringView text)
{
    UString out;
    out.reserve(std::min(text.size(), NETWORK_TEXT_LIMIT + 1));
    for (std::size_t i = 0; i < text.size() && out.size() <= NETWORK_TEXT_LIMIT; ++i) {
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
    if (out.size() > NETWORK_TEXT_LIMIT) {
        // Room for the ellipsis, without leaving half of a surrogate pair before it.
        out.resize(NETWORK_TEXT_LIMIT - 3);
        if (isHighSurrogate(out.back())) {
            out.pop_back();
        }
        out += u"...";
    }
    return out;
}
