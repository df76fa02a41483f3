// The settings pages change the configuration fields they are bound to, and the effects reach the engine:
// volumes the audio gains, the frame-rate limit the frame period, the detail the graphics flag.
#include "OptionsFixture.h"

#include <algorithm>
#include <span>

#include "engine/audio/KivAudio.h"
#include "engine/core/Format.h"
#include "engine/kiv/Kiv.h"
#include "engine/kiv/KivTimer.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "game/language/Language.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/ContextGameMain.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuSoundToggleItem.h"
#include "game/menus/MenuToggleItem.h"
#include "game/menus/MenuValueItem.h"
#include "game/menus/MenuVolumeItem.h"
#include "engine/text/FontQuad.h"
#include "game/options/ContextAdvancedGraphics.h"
#include "game/options/ContextGameplayOptions.h"
#include "game/options/ContextGraphicsOptions.h"
#include "game/options/ContextOptions.h"
#include "game/options/ContextSoundOptions.h"

namespace {
class Settings : public OptionsFixture {
protected:
    static KivAudio& audio() { return *Kiv::instance()->audio; }
    static int gain(int which) { return audio().getGlobalVolume(which); }
    // A press on the right (or left) arrow of a value item.
    static void step(MenuValueItem* item, bool up)
    {
        const float reach = item->frameWidth() / 2.0f - 24.0f;
        movePointerTo(ContextMenu::contextOf(item), item->position + V3(up ? reach : -reach, 0.0f, 0.0f));
        frames(1);
        click();
    }
};
} // namespace

TEST_F(Settings, GameplayTogglesFlipTheirBytes)
{
    GameConfiguration& config = global().config;
    config.bTutorial = 1;
    config.bColorBlind = 0;
    config.bShowClock = 1;
    config.bAllowCheats = 0;
    auto* page = new ContextGameplayOptions();
    push(page);
    uint8_t* bytes[] = {&config.bTutorial, &config.bColorBlind, &config.bShowClock, &config.bAllowCheats};
    const uint8_t before[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        auto* toggle = childOf<MenuToggleItem>(page, i);
        ASSERT_NE(nullptr, toggle);
        clickItem(toggle);
        EXPECT_EQ(1 - before[i], *bytes[i]) << "toggle " << i;
        for (int j = i + 1; j < 4; ++j) {
            EXPECT_EQ(before[j], *bytes[j]) << "toggle " << i << " left " << j << " alone";
        }
    }
    screenshot("options-gameplay-flipped");
}

TEST_F(Settings, VolumesAndMuteAreHeardAtOnceAndClosingAppliesOnce)
{
    GameConfiguration& config = global().config;
    config.soundVolume = 1;
    config.musicVolume = 15;
    config.bMuteAudio = 0;
    global().applySettings();
    auto* page = new ContextSoundOptions();
    push(page);
    auto* quality = childOf<MenuChoiceItem>(page);
    auto* sound = childOf<MenuVolumeItem>(page, 0);
    auto* music = childOf<MenuVolumeItem>(page, 1);
    auto* mute = childOf<MenuSoundToggleItem>(page);
    ASSERT_TRUE(quality && sound && music && mute);

    step(sound, false);
    EXPECT_EQ(0, config.soundVolume);
    EXPECT_EQ(0, gain(KivAudio::GVOL_SAMPLE));
    EXPECT_EQ(6250, gain(KivAudio::GVOL_MUSIC)) << "the music keeps its own volume";
    step(sound, true);
    EXPECT_EQ(416, gain(KivAudio::GVOL_SAMPLE));
    step(music, true);
    EXPECT_EQ(16, config.musicVolume);
    EXPECT_EQ(6666, gain(KivAudio::GVOL_STREAM));

    clickItem(mute);
    EXPECT_EQ(1, config.bMuteAudio);
    for (int which : {KivAudio::GVOL_SAMPLE, KivAudio::GVOL_STREAM, KivAudio::GVOL_MUSIC}) {
        EXPECT_EQ(0, gain(which));
    }
    clickItem(mute);
    EXPECT_EQ(416, gain(KivAudio::GVOL_SAMPLE));

    // The quality is stored at once; the output rate follows when the settings are applied.
    const int rate = audio().sampleRate;
    step(quality, true);
    EXPECT_EQ(2, config.soundQuality);
    EXPECT_EQ(rate, audio().sampleRate) << "the choice applies nothing itself";

    // A dialog over the page applies nothing; closing the page does.
    config.musicVolume = 24;
    auto* dialog = new ContextDialog();
    dialog->text = u"Covering";
    dialog->firstCaption = u"OK";
    dialog->buildContents();
    push(dialog);
    frames(1);
    EXPECT_EQ(6666, gain(KivAudio::GVOL_MUSIC));
    tap(ESCAPE);
    frames(1);
    EXPECT_EQ(page, top());
    tap(ESCAPE);
    EXPECT_EQ(nullptr, top());
    EXPECT_EQ(10000, gain(KivAudio::GVOL_MUSIC));
    EXPECT_EQ(44100, audio().sampleRate);
}

