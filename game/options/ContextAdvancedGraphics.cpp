#include "game/options/ContextAdvancedGraphics.h"

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
    if (const KivGraphics* graphics = KivGraphics::instance()) {
        const auto& modes = graphics->getVideoModes();
        for (std::size_t i = 0; i < modes.size(); ++i) {
            videoModeNames.push_back(graphics->getVideoModeName(modes[i]));
            if (modes[i].width == graphics->videoModeWidth && modes[i].height == graphics->videoModeHeight) {
                selectedMode = static_cast<int32_t>(i);
                bCurrentModeListed = true;
            }
        }
    }
    initialMode = selectedMode;

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
    place(new MenuChoiceItem(0.0f, y0, 0.0f, &selectedMode, 0, last < 0 ? 0 : last, &videoModeNames,
                             MenuSupport::text(STR_VIDEOMODE), MenuSupport::text(STR_VIDEOMODEHINT)));
    place(new MenuValueItem(0.0f, y0 - row(1), 0.0f, &config.maximumFps, GameConfiguration::LOWEST_FPS,
                            GameConfiguration::HIGHEST_FPS, 5, MenuSupport::text(STR_MAXIMUMFPS),
                            MenuSupport::text(STR_MAXIMUMFPSHINT)));
    pFullScreenItem = new MenuToggleItem(-103.0f * s, y0 - row(2), 0.0f, asFlag(config.bFullScreen),
                                         MenuSupport::text(STR_FULLSCREEN), MenuSupport::text(STR_FULLSCREENHINT));
    place(pFullScreenItem);
    pLetterboxItem = new MenuToggleItem(103.0f * s, y0 - row(2), 0.0f, asFlag(config.bLetterbox),
                                        MenuSupport::text(STR_LETTERBOX), MenuSupport::text(STR_LETTERBOXHINT));
    place(pLetterboxItem);
    // Its caption stands between the two toggles of the row and is made smaller to keep clear of the first.
    pLetterboxItem->captionRoom = 206.0f - pLetterboxItem->frameWidth() - 15.0f;
    place(new MenuToggleItem(-103.0f * s, y0 - row(3), 0.0f, asFlag(config.bVSync), MenuSupport::text(STR_VSYNC),
                             MenuSupport::text(STR_VSYNCHINT)));
    place(new MenuToggleItem(-103.0f * s, y0 - row(4), 0.0f, asFlag(config.bBilinearFilter),
                             MenuSupport::text(STR_BILINEARFILTER), MenuSupport::text(STR_BILINEARFILTERHINT)));
    place(new MenuToggleItem(-103.0f * s, y0 - row(5), 0.0f, asFlag(config.bShowFps), MenuSupport::text(STR_SHOWFPS),
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
    const KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr || videoModeNames.empty()) {
        return;
    }
    if (!bCurrentModeListed && selectedMode == initialMode) {
        return;
    }
    const auto& modes = graphics->getVideoModes();
    if (selectedMode >= 0 && static_cast<std::size_t>(selectedMode) < modes.size()) {
        width = modes[static_cast<std::size_t>(selectedMode)].width;
        height = modes[static_cast<std::size_t>(selectedMode)].height;
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
