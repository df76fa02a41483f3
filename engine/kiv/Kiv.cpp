#include "engine/kiv/Kiv.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <chrono>
#include <thread>
#include <vector>

#include "engine/audio/KivAudio.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/core/KivRandom.h"
#include "engine/core/Process.h"
#include "engine/core/TimeKeeper.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/files/UserDataFolder.h"
#include "engine/http/HttpWorkers.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/KivTimer.h"
#include "engine/net/KivNetwork.h"
#include "engine/platform/CrashHandler.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/platform/ProcessTools.h"
#include "engine/platform/SystemInfo.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/text/Console.h"
#include "engine/text/FontGDI.h"
#include "engine/text/FontQuad.h"

namespace {
Kiv* gKiv = nullptr;
Kiv::LanguageCreate gCreateLanguage = nullptr;
Kiv::LanguageDestroy gDestroyLanguage = nullptr;
std::string gUserFolderOverride;
std::string gDataFolderOverride;

constexpr const char16_t* CONFIG_WARNING = u"Do NOT modify this file unless you are explicitly instructed to do so!";
constexpr const char16_t* ENGINE_SECTION = u"Kiv";
constexpr const char16_t* GRAPHICS_SECTION = u"KivGraphics";
// Ranges of the numbers of the configuration files.
constexpr int MAX_LANGUAGE = 63;
constexpr int MIN_VIDEO_WIDTH = 320;
constexpr int MIN_VIDEO_HEIGHT = 240;
constexpr int MAX_VIDEO_SIZE = 16384;
// A setting's value quoted in a warning keeps at most this many characters.
constexpr std::size_t QUOTED_VALUE_LENGTH = 40;

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// "Starting..." and "Started." around a service whose class does not say so itself.
template <class Make>
auto startService(const char* constructorName, Make make)
{
    Logger::logFrom(constructorName, u"Starting...");
    auto service = make();
    Logger::logFrom(constructorName, u"Started.");
    return service;
}

// The network role's overlay: its lines from the top-left corner at the position, in the bitmap font that
// the role's owner passes.
void drawOverlayText(const V3& position, void* font, const UString& text)
{
    auto* bitmapFont = static_cast<FontQuad*>(font);
    if (bitmapFont == nullptr || KivGraphics::instance() == nullptr) {
        return;
    }
    V3 at = position;
    for (const UString& line : splitLines(text)) {
        bitmapFont->print(at, UColor(0xFFFFFFFFu), 0x03, line);
        at.y -= static_cast<float>(bitmapFont->getScaledLineHeight());
    }
}

// Digits with an optional minus sign: a number, if one too large for its setting.
bool isWholeNumber(UStringView text)
{
    const std::size_t first = !text.empty() && text[0] == u'-' ? 1 : 0;
    return text.size() > first &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(),
                       [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::string crashFileName(const char* extension) { return "crash." + wideToUtf8(GameInfo::GAME_ID) + extension; }
} // namespace

void Kiv::setLanguageFactory(LanguageCreate create, LanguageDestroy destroy)
{
    gCreateLanguage = create;
    gDestroyLanguage = destroy;
}

void Kiv::setFolders(const std::string& user, const std::string& data)
{
    gUserFolderOverride = withSlash(user);
    gDataFolderOverride = withSlash(data);
}

template <class Fn>
void Kiv::forEachObject(Fn fn)
{
    if (lastRoot == nullptr) {
        return;
    }
    // Collected first: a handler may change the tree.
    std::vector<KivBase*> objects;
    std::vector<KivBase*> pending{lastRoot};
    while (!pending.empty()) {
        KivBase* object = pending.back();
        pending.pop_back();
        objects.push_back(object);
        for (KivBase* child = object->getLastChild(); child != nullptr; child = child->getPrev()) {
            pending.push_back(child);
        }
    }
    for (KivBase* object : objects) {
        fn(object);
    }
}

Kiv* Kiv::instance() { return gKiv; }

KivInput* Kiv::currentInput() { return gKiv != nullptr ? gKiv->input : nullptr; }

Kiv::Kiv(bool continueLog)
{
    KIV_ASSERT(gKiv == nullptr);
    gKiv = this;
    httpWorkers = std::make_unique<HttpWorkers>();

    UString folderProblem;
    userFolder = gUserFolderOverride.empty() ? withSlash(wideToUtf8(createUserDataFolder(&folderProblem)))
                                             : gUserFolderOverride;
    dataFolder = gDataFolderOverride.empty() ? SystemInfo::executableFolder() : gDataFolderOverride;
    const std::string logName = wideToUtf8(GameInfo::GAME_ID) + ".log";
    logger = std::make_unique<Logger>(userFolder, logName, crashFileName(".log"),
                                      continueLog ? Logger::Start::APPEND : Logger::Start::FRESH);
    CrashHandler::setPaths(userFolder + crashFileName(".mdmp"), logger->path(), logger->crashPath());

    Logger::logFrom("Kiv::Kiv", u"Starting...");
    Logger::logFrom("Kiv::Kiv", u"KIV engine - %s", GameInfo::COMPANY);
    Logger::logFrom("Kiv::Kiv", u"Version: %s", getVersionString());
    if (!folderProblem.empty()) {
        reportUserDataFolderProblem(folderProblem);
    }
    // A save cut short (a crash, a power loss) leaves its temporary file behind; the file it was to
    // replace is whole.
    // The editor saves its levels the same way, into "levels/".
    for (const std::string folder : {"", "levels/"}) {
        for (const std::string& name : FileIO::removeInterruptedWrites(userFolder + folder)) {
            Logger::logFrom("Kiv::Kiv", u"Removed '%s', left by an interrupted save.", folder + name);
        }
    }
    Logger::logFrom("Kiv::Kiv", u"Data folder: '%s'", dataFolder);
    logSystemInformation();

    Logger::logFrom("ErrorManager::ErrorManager", u"Starting...");
    ErrorManager::PlatformHooks hooks;
    hooks.saveCrashScreenshot = [this] {
        if (graphics != nullptr) {
            graphics->saveCrashScreenshot(userFolder + crashFileName(".jpg"));
        }
        if (network != nullptr) {
            network->writeCrashFile(userFolder + crashFileName(".net"));
        }
    };
    hooks.restoreDisplay = [] {
        if (PlatformWindow* window = PlatformWindow::instance()) {
            window->restoreWindowed();
        }
    };
    hooks.messageBox = [](const UString& title, const UString& text) { PlatformWindow::showMessageBox(title, text); };
    ErrorManager::setPlatformHooks(std::move(hooks));
    Logger::logFrom("ErrorManager::ErrorManager", u"Started.");

    timeKeeper = startService("TimeKeeper::TimeKeeper", [] { return new TimeKeeper(); });
    KivRandom::seedFromClock();
    fileManager = startService("FileManager::FileManager", [] { return new FileManager(); });
    fileManager->dataFolder = dataFolder;

    readConfig();
    fileManager->renderMode = hq2x;
    bSafeMode = Process::hasArgument(u"-safe");
    if (bSafeMode) {
        Logger::logFrom("Kiv::Kiv", u"Safe mode.");
    }

    resourceManager = startService("ResourceManager::ResourceManager", [] { return new ResourceManager(); });
    pointerDispatcher = startService("PointerDispatcher::PointerDispatcher", [] { return new PointerDispatcher(); });
    input = new KivInput();
    input->onInputModeChange = [this] { forEachObject([](KivBase* object) { object->onInputModeChange(); }); };
    startGraphics();
    audio = new KivAudio();
    if (graphics != nullptr) {
        systemFont = startService("FontGDI::FontGDI", [] { return new FontGDI(u"Arial", 12); });
    }
    console = startService("Console::Console", [this] { return new Console(systemFont); });
    network = new KivNetwork();
    network->bEmulateLocalhost = bEmulateLocalhost;
    network->hooks.frameTimeStep = [this] { return frameTime; };
    network->hooks.isRelease = [this] { return bRelease; };
    network->hooks.isKeyDown = [this](int code) { return input != nullptr && input->isDown(code); };
    network->hooks.drawCounter = [this] {
        return graphics != nullptr ? static_cast<uint32_t>(graphics->getDrawCount()) : 0u;
    };
    network->hooks.debugLevel = [this] { return debugLevel; };
    network->hooks.drawText = &drawOverlayText;

    if (gCreateLanguage != nullptr) {
        language = startService("Language::Language", [] { return gCreateLanguage(); });
    }

    timer = new KivTimer();
    rateWindowStart = KivTimer::now();
    Logger::logFrom("Kiv::Kiv", u"Started.");
}

Kiv::~Kiv()
{
    httpWorkers.reset();
    saveConfig();
    delete timer;
    timer = nullptr;
    if (language != nullptr && gDestroyLanguage != nullptr) {
        gDestroyLanguage(language);
    }
    language = nullptr;
    delete network;
    network = nullptr;
    delete console;
    console = nullptr;
    delete systemFont;
    systemFont = nullptr;
    delete audio;
    audio = nullptr;
    delete graphics;
    graphics = nullptr;
    delete input;
    input = nullptr;
    delete pointerDispatcher;
    pointerDispatcher = nullptr;
    delete resourceManager;
    resourceManager = nullptr;
    delete fileManager;
    fileManager = nullptr;
    delete timeKeeper;
    timeKeeper = nullptr;
    ErrorManager::setPlatformHooks({});
    CrashHandler::setPaths({}, {}, {});
    logger.reset();
    gKiv = nullptr;
}

void Kiv::readConfig()
{
    const std::string staticPath = dataFolder + ".cfg.static";
    if (!staticConfig.load(staticPath)) {
        Logger::logFrom("Kiv::readConfig", u"No static configuration '%s'; using the defaults.", staticPath);
    }
    languageMask = staticConfig.getString(u"Language", u"languageMask", u"");
    singleLanguage = getIntInRange(staticConfig, u"Language", u"singleLanguage", 0, -1, MAX_LANGUAGE);
    bHoliday = getBoolSetting(staticConfig, u"Edition", u"bHoliday", false);
    hq2x = getIntInRange(staticConfig, u"Graphics", u"hq2x", 1, 1, 2);
    webHost = staticConfig.getString(u"Network", u"webHost", u"localhost");

    const std::string path = userFolder + ".cfg";
    bKeepConfigFile = false;
    if (!config.load(path)) {
        const int err = errno;
        if (err != ENOENT) {
            // It may hold the player's settings: neither read nor replaced in this run.
            bKeepConfigFile = true;
            Logger::logFrom("Kiv::readConfig",
                            u"Warning: Could not read '%s' (errno %d:%s); using the defaults, and the file is left "
                            u"as it is.",
                            path, err, std::strerror(err));
        }
    } else if (const int line = config.firstUnparsedLine(); line != 0) {
        Logger::logFrom("Kiv::readConfig", u"Warning: '%s' could not be parsed (line %d); it will be replaced.", path,
                        line);
        std::vector<std::uint8_t> bytes;
        if (!FileIO::readWholeFile(path, bytes, MemoryIniFile::MAX_FILE_SIZE) ||
            !FileManager::keepDamagedCopy(path, bytes)) {
            bKeepConfigFile = true;
        }
    }
    // -2 detects the language; any other negative asks with the flag screen.
    defaultLanguage = getIntInRange(config, ENGINE_SECTION, u"defaultLanguage", -2, std::numeric_limits<int>::min(),
                                    MAX_LANGUAGE);
    bEnableDelayedLoad = getBoolSetting(config, ENGINE_SECTION, u"bEnableDelayedLoad", false);
    bEmulateLocalhost = getBoolSetting(config, ENGINE_SECTION, u"bEmulateLocalhost", false);
    bTickWhilePaused = getBoolSetting(config, ENGINE_SECTION, u"bTickWhilePaused", false);
}

int Kiv::getIntInRange(MemoryIniFile& ini, const char16_t* section, const char16_t* key, int defaultValue, int low,
                       int high, OutOfRange outOfRange)
{
    const int value = ini.getInt(section, key, defaultValue); // a missing key is written with the default
    const UString used = formatString(u"%d", defaultValue);
    if (!ini.findInt(section, key)) {
        const UString stored = ini.getString(section, key);
        logReplacedSetting("Kiv::getIntInRange", section, key, stored,
                           isWholeNumber(stored) ? u"is out of range" : u"cannot be read", used);
        return defaultValue;
    }
    if (value >= low && value <= high) {
        return value;
    }
    const int kept = outOfRange == OutOfRange::DEFAULT ? defaultValue : std::clamp(value, low, high);
    logReplacedSetting("Kiv::getIntInRange", section, key, formatString(u"%d", value), u"is out of range",
                       formatString(u"%d", kept));
    return kept;
}

bool Kiv::getBoolSetting(MemoryIniFile& ini, const char16_t* section, const char16_t* key, bool defaultValue)
{
    const bool value = ini.getBool(section, key, defaultValue); // a missing key is written with the default
    if (!ini.findBool(section, key)) {
        logReplacedSetting("Kiv::getBoolSetting", section, key, ini.getString(section, key), u"cannot be read",
                           defaultValue ? u"Yes" : u"No");
    }
    return value;
}

void Kiv::logReplacedSetting(const char* reader, const char16_t* section, const char16_t* key, const UString& value,
                             UStringView problem, const UString& used)
{
    // The value as the file holds it, shortened and with its control characters escaped: one short line.
    Logger::logFrom(reader, u"Warning: %s %s=%s %s; using %s.", section, key,
                    escapeControls(shortened(value, QUOTED_VALUE_LENGTH)), problem, used);
}

void Kiv::saveConfig()
{
    config.setInt(ENGINE_SECTION, u"defaultLanguage", defaultLanguage);
    config.setBool(ENGINE_SECTION, u"bEnableDelayedLoad", bEnableDelayedLoad);
    config.setBool(ENGINE_SECTION, u"bEmulateLocalhost", bEmulateLocalhost);
    config.setBool(ENGINE_SECTION, u"bTickWhilePaused", bTickWhilePaused);
    if (graphics != nullptr && !bSafeMode) {
        config.setInt(GRAPHICS_SECTION, u"videoModeWidth", graphics->videoModeWidth);
        config.setInt(GRAPHICS_SECTION, u"videoModeHeight", graphics->videoModeHeight);
        config.setBool(GRAPHICS_SECTION, u"bFullScreen", graphics->bFullScreen);
        config.setBool(GRAPHICS_SECTION, u"bAllowLetterbox", graphics->bLetterbox);
        config.setBool(GRAPHICS_SECTION, u"bBilinearFilter", graphics->bBilinearFilter);
        config.setBool(GRAPHICS_SECTION, u"bUseVSync", graphics->bVSync);
        config.setBool(GRAPHICS_SECTION, u"bEnableFontCache", graphics->bEnableFontCache);
        config.setBool(GRAPHICS_SECTION, u"bSimulate256x256TextureHW", graphics->bSimulate256x256TextureHW);
    }
    if (bKeepConfigFile) {
        Logger::logFrom("Kiv::saveConfig", u"'%s' could not be read in this run; not saved over.", userFolder + ".cfg");
        return;
    }
    if (!config.save(userFolder + ".cfg", CONFIG_WARNING)) {
        const int err = errno;
        Logger::logFrom("Kiv::saveConfig", u"Warning: could not write '%s'.", userFolder + ".cfg");
        FileManager::reportFailedSave(userFolder + ".cfg", err);
    }
}

void Kiv::startGraphics()
{
    PlatformWindow* window = PlatformWindow::instance();
    if (window == nullptr) {
        return;
    }
    KivGraphics::Settings settings;
    // A size with an axis out of range or unreadable is no size the player chose: the default, which fits
    // every screen, replaces both axes.
    const KivGraphics::Settings defaults;
    struct Axis {
        const char16_t* key;
        int low;
        int fallback;
        int& value;
        bool usable = false;
    };
    Axis axes[] = {{u"videoModeWidth", MIN_VIDEO_WIDTH, defaults.videoModeWidth, settings.videoModeWidth},
                   {u"videoModeHeight", MIN_VIDEO_HEIGHT, defaults.videoModeHeight, settings.videoModeHeight}};
    for (Axis& axis : axes) {
        axis.value =
            getIntInRange(config, GRAPHICS_SECTION, axis.key, axis.fallback, axis.low, MAX_VIDEO_SIZE, OutOfRange::DEFAULT);
        // Usable when what is stored is what was taken.
        axis.usable = config.findInt(GRAPHICS_SECTION, axis.key) == axis.value;
    }
    for (Axis& axis : axes) {
        const Axis& other = &axis == &axes[0] ? axes[1] : axes[0];
        if (!other.usable && axis.value != axis.fallback) {
            logReplacedSetting("Kiv::startGraphics", GRAPHICS_SECTION, axis.key, formatString(u"%d", axis.value),
                               formatString(u"goes with an unusable %s", other.key), formatString(u"%d", axis.fallback));
            axis.value = axis.fallback;
        }
    }
    settings.bFullScreen = getBoolSetting(config, GRAPHICS_SECTION, u"bFullScreen", settings.bFullScreen);
    settings.bAllowLetterbox = getBoolSetting(config, GRAPHICS_SECTION, u"bAllowLetterbox", settings.bAllowLetterbox);
    settings.bBilinearFilter = getBoolSetting(config, GRAPHICS_SECTION, u"bBilinearFilter", settings.bBilinearFilter);
    settings.bUseVSync = getBoolSetting(config, GRAPHICS_SECTION, u"bUseVSync", settings.bUseVSync);
    settings.bEnableFontCache =
        getBoolSetting(config, GRAPHICS_SECTION, u"bEnableFontCache", settings.bEnableFontCache);
    settings.bSimulate256x256TextureHW =
        getBoolSetting(config, GRAPHICS_SECTION, u"bSimulate256x256TextureHW", settings.bSimulate256x256TextureHW);
    settings.bReleaseBuild = bRelease;
    if (bSafeMode) {
        // Safe settings: a small window with nothing the driver might refuse.
        const KivGraphics::Settings safe;
        settings = safe;
        settings.bUseVSync = false;
        settings.bReleaseBuild = bRelease;
    }
    settings.display = window->displayArea();
    graphics = new KivGraphics(window->sdlWindow(), settings);
    graphics->setScreenshotFolder(userFolder);
}

void Kiv::logSystemInformation()
{
    utsname un{};
    if (uname(&un) == 0) {
        Logger::logFrom("Kiv::logSystemInformation", u"System: %s %s %s", un.sysname, un.release, un.machine);
    }
    Logger::logFrom("Kiv::logSystemInformation", u"Processors: %d", static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)));
    struct sysinfo si {};
    if (sysinfo(&si) == 0) {
        const unsigned long long mb = static_cast<unsigned long long>(si.totalram) * si.mem_unit / (1024ull * 1024ull);
        Logger::logFrom("Kiv::logSystemInformation", u"Memory: %u MB", static_cast<unsigned>(mb));
    }
    Logger::logFrom("Kiv::logSystemInformation", u"Language: '%s'", SystemInfo::localeIsoCode());
    std::string processes;
    for (const std::string& name : ProcessTools::runningProcessNames()) {
        processes += processes.empty() ? name : ", " + name;
    }
    Logger::logFrom("Kiv::logSystemInformation", u"Processes: %s", processes);
}