TEST_F(Settings, DetailReachesTheGraphicsFlagAtTheNextApplication)
{
    GameConfiguration& config = global().config;
    config.detail = 1;
    auto* page = new ContextGraphicsOptions();
    push(page);
    auto* detail = childOf<MenuChoiceItem>(page);
    ASSERT_NE(nullptr, detail);
    step(detail, false);
    EXPECT_EQ(0, config.detail);
    EXPECT_EQ(MenuSupport::text(STR_ENUMDETAIL0), detail->currentText());
    auto* advanced = open<ContextAdvancedGraphics>(page->pAdvancedButton);
    ASSERT_NE(nullptr, advanced);
    tap(ESCAPE);
    EXPECT_FALSE(KivGraphics::instance()->bDetail);
    EXPECT_EQ(page, top());
}

TEST_F(Settings, AdvancedGraphicsFrameRateLetterboxAndFilter)
{
    GameConfiguration& config = global().config;
    KivGraphics& graphics = *KivGraphics::instance();
    config.bFullScreen = 0;
    config.maximumFps = 120;
    config.bBilinearFilter = 1;
    auto* page = new ContextAdvancedGraphics();
    push(page);
    screenshot("options-advanced-graphics");
    EXPECT_EQ(graphics.getVideoModes().size() + (page->bCurrentModeListed ? 0 : 1), page->videoModeNames.size());
    ASSERT_FALSE(page->videoModeNames.empty());

    // Windowed, the letterbox cannot be flipped; full screen enables it on the next tick.
    EXPECT_TRUE(page->pLetterboxItem->bDisabled);
    const uint8_t letterbox = config.bLetterbox;
    clickItem(page->pLetterboxItem);
    EXPECT_EQ(letterbox, config.bLetterbox);
    config.bFullScreen = 1;
    frames(1);
    EXPECT_FALSE(page->pLetterboxItem->bDisabled);
    config.bFullScreen = 0;
    frames(1);

    auto* fps = childOf<MenuValueItem>(page, 1);
    ASSERT_NE(nullptr, fps);
    step(fps, true);
    EXPECT_EQ(125, config.maximumFps);
    step(fps, true);
    EXPECT_EQ(125, config.maximumFps) << "stops at 125";
    config.maximumFps = 30;
    step(fps, false);
    EXPECT_EQ(25, config.maximumFps);
    step(fps, false);
    EXPECT_EQ(25, config.maximumFps) << "stops at 25";
    config.maximumFps = 95;
    step(fps, true);
    EXPECT_EQ(100, config.maximumFps);

    // Only the filter changed: no device reset.
    auto* filter = childOf<MenuToggleItem>(page, 3);
    ASSERT_NE(nullptr, filter);
    clickItem(filter);
    EXPECT_EQ(0, config.bBilinearFilter);
    int width = 0, height = 0;
    page->chosenSize(width, height);
    EXPECT_EQ(-1, width) << "the size stays";
    EXPECT_EQ(-1, height);
    tap(ESCAPE);
    EXPECT_EQ(nullptr, top());
    EXPECT_DOUBLE_EQ(0.01, Kiv::instance()->timer->framePeriod);
    EXPECT_FALSE(graphics.bBilinearFilter);
    EXPECT_FALSE(graphics.isResetPending());
}

// On a white page the frame-rate readout and the captions beside the items stand in their dark rims, and a
// disabled caption's rim fades with it, so that an enabled setting never reads as a disabled one.
TEST_F(Settings, TheFrameRateReadoutAndTheCaptionsWearADarkRimOnALightPicture)
{
    global().config.bShowFps = 1;
    global().config.bFullScreen = 0; // the letterbox item is disabled
    auto* page = new ContextAdvancedGraphics();
    onWhite(page);
    push(page);
    frames(1);
    screenshot("options-advanced-graphics-on-white");
    const Screen shot = readScreen();
    const int w = shot.width, h = shot.height;
    EXPECT_GT(shot.darkPixels(w - 60, w, 0, 20), 30) << "the frame rate";
    auto rim = [&](MenuItem* item) {
        const V3 end = item->captionPlacement().at; // the caption ends there, left of its item
        const int x = w / 2 + static_cast<int>(end.x), y = h / 2 - static_cast<int>(end.y);
        return shot.darkPixels(x - 150, x, y - 12, y + 12);
    };
    const int shown = rim(childOf<MenuToggleItem>(page, 4));
    EXPECT_GT(shown, 60) << "Show frame rate";
    EXPECT_LT(rim(page->pLetterboxItem), shown / 3) << "the disabled Keep aspect ratio";
}

