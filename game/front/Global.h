#pragma once
// The game's process-wide object: created right after the engine and deleted right before it. It owns the
// user records (configuration and high scores, the players), the root screen stack, the bitmap fonts, the
// GUI themes, the shared intro backdrop and snowfall, the holder of every loaded resource and the exit
// link. It runs the two start-up phases around the loading screen, pushes the user's settings into the
// engine and saves the user data.
#include <string>

#include "engine/core/MathUtil.h" // angleDifference
#include "engine/core/UString.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileManager.h"

class ContextIntro;
class ContextManager;
class ContextSnow;
class FontQuad;
class GUIthemeMinimal;
class GUIthemeStandard;
class KivBase;

class Global {
public:
    // Loads the configuration and the players; every pointer stays null until the start-up phases.
    Global();
    // Deletes the screens' shared parts, the stack and every loaded resource; the records then save
    // themselves.
    virtual ~Global();
    Global(const Global&) = delete;
    Global& operator=(const Global&) = delete;

    // The one Global of the process (null while there is none).
    static Global* instance();
    static void setInstance(Global* global);

    // Queues the game's first real screen (the main menu) on the stack; called once by initPostLoader.
    virtual void createContexts() = 0;

    // Before the loader: class registry, main archive, the loading screen's textures, the stack and the
    // loader on it.
    void initPreLoader();
    // After the last loading step: themes, intro backdrop and snowfall, the main menu, story text and splash.
    void initPostLoader();
    // Pushes the frame rate, sound and video options of `config` into the engine; -1, -1 keeps the size.
    void applySettings(int width = -1, int height = -1);
    // Writes the players, the configuration and the engine's ".cfg".
    void saveUserData();

    // Folder of the data archives with a trailing "/" plus the main archive's name.
    static std::string getDataArchivePath();
    // A volume level of the configuration (0 to 24) on the audio layer's 0 to 10000 scale.
    static int volumeLevelToScale(int level);

    GameConfiguration config;
    ProfileManager profiles;

    // Created and registered by the loader; they hang under resourceHolder.
    FontQuad* fontTiny = nullptr;
    FontQuad* fontSmall = nullptr;
    FontQuad* fontSmallOutline = nullptr;
    FontQuad* fontMedium = nullptr;
    FontQuad* fontMediumOutline = nullptr;
    FontQuad* fontLarge = nullptr;

    ContextManager* contextManager = nullptr; // owned
    ContextIntro* contextIntro = nullptr;     // owned; the backdrop of the front-end screens
    ContextSnow* contextSnow = nullptr;       // owned; the snowfall over the front-end screens
    GUIthemeStandard* themeStandard = nullptr; // owned
    GUIthemeMinimal* themeMinimal = nullptr;   // owned
    KivBase* resourceHolder = nullptr;        // owned; parent of every loaded texture, font and sound
    UString exitUrl;                          // opened in the browser after shutdown when not empty
    int highlightedHighScore = -1;            // the high-score row drawn highlighted; -1 none
    // The program option "-editor": levels load for editing (F4 plays them, Ctrl+S saves them).
    bool bEditorAllowed = false;

private:
    void createThemes();
    void deleteThemes();
};

// The number with the current language's thousands separator between groups of three digits.
UString formatNumber(long long value);
// "%02d:%02d" minutes and seconds of the whole seconds; beyond the int range a time is held at its ends, and
// one that is no number reads 00:00.
UString formatMinutesSeconds(double seconds);
// Tenths of a percent as "12.3%" with the current language's decimal separator.
UString formatPercentTenths(int tenths);

// "TobbleXmasdemo": names the user files, the log and the archives.
UString getGameId();
// The game id plus ".dat".
std::string getDataArchiveName();
// The folder of the program file (or the engine's data folder when one is set) with a trailing "/".
std::string getDataFolder();