void Kiv::dispatchPointer(Context* root)
{
    // Pointer events go to the top screen: the root's last child, or the root when it has none.
    Context* top = root;
    if (root != nullptr) {
        for (KivBase* child = root->getLastChild(); child != nullptr; child = child->getPrev()) {
            if (auto* screen = dynamic_cast<Context*>(child); screen != nullptr && !screen->bDeleted) {
                top = screen;
                break;
            }
        }
    }
    pointerDispatcher->dispatch(top, top != nullptr ? top->pointer : input->pointer, input->getTouchFlag(0));
    if (input->getButtonPress() != 0 || input->typedChar != 0) {
        pointerDispatcher->sendKey(input->getButtonPress());
    }
}

void Kiv::setEngineMode(int mode)
{
    if (mode == engineMode) {
        return;
    }
    const int from = engineMode;
    engineMode = mode;
    forEachObject([from, mode](KivBase* object) { object->onKIVmodeChange(from, mode); });
}


void Kiv::updateEngineMode()
{
    const PlatformWindow* window = PlatformWindow::instance();
    if (window == nullptr) {
        bApplicationActive = true;
        setEngineMode(MODE_RUNNING);
        return;
    }
    bApplicationActive = window->hasFocus();
    setEngineMode(window->isMinimized() ? MODE_FROZEN : bApplicationActive ? MODE_RUNNING : MODE_PAUSED);
    // Seam: the graphics device's lost-device reset happens here.
}

