#include "game/options/ContextAdvancedGraphics.h"

#include <algorithm>
#include <tuple>

#include "engine/render/KivGraphics.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/MenuToggleItem.h"
#include "game/menus/MenuValueItem.h"

ContextAdvancedGraphics::ContextAdvancedGraphics() : ContextOptionPage(STR_ADVANCEDOPTIONS)
{
    GameConfiguration& config = Global::instance()->config;
    if (KivGraphics* graphics = KivGraphics::instance()) {
        for (const KivGraphics::VideoMode& mode : graphics->getVideoModes()) {
            videoModeNames.push_back(graphics->getVideoModeName(mode));
            videoModeSizes.emplace_back(mode.width, mode.height);
        }
        // In a window the field shows the size the window really has, which is not always the mode last
        // asked for (a window manager may refuse or shrink a size); full screen shows the mode the game is
        // drawn at over the whole display. A size that no listed mode has gets an entry of its own.
        int width = graphics->videoModeWidth, height = graphics->videoModeHeight;
        if (!graphics->bFullScreen) {
            const auto [windowWidth, windowHeight] = graphics->getDevice().drawableSize();
            if (windowWidth > 0 && windowHeight > 0) {
                width = windowWidth;
                height = windowHeight;
            }
        }
        const std::pair<int, int> shown(width, height);
        const auto at = std::lower_bound(videoModeSizes.begin(), videoModeSizes.end(), shown);
        selectedMode = static_cast<int32_t>(at - videoModeSizes.begin());
        bCurrentModeListed = at != videoModeSizes.end() && *at == shown;
        if (!bCurrentModeListed) {
            KivGraphics::VideoMode mode;
            mode.width = mode.usedWidth = width;
            mode.height = mode.usedHeight = height;
            videoModeNames.insert(videoModeNames.begin() + selectedMode, graphics->getVideoModeName(mode));
            videoModeSizes.insert(at, shown);
        }
    }
    initialMode = selectedMode;

    // One setting a row, the captions ending in one column left of the items: the column stands right of
    // the centre so that the longest caption (the German letterbox one) has room up to the screen's edge.
    // Items mirror their x for a right-to-left language; the sign cancels that, so the layout stays put
    // and only the captions change sides.
    const float s = READING_DIRECTION_X;
    const float y0 = static_cast<float>(static_cast<int>(2.5f * static_cast<float>(rowHeight)));
    const int last = static_cast<int>(videoModeNames.size()) - 1;
    auto place = [&](MenuItem* item) {
        item->captionLocation = ALIGN_READING_START;
        addItem(item);
        return item;
    };
    const float valueX = (CAPTION_COLUMN + 5.0f + 128.0f) * s, toggleX = (CAPTION_COLUMN + 5.0f + 25.0f) * s;
    place(new MenuChoiceItem(valueX, y0, 0.0f, &selectedMode, 0, last < 0 ? 0 : last, &videoModeNames,
                             MenuSupport::text(STR_VIDEOMODE), MenuSupport::text(STR_VIDEOMODEHINT)));
    place(new MenuValueItem(valueX, y0 - row(1), 0.0f, &config.maximumFps, GameConfiguration::LOWEST_FPS,
                            GameConfiguration::HIGHEST_FPS, 5, MenuSupport::text(STR_MAXIMUMFPS),
                            MenuSupport::text(STR_MAXIMUMFPSHINT)));
    pFullScreenItem = new MenuToggleItem(toggleX, y0 - row(2), 0.0f, asFlag(config.bFullScreen),
                                         MenuSupport::text(STR_FULLSCREEN), MenuSupport::text(STR_FULLSCREENHINT));
    place(pFullScreenItem);
    pLetterboxItem = new MenuToggleItem(toggleX, y0 - row(3), 0.0f, asFlag(config.bLetterbox),
                                        MenuSupport::text(STR_LETTERBOX), MenuSupport::text(STR_LETTERBOXHINT));
    place(pLetterboxItem);
    place(new MenuToggleItem(toggleX, y0 - row(4), 0.0f, asFlag(config.bVSync), MenuSupport::text(STR_VSYNC),
                             MenuSupport::text(STR_VSYNCHINT)));
    place(new MenuToggleItem(toggleX, y0 - row(5), 0.0f, asFlag(config.bBilinearFilter),
                             MenuSupport::text(STR_BILINEARFILTER), MenuSupport::text(STR_BILINEARFILTERHINT)));
    place(new MenuToggleItem(toggleX, y0 - row(6), 0.0f, asFlag(config.bShowFps), MenuSupport::text(STR_SHOWFPS),
                             MenuSupport::text(STR_SHOWFPSHINT)));
    addBackButton();
    pLetterboxItem->bDisabled = config.bFullScreen == 0;
}

void ContextAdvancedGraphics::tickContents(double tickTime, double dt)
{
    ContextOptionPage::tickContents(tickTime, dt);
    pLetterboxItem->bDisabled = Global::instance()->config.bFullScreen == 0;
}

void ContextAdvancedGraphics::chosenSize(int& width, int& height) const
{
    width = -1;
    height = -1;
    if (selectedMode == initialMode || selectedMode < 0 || static_cast<std::size_t>(selectedMode) >= videoModeSizes.size()) {
        return;
    }
    width = videoModeSizes[static_cast<std::size_t>(selectedMode)].first;
    height = videoModeSizes[static_cast<std::size_t>(selectedMode)].second;
    // A window gets the size it is given at start-up: one that stands whole on the display, title bar and
    // all, above the window manager's panels.
    const Global* global = Global::instance();
    if (KivGraphics* graphics = KivGraphics::instance(); graphics != nullptr && global != nullptr &&
                                                         global->config.bFullScreen == 0) {
        std::tie(width, height) = graphics->windowSizeThatFits(width, height);
    }
}

void ContextAdvancedGraphics::onDeactivate(bool closing)
{
    ContextOptionPage::onDeactivate(closing);
    if (closing) {
        int width = -1, height = -1;
        chosenSize(width, height);
        if (Global* global = Global::instance()) {
            global->applySettings(width, height);
        }
    }
}
