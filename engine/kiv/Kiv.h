#pragma once
// The engine object: one per process (Kiv::instance()), created by the shell before the game and deleted
// after it. It builds every engine service in a fixed order, reads the two configuration files, and runs
// one frame per loop step: the engine-mode check, input, the root context's tick and drawing, the frame
// wait. Its fields are the engine's shared state (time, frame counter, settings, current context).
#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/UString.h"
#include "engine/files/MemoryIniFile.h"

class Console;
class Context;
class FileManager;
class FontGDI;
class HttpWorkers;
class KivAudio;
class KivGraphics;
class KivInput;
class KivNetwork;
class KivTimer;
class Language;
class Logger;
class PointerDispatcher;
class ResourceManager;
class TimeKeeper;

class Kiv {
public:
    // Engine modes: frozen (minimised; nothing ticks or draws), paused (no focus; ticks only with
    // bTickWhilePaused), running.
    enum Mode { MODE_FROZEN = 1, MODE_PAUSED = 2, MODE_RUNNING = 3 };

    using LanguageCreate = Language* (*)();
    using LanguageDestroy = void (*)(Language*);
    // The game's language object is made through these; set them before building the engine.
    static void setLanguageFactory(LanguageCreate create, LanguageDestroy destroy);

    // Where the user files (log, ".cfg", crash files) and the data (static configuration, archives) are
    // found. Empty means the standard places: the user data folder, and the folder of the program file.
    // Tests point them at temporary folders.
    static void setFolders(const std::string& userFolder, const std::string& dataFolder);

    // continueLog: the engine is rebuilt within the same process (a restart), so its log file is appended
    // to rather than started afresh.
    explicit Kiv(bool continueLog = false);
    ~Kiv();
    Kiv(const Kiv&) = delete;
    Kiv& operator=(const Kiv&) = delete;

    static Kiv* instance();
    // The running engine's input, or null when no engine runs.
    static KivInput* currentInput();

    // One iteration of the main loop with the root context (null before the game has one).
    void frame(Context* root);
    // Writes ".cfg" (the engine's settings, defaultLanguage among them).
    void saveConfig();
    void setEngineMode(int mode);
    // The root context is going away: mode and input-mode changes reach no objects until the next frame.
    void forgetRoot()
    {
        lastRoot = nullptr;
        currentContext = nullptr;
    }

    // Tests: every ticking frame advances the time by exactly `step` seconds and never waits (0 = real time).
    void setFixedStep(double step) { fixedStep = step; }

    // Services, in their construction order.
    std::unique_ptr<Logger> logger;
    TimeKeeper* timeKeeper = nullptr;
    FileManager* fileManager = nullptr;
    ResourceManager* resourceManager = nullptr;
    PointerDispatcher* pointerDispatcher = nullptr;
    KivInput* input = nullptr;
    KivGraphics* graphics = nullptr; // null without a window
    KivAudio* audio = nullptr;
    FontGDI* systemFont = nullptr;
    Console* console = nullptr;
    KivNetwork* network = nullptr;
    Language* language = nullptr;
    KivTimer* timer = nullptr;
    // The HTTP requests' worker threads: cancelled and joined first at shutdown.
    std::unique_ptr<HttpWorkers> httpWorkers;

    // Configuration: ".cfg.static" (read only) and ".cfg" (rewritten by saveConfig).
    MemoryIniFile staticConfig;
    MemoryIniFile config;
    std::string userFolder; // with a trailing "/"
    std::string dataFolder; // with a trailing "/": the folder of the program file

    // Settings.
    UString languageMask;        // ".cfg.static" [Language]; empty admits every language
    int singleLanguage = 0;      // ".cfg.static" [Language]; 0 or more forces that language (missing: 0)
    int defaultLanguage = -2;    // ".cfg" [Kiv]; -2 detect, another negative asks, 0 or more that language
    bool bEnableDelayedLoad = false;
    bool bEmulateLocalhost = false;
    bool bTickWhilePaused = false;
    bool bHoliday = false;       // ".cfg.static" [Edition]
    int hq2x = 1;                // ".cfg.static" [Graphics]; 2 selects the double-resolution data
    UString webHost;             // ".cfg.static" [Network]
    bool bSafeMode = false;      // "-safe" on the command line
    std::uint32_t debugLevel = 0; // debug drawing bits; 0x200 draws the network role's overlay

    // State.
#ifdef TOBBLE_RELEASE
    bool bRelease = true;
#else
    bool bRelease = false;
#endif
    int engineMode = MODE_RUNNING;
    bool bApplicationActive = true;
    int deviceClass = 1;         // 1 tablet or desktop (large screen), 0 phone
    std::uint32_t frameCounter = 0;
    double time = 0.0;           // running time in seconds
    double frameTime = 0.0;      // this frame's time step
    double maxFrameStep = 0.1;   // the longest step a frame may take
    double frameRate = 0.0;      // measured frames per second
    Context* currentContext = nullptr;

private:
    void readConfig();
    // What an integer setting outside low..high becomes: the nearest bound, or the default.
    enum class OutOfRange { NEAREST, DEFAULT };
    // An integer setting held to low..high; a value that cannot be read as a number gets the default. Both are
    // logged.
    static int getIntInRange(MemoryIniFile& ini, const char16_t* section, const char16_t* key, int defaultValue,
                             int low, int high, OutOfRange outOfRange = OutOfRange::NEAREST);
    // A "Yes"/"No" setting; any other value gets the default, logged.
    static bool getBoolSetting(MemoryIniFile& ini, const char16_t* section, const char16_t* key, bool defaultValue);
    // "Warning: <section> <key>=<value> <problem>; using <used>." from the reading method (a long value
    // shortened); the problem says why the value is not used ("is out of range", "cannot be read").
    static void logReplacedSetting(const char* reader, const char16_t* section, const char16_t* key,
                                   const UString& value, UStringView problem, const UString& used);
    void startGraphics();
    void dispatchPointer(Context* root);
    // Every object of the tree under the root of the last frame, parents before children.
    template <class Fn>
    void forEachObject(Fn fn);

    Context* lastRoot = nullptr;
    void logSystemInformation();
    bool frameTicks() const;
    void updateEngineMode();

    bool bKeepConfigFile = false; // ".cfg" exists but could not be read: not saved over
    double fixedStep = 0.0;
    double lastFrameStart = -1.0;
    double rateWindowStart = 0.0;
    int rateWindowFrames = 0;
};