bool Kiv::frameTicks() const
{
    return engineMode == MODE_RUNNING || (engineMode == MODE_PAUSED && bTickWhilePaused);
}

void Kiv::frame(Context* root)
{
    lastRoot = root;
    updateEngineMode();
    const double start = KivTimer::now();
    const double realStep = lastFrameStart < 0.0 ? 0.0 : std::min(start - lastFrameStart, maxFrameStep);
    lastFrameStart = start;
    audio->update(fixedStep > 0.0 ? fixedStep : realStep);

    if (timeKeeper != nullptr) {
        timeKeeper->setFrozen(engineMode == MODE_FROZEN);
    }
    if (engineMode == MODE_FROZEN) {
        // Nothing to show while minimised: give the time back instead of spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(fixedStep > 0.0 ? 0 : 50));
        input->endFrame();
        ++frameCounter;
        return;
    }

    const bool ticking = frameTicks();
    if (ticking) {
        frameTime = fixedStep > 0.0 ? fixedStep : realStep;
        time += frameTime;
        input->poll(time);
        Context::setInputPointer(input->pointer.x,
                                 static_cast<float>(graphics != nullptr ? graphics->height : 0) - input->pointer.y);
        currentContext = root;
        if (root != nullptr) {
            root->tick(time, frameTime);
        }
        dispatchPointer(root);
        console->tick(time, frameTime);
    }
    if (graphics != nullptr) {
        graphics->beginScene();
        if (root != nullptr) {
            currentContext = root;
            root->render();
        }
        if (ticking) {
            graphics->handleScreenshotKey(input->wasKeyPressed(0x43), input->isDown(0x36));
            console->render();
            console->renderDebugOverlay();
            // The frame-time graph belongs to the debug overlay's hook.
        }
        graphics->endScene();
        graphics->present();
    }
    // Paused frames keep the frame period too: drawing without a tick must not spin a core in the background.
    if (fixedStep <= 0.0) {
        timer->wait();
    }
    if (graphics != nullptr) {
        graphics->resetIfPending();
    }

    input->endFrame();
    ++frameCounter;
    ++rateWindowFrames;
    const double now = KivTimer::now();
    if (now - rateWindowStart >= 0.5) {
        frameRate = rateWindowFrames / (now - rateWindowStart);
        rateWindowStart = now;
        rateWindowFrames = 0;
    }
}
