#pragma once
// Editing one loaded level, for a program started with "-editor": the level loads with editing on (its
// start-up set-up waits); F4 switches editing off, which runs the set-up once and starts a play test, and
// on again (the level then stands still). Ctrl+S writes the level to "levels/" in the user folder under
// its own file name, but only while the level has not been played since it was loaded, so that no set-up
// object or play state is ever saved. The level manager reads a level from there when it exists.
#include <string>

#include "engine/core/UString.h"

class GameServer;
class KivInput;

class EditorSession {
public:
    // levelFile: the archive name the level was loaded under ("./levels/b1.lev"); empty for a level
    // held only in memory, which cannot be saved.
    explicit EditorSession(const UString& levelFile);

    // True when the program was started with "-editor".
    static bool isAllowed();
    // Where an edited level of that archive name is kept: <user folder>levels/<file name>.
    static std::string savedLevelPath(UStringView levelFile);

    // The keys, once per frame, with the level's role current.
    void tick(GameServer& server, const KivInput& input);
    // Switches editing off (the first time: the level-start set-up runs) or on again. A level the user
    // saved whose set-up fails is not played: the reason goes to the log and on the screen, and the level
    // stands still until it ends, back to the world map, once the reason has been shown; the world map books
    // no run.
    void toggleEditing(GameServer& server);
    // Writes the level as the user files are written (temporary file synced, then renamed over the old one
    // or over the file a link names), after closing the menu open over it (the pause menu); false when it
    // was played since loading, has no file name, when the copy there could not be used and is kept where
    // it is in this run, or when it cannot be written. The outcome goes to the console and on the screen.
    bool save(GameServer& server);
    // The level's saved copy could not be used (why), and the archive's level is edited instead: the copy
    // was kept aside as the damaged user files are (keptAside), or, when it could not be, is left where it
    // is. Said on the screen when the level starts.
    void savedCopyRefused(const UString& why, bool keptAside);
    // Writes an outcome of the editor to the console (or the log) and shows it on the level's message line,
    // in the room the editor's panel leaves on the screen (beside the panel while one is shown), drawn
    // smaller when wider than that; answers how long it stays there (seconds; 0 without a level).
    static double report(const UString& line);

    UString levelFile;
    bool bPlayed = false;

private:
    void endUnplayable(GameServer& server, const UString& why);

    UString startMessage;  // shown once the level runs
    bool bEnding = false;  // the level ends at endTime on its role's clock
    double endTime = 0.0;
};
