#include "engine/text/Console.h"

#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/core/Matrix4.h"
#include "engine/text/FontGDI.h"

const RuntimeClass Console::classRecord(u"Console", &KivBase::classRecord, &RuntimeClass::factoryOf<Console>);

void Console::addLine(const UString& text)
{
    lines.push_back(text);
    while (lines.size() > MAX_LINES) {
        lines.pop_front();
    }
    Logger::log(u"> %s", text);
}

void Console::render()
{
    KivGraphics* graphics = KivGraphics::instance();
    if (bShown && pFont != nullptr && graphics != nullptr && !lines.empty()) {
        // Screen space: a camera of the screen's size, text from the top-left corner down.
        Camera screen;
        screen.render();
        const float left = -static_cast<float>(graphics->width / 2) + 4.0f;
        float y = static_cast<float>(graphics->height / 2) - 4.0f;
        const std::size_t first = lines.size() > static_cast<std::size_t>(LINES_SHOWN) ? lines.size() - LINES_SHOWN : 0;
        const Matrix4 identity;
        for (std::size_t i = first; i < lines.size(); ++i) {
            pFont->drawText(identity.data(), 0xFFFFFFFFu, 0, lines[i], left, y, 0.0f);
            y -= static_cast<float>(pFont->getLineHeight());
        }
    }
    KivBase::render();
}

void Console::renderDebugOverlay()
{
    if (debugOverlay) {
        debugOverlay();
    }
}
