#include "game/front/Global.h"

#include <algorithm>

#include "engine/audio/KivAudio.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/core/MathUtil.h"
#include "engine/core/Process.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/core/TimeKeeper.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/kiv/KivTimer.h"
#include "engine/net/NetAddress.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Texture.h"
#include "engine/text/Console.h"
#include "game/front/ContextIntro.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSnow.h"
#include "game/front/ContextSplash.h"
#include "game/front/Loader.h"
#include "game/language/Language.h"
#include "game/menus/GUIthemeMinimal.h"
#include "game/menus/GUIthemeStandard.h"
#include "game/online/ContextErrorReport.h"
#include "game/online/CrashFiles.h"
#include "game/resources/ResourceCatalogue.h"

namespace {
Global* gGlobal = nullptr;

const char16_t* currentText(int id)
{
    const Kiv* engine = Kiv::instance();
    if (engine == nullptr || engine->language == nullptr) {
        return u"";
    }
    return engine->language->getText(static_cast<std::uint32_t>(id));
}

double engineClock()
{
    const Kiv* engine = Kiv::instance();
    if (engine == nullptr || engine->timeKeeper == nullptr) {
        return 0.0;
    }
    return engine->timeKeeper->getPhysicalTime() - engine->timeKeeper->getStartTime();
}
} // namespace

Global* Global::instance() { return gGlobal; }

void Global::setInstance(Global* global) { gGlobal = global; }

Global::Global() : bEditorAllowed(Process::hasArgument(u"-editor"))
{
    ProfileManager::profileChanged = [] {
        if (Global* global = Global::instance()) {
            global->highlightedHighScore = -1;
        }
    };
}

Global::~Global()
{
    ProfileManager::profileChanged = nullptr;
    delete contextIntro;
    contextIntro = nullptr;
    delete contextSnow;
    contextSnow = nullptr;
    deleteThemes();
    delete contextManager;
    contextManager = nullptr;
    delete resourceHolder;
    resourceHolder = nullptr;
    fontTiny = fontSmall = fontSmallOutline = fontMedium = fontMediumOutline = fontLarge = nullptr;
    exitUrl.clear();
    if (gGlobal == this) {
        gGlobal = nullptr;
    }
    // The embedded records save themselves as they go: the players, then the configuration.
}

void Global::initPreLoader()
{
    RuntimeClassManager* classes = RuntimeClassManager::getInstance();
    classes->buildClassArray();
    if (classes->bBadClasses) {
        ErrorManager::assertionFailed("!m->bBadClasses", "Global::initPreLoader", __FILE__, __LINE__);
    }

    Kiv* engine = Kiv::instance();
    if (engine != nullptr && !engine->bRelease && engine->console != nullptr) {
        Console& console = *engine->console;
        console.print(u"sizeof(bool)=%d", static_cast<int>(sizeof(bool)));
        console.print(u"sizeof(NetAddress)=%d", static_cast<int>(sizeof(NetAddress)));
        // The network address is laid out as the system's IPv4 socket address.
        console.print(u"sizeof(sockaddr_in)=%d", static_cast<int>(sizeof(NetAddress)));
        console.print(u"sizeof(GameConfiguration)=%d", static_cast<int>(sizeof(GameConfiguration)));
        console.print(u"sizeof(HIGHSCOREENTRY)=%d", static_cast<int>(sizeof(HIGHSCOREENTRY)));
        console.print(u"sizeof(ProfileData)=%d", static_cast<int>(sizeof(ProfileData)));
        console.print(u"sizeof(ProfileManager)=%d", static_cast<int>(sizeof(ProfileManager)));
    }

    resourceHolder = new KivBase();
    FileManager::instance()->useWad(utf8ToWide(getDataArchivePath()));
    for (const ResourceCatalogue::TextureEntry& entry : ResourceCatalogue::preLoaderTextures()) {
        Loader::addTexture(new Texture(entry.flags, utf8ToWide(entry.file)), utf8ToWide(entry.name));
    }

    contextManager = new ContextManager();
    contextManager->addContext(new Loader());
}

