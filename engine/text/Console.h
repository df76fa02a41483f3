#pragma once
// The debug console: lines printed by the engine and the game, written to the log with "> " in front and
// drawn over the screen with the system font while the console is shown. It also carries the hook of the
// debug overlay that the frame draws after the console.
#include <deque>
#include <functional>

#include "engine/core/Format.h"
#include "engine/core/KivBase.h"
#include "engine/core/Logger.h"

class FontGDI;

class Console : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    static constexpr std::size_t MAX_LINES = 256;
    static constexpr int LINES_SHOWN = 24;

    Console() = default;
    explicit Console(FontGDI* font) : pFont(font) {}

    template <class... Args>
    void print(UStringView format, const Args&... args)
    {
        addLine(formatString(format, args...));
    }
    void addLine(const UString& text);

    void render() override;
    // Draws the debug overlay through its hook.
    void renderDebugOverlay();

    const std::deque<UString>& getLines() const { return lines; }

    FontGDI* pFont = nullptr;
    bool bShown = false;
    std::function<void()> debugOverlay;

private:
    std::deque<UString> lines;
};