// The Resolution field shows the size the window has, listed or not; left alone it changes nothing, and
// another entry is applied by its own size.
TEST_F(Settings, TheResolutionFieldShowsTheWindowsSize)
{
    KivGraphics& graphics = *KivGraphics::instance();
    const auto [w, h] = graphics.getDevice().drawableSize();
    const int modeW = graphics.videoModeWidth;
    graphics.videoModeWidth = 1280; // the mode last asked for, which the window did not take
    auto* page = new ContextAdvancedGraphics();
    graphics.videoModeWidth = modeW;
    push(page);
    auto* field = childOf<MenuChoiceItem>(page);
    ASSERT_NE(nullptr, field);
    EXPECT_EQ(formatString(u"%dx%d", w, h), field->currentText());
    int width = 0, height = 0;
    page->chosenSize(width, height);
    EXPECT_EQ(-1, width) << "nothing chosen: the size stays";
    EXPECT_EQ(-1, height);
    ASSERT_GT(page->videoModeNames.size(), 1u);
    page->selectedMode = page->selectedMode == 0 ? 1 : 0;
    page->chosenSize(width, height);
    EXPECT_EQ(page->videoModeSizes[static_cast<std::size_t>(page->selectedMode)].first, width);
    EXPECT_EQ(page->videoModeSizes[static_cast<std::size_t>(page->selectedMode)].second, height);
    page->selectedMode = page->initialMode;

    // Full screen, the game is drawn at the chosen mode over the whole display: the field shows that mode.
    const int modeH = graphics.videoModeHeight;
    graphics.bFullScreen = true;
    graphics.videoModeWidth = 1280;
    graphics.videoModeHeight = 800;
    auto* full = new ContextAdvancedGraphics();
    graphics.bFullScreen = false;
    graphics.videoModeWidth = modeW;
    graphics.videoModeHeight = modeH;
    push(full);
    EXPECT_EQ(u"1280x800", childOf<MenuChoiceItem>(full)->currentText());
}

// The pages open when Advanced graphics changes the resolution stand as pages built at the new size, and
// with keyboard navigation each keeps its selected item.
TEST_F(Settings, OpenPagesTakeTheNewSizesLayoutAndKeepTheirSelection)
{
    KivGraphics& graphics = *KivGraphics::instance();
    global().config.bFullScreen = 0;
    auto* menu = new ContextGameMain();
    push(menu);
    auto* options = new ContextOptions();
    push(options);
    ContextMenu::setMenuNavigationMode(ContextMenu::NAVIGATION_KEYBOARD);
    input().warpCursor(options->pGraphicsButton->getNavigationPoint(0));
    frames(1);
    auto* page = new ContextGraphicsOptions();
    push(page);
    input().warpCursor(page->pAdvancedButton->getNavigationPoint(0));
    frames(1);
    auto* advanced = new ContextAdvancedGraphics();
    push(advanced);
    // The next smaller mode (the test display lists none larger than the window).
    ASSERT_GT(advanced->selectedMode, 0);
    --advanced->selectedMode;
    const auto [width, height] = advanced->videoModeSizes[static_cast<std::size_t>(advanced->selectedMode)];
    ASSERT_NE(width, graphics.width);
    tap(ESCAPE);
    ASSERT_EQ(width, graphics.width);
    ASSERT_EQ(height, graphics.height);
    EXPECT_EQ(page, top());

    auto sameLayout = [](ContextMenu* open, ContextMenu* fresh) {
        EXPECT_EQ(fresh->cornerX, open->cornerX);
        EXPECT_EQ(fresh->cornerY, open->cornerY);
        EXPECT_FLOAT_EQ(fresh->camera->eye.z, open->camera->eye.z);
        EXPECT_FLOAT_EQ(fresh->camera->aspectFactor, open->camera->aspectFactor);
        for (KivBase *a = open->getFirstChild(), *b = fresh->getFirstChild(); a != nullptr && b != nullptr;
             a = a->getNext(), b = b->getNext()) {
            const auto* shown = dynamic_cast<Renderable*>(a);
            const auto* built = dynamic_cast<Renderable*>(b);
            ASSERT_TRUE(shown != nullptr && built != nullptr);
            EXPECT_FLOAT_EQ(built->position.x, shown->position.x);
            EXPECT_FLOAT_EQ(built->position.y, shown->position.y);
        }
        delete fresh;
    };
    frames(1);
    sameLayout(page, new ContextGraphicsOptions());
    sameLayout(options, new ContextOptions());
    sameLayout(menu, new ContextGameMain());
    screenshot("options-graphics-after-resolution-change");

    auto onto = [](const V3& pointer, MenuItem* item) {
        const V3 spot = item->getNavigationPoint(0);
        return std::abs(pointer.x - spot.x) < 1.0f && std::abs(pointer.y - spot.y) < 1.0f;
    };
    EXPECT_TRUE(onto(input().pointer, page->pAdvancedButton));
    tap(ESCAPE);
    EXPECT_EQ(options, top());
    EXPECT_TRUE(onto(input().pointer, options->pGraphicsButton));
}