void Global::initPostLoader()
{
    createThemes();
    contextIntro = new ContextIntro();
    contextSnow = new ContextSnow();
    createContexts();
    contextManager->addContext(new ContextIntroText());
    contextManager->addContext(new ContextSplash());
    if (CrashFiles::reportWaiting()) {
        contextManager->addContext(new ContextErrorReport());
    }
    Logger::logFrom("Global::initPostLoader", u"Global initialization complete at t=%.3lf sec.", engineClock());
}

void Global::applySettings(int width, int height)
{
    Kiv* engine = Kiv::instance();
    if (engine == nullptr) {
        return;
    }
    if (engine->timer != nullptr) {
        const int fps = std::clamp(config.maximumFps, GameConfiguration::LOWEST_FPS, GameConfiguration::HIGHEST_FPS);
        engine->timer->setFramePeriod(1.0 / fps);
    }
    if (KivAudio* audio = engine->audio) {
        static constexpr int SAMPLE_RATES[3] = {11025, 22050, 44100};
        const int quality = config.soundQuality < 0 ? 0 : config.soundQuality > 2 ? 2 : config.soundQuality;
        audio->sampleRate = SAMPLE_RATES[quality];
        const int sample = config.bMuteAudio ? 0 : volumeLevelToScale(config.soundVolume);
        const int music = config.bMuteAudio ? 0 : volumeLevelToScale(config.musicVolume);
        audio->setGlobalVolume(KivAudio::GVOL_SAMPLE, sample);
        audio->setGlobalVolume(KivAudio::GVOL_STREAM, music);
        audio->setGlobalVolume(KivAudio::GVOL_MUSIC, music);
    }
    if (KivGraphics* graphics = engine->graphics) {
        graphics->changePresentationParameters(width, height, config.bFullScreen != 0, config.bLetterbox != 0,
                                               config.bBilinearFilter != 0, config.bVSync != 0);
        graphics->bDetail = config.detail >= 1;
    }
}

int Global::volumeLevelToScale(int level)
{
    // A hand-edited setting may lie far beyond 0..24.
    const float scaled = static_cast<float>(level) / 24.0f * 10000.0f;
    const int value = truncateClamped<int>(scaled);
    return value < 0 ? 0 : value > 10000 ? 10000 : value;
}

void Global::saveUserData()
{
    Logger::logFrom("Global::saveUserData", u"Saving.");
    profiles.save();
    config.save();
    if (Kiv* engine = Kiv::instance()) {
        engine->saveConfig();
    }
}

std::string Global::getDataArchivePath() { return getDataFolder() + getDataArchiveName(); }

void Global::createThemes()
{
    deleteThemes();
    themeStandard = new GUIthemeStandard();
    themeMinimal = new GUIthemeMinimal();
}

void Global::deleteThemes()
{
    delete themeStandard;
    themeStandard = nullptr;
    delete themeMinimal;
    themeMinimal = nullptr;
}

UString formatNumber(long long value)
{
    const UString digits = utf8ToWide(std::to_string(value));
    const std::size_t start = (!digits.empty() && digits[0] == u'-') ? 1 : 0;
    const UString separator = currentText(STR_THOUSANDSEPARATOR);
    UString out = digits.substr(0, start);
    const std::size_t count = digits.size() - start;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) {
            out += separator;
        }
        out += digits[start + i];
    }
    return out;
}

UString formatMinutesSeconds(double seconds)
{
    const int s = truncateClamped<int>(seconds);
    return formatString(u"%02d:%02d", s / 60, s % 60);
}

UString formatPercentTenths(int tenths)
{
    return formatString(u"%d%s%d%%", tenths / 10, currentText(STR_DECIMALSEPARATOR), tenths % 10);
}

UString getGameId() { return GameInfo::GAME_ID; }

std::string getDataArchiveName() { return ResourceCatalogue::archiveFileName(ResourceCatalogue::Archive::Main); }

std::string getDataFolder()
{
    const Kiv* engine = Kiv::instance();
    if (engine != nullptr && !engine->dataFolder.empty()) {
        return engine->dataFolder;
    }
    const std::string program = wideToUtf8(Process::executablePath());
    const std::size_t slash = program.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : program.substr(0, slash + 1);
}