// A size chosen here keeps the window on the display: one that would run past the edge of what the window
// manager leaves free is moved back into it, title bar and borders included, as at start-up; one too large for
// it, as the largest size on offer or a full-screen mode back in a window, takes the size start-up would give.
TEST_F(Settings, AChosenSizeKeepsTheWindowOnTheDisplay)
{
    PlatformWindow& window = harness().window();
    struct Restore {
        PlatformWindow& window;
        ~Restore() { window.standInDisplay(std::nullopt); }
    } restore{window};
    DisplayArea area; // 600x420 with a panel of 30 at the bottom: room for 598x369 inside the frame
    area.bounds = {0, 0, 600, 420};
    area.usable = {0, 0, 600, 390};
    area.frameLeft = area.frameRight = area.frameBottom = 1;
    area.frameTop = 20;
    window.standInDisplay(area);
    global().config.bFullScreen = 0;
    global().applySettings(320, 240);
    frames(1);
    window.setPosition(150, 100);
    KivGraphics& graphics = *KivGraphics::instance();
    auto choose = [&](auto pick) {
        auto* page = new ContextAdvancedGraphics();
        push(page);
        pick(page);
        tap(ESCAPE);
    };
    choose([](ContextAdvancedGraphics* page) {
        const auto at = std::find(page->videoModeSizes.begin(), page->videoModeSizes.end(), std::make_pair(480, 360));
        ASSERT_NE(at, page->videoModeSizes.end());
        page->selectedMode = static_cast<int32_t>(at - page->videoModeSizes.begin());
    });
    ASSERT_EQ(graphics.width, 480);
    // Right against the free part's right and bottom edges.
    EXPECT_EQ(window.position(), std::make_pair(600 - 1 - 480, 390 - 1 - 360));

    // 480x360 does not fit above a panel of 30 on a 500x400 display: the largest size on offer is 320x240.
    area.bounds = {0, 0, 500, 400};
    area.usable = {0, 0, 500, 370};
    window.standInDisplay(area);
    global().applySettings(320, 240);
    frames(1);
    auto standsWhole = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(std::make_pair(graphics.videoModeWidth, graphics.videoModeHeight), std::make_pair(320, 240));
        EXPECT_EQ(std::make_pair(window.width(), window.height()), std::make_pair(320, 240));
        const auto [x, y] = window.position();
        EXPECT_GE(std::min(x - 1, y - 20), 0);
        EXPECT_LE(x + 320 + 1, 500);
        EXPECT_LE(y + 240 + 1, 370);
    };
    choose([](ContextAdvancedGraphics* page) {
        page->selectedMode = static_cast<int32_t>(page->videoModeSizes.size()) - 1;
        ASSERT_GE(page->videoModeSizes.back(), std::make_pair(480, 360));
    });
    standsWhole("the largest size");
    global().config.bFullScreen = 1;
    global().applySettings(480, 360);
    frames(1);
    ASSERT_EQ(std::make_pair(graphics.width, graphics.height), std::make_pair(480, 360));
    choose([&](ContextAdvancedGraphics*) { global().config.bFullScreen = 0; });
    frames(1);
    standsWhole("back from full screen");

    // A display that offers only its own size, which no window fits beside its taskbar: a window that stands
    // there stays as it is, and that is the size kept for the next start.
    area.bounds = {0, 0, 1280, 1024};
    area.usable = {0, 0, 1280, 999};
    window.standInDisplay(area);
    global().applySettings(1024, 768);
    frames(1);
    choose([](ContextAdvancedGraphics* page) {
        page->videoModeNames.push_back(u"1280x1024"); // the test display lists no such mode
        page->videoModeSizes.emplace_back(1280, 1024);
        page->selectedMode = static_cast<int32_t>(page->videoModeSizes.size()) - 1;
    });
    frames(1);
    EXPECT_EQ(std::make_pair(window.width(), window.height()), std::make_pair(1024, 768));
    EXPECT_EQ(std::make_pair(graphics.videoModeWidth, graphics.videoModeHeight), std::make_pair(1024, 768));
}

TEST_F(Settings, RightToLeftTheTogglesStayPutAndTheirCaptionsChangeSides)
{
    Kiv::instance()->language->bRightToLeft = 1;
    auto* page = new ContextAdvancedGraphics();
    Kiv::instance()->language->bRightToLeft = 0;
    push(page);
    EXPECT_FLOAT_EQ(ContextAdvancedGraphics::CAPTION_COLUMN + 30.0f, page->pFullScreenItem->position.x);
    EXPECT_FLOAT_EQ(ContextAdvancedGraphics::CAPTION_COLUMN + 30.0f, page->pLetterboxItem->position.x);
    EXPECT_EQ(MenuItem::CAPTION_RIGHT, page->pFullScreenItem->captionLocation);
    EXPECT_EQ(MenuItem::CAPTION_RIGHT, childOf<MenuValueItem>(page, 1)->captionLocation);
    ContextMenu::ALIGN_READING_START = 4;
    ContextMenu::READING_DIRECTION_X = 1.0f;
}

// The Resolution field's longest values stand clear of its arrows at every window size, in both languages and
// while a press makes the field swell. On the screen the arrows are the red ink of the field drawn without a
// value, and the value is where the field drawn with it differs.
TEST_F(Settings, EveryResolutionStandsBetweenTheFieldsArrows)
{
    KivGraphics& graphics = *KivGraphics::instance();
    const UString values[] = {u"1920x1080 (16:9)", u"2600x1500 (26:15)", u"7680x4320 (16:9)", u"10240x4320 (64:27)"};
    inEachLanguageAt({{800, 600}, {1920, 1080}, {LARGEST_WIDTH, LARGEST_HEIGHT}}, [&](const std::string& lang, int w) {
        auto* page = new ContextAdvancedGraphics();
        auto* field = childOf<MenuChoiceItem>(page);
        push(page);
        ASSERT_GE(page->videoModeNames.size(), 3u); // an entry on either side of the second
        page->selectedMode = 1; // both arrows shown
        movePointerTo(page, V3(300.0f, 200.0f, 0.0f)); // clear of the page's items
        field->bForceHover = true;
        field->highlight = 1.0;
        auto draw = [&](const UString& value, float pulse) { // pulse 0.79: the field at its widest
            page->videoModeNames[1] = value;
            field->pulse = pulse;
            frames(1);
            return readScreen();
        };
        const int cx = graphics.width / 2 + static_cast<int>(field->position.x);
        const int cy = graphics.height / 2 - static_cast<int>(field->position.y);
        for (float pulse : {0.0f, 0.79f}) {
            const Screen bare = draw(UString(), pulse);
            auto red = [&](int x, int y) {
                const std::uint32_t p = bare.pixel(x, y);
                return ((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) < 120 && (p & 0xFF) < 120;
            };
            const int leftArrowEnd = inkColumns(cx - 150, cx, cy, red).second;
            const int rightArrowStart = inkColumns(cx, cx + 150, cy, red).first;
            for (const UString& value : pulse == 0.0f ? std::span(values) : std::span(values).last(1)) {
                SCOPED_TRACE(lang + " " + std::to_string(w) + " " + std::to_string(pulse) + " " + wideToUtf8(value));
                const Screen shown = draw(value, pulse);
                const auto [first, last] =
                    inkColumns(cx - 150, cx + 150, cy, [&](int x, int y) { return shown.differsFrom(bare, x, y); });
                EXPECT_LT(leftArrowEnd, first);
                EXPECT_LT(last, rightArrowStart);
            }
        }
        if (w <= 1920) {
            draw(values[1], 0.0f);
            screenshot("advanced-resolution-" + lang + "-" + std::to_string(w));
        }
        clearScreens();
    });
}
