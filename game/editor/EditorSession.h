#pragma once
// Editing one loaded level, for a program started with "-editor": the level loads with editing on (its
// start-up set-up waits). F4 starts a play test: the level as it stands is kept in memory (the bytes
// Ctrl+S would write) and its set-up runs; F4 again puts the kept level back, read as a saved copy is, so
// that editing goes on from the level as edited, unplayed. Ctrl+S writes the level (during a play test the
// one kept when it began) to "levels/" in the user folder under its own file name, once the bytes pass the
// check a saved copy meets when it is loaded. The level manager reads a level from there when it exists.
// Ctrl+S and F4 first take the text still being typed into the panel, as Enter would; while editing, a
// text its field refuses stops them, and the screen says why.
//
// A play test ends as F4 ends it also when its level ends (its results continued, or time up) and by End
// level of its pause menu; its Restart level starts it again from the level kept when it began. Nothing of
// a play test is booked into the player's files. While editing, the session knows whether the level has
// edits that no save holds (Restart level and End level of the pause menu then say that they will be lost).
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/UString.h"
#include "engine/core/V3.h"

class ContextLevelManager;
class GameController;
class GameServer;
class KivInput;

class EditorSession {
public:
    // levelFile: the archive name the level was loaded under ("./levels/b1.lev"); empty for a level
    // held only in memory, which cannot be saved. owner: the level manager playing the level, which puts
    // the level kept for a play test back (without one, editing on again goes on from the level played).
    explicit EditorSession(const UString& levelFile, ContextLevelManager* owner = nullptr);

    // True when the program was started with "-editor".
    static bool isAllowed();
    // Where an edited level of that archive name is kept: <user folder>levels/<file name>.
    static std::string savedLevelPath(UStringView levelFile);
    // Ctrl+S went down this frame.
    static bool isSaveKey(const KivInput& input);

    // The keys, once per frame, with the level's role current.
    void tick(GameServer& server, const KivInput& input);
    // Editing off: the level as it stands is kept and its set-up runs, starting a play test; a level that
    // would not load again is not played, nor one whose set-up fails (the kept level is put back), and the
    // screen says why. Editing on: the kept level is put back (the owner's server is then a new one) and
    // the object edited before is edited again, its panel where it stood.
    void toggleEditing(GameServer& server);
    // The level played in a play test set its result code (its end continued, End level or Restart level):
    // Restart level starts the play test again from the level kept when it began, any other code ends it as
    // F4 does. The owner's server is then a new one; when the kept level cannot be read again, the level
    // played stays, standing still, with its result code cleared, and the screen says why.
    void endPlayTest(GameServer& played);
    // The level standing is the one saved: just loaded (or its saved copy refused and the archive's loaded),
    // or just written. Edits are counted from it.
    void rememberSaved(GameServer& server);
    // While editing: the level differs from the one last loaded or saved in what a save would write (not
    // in the state clocks that run while it stands, nor in the object numbers an overlay used up), or a
    // panel field holds typed text that would change its value. False during a play test, whose end and
    // restart drop no edit.
    bool hasUnsavedEdits(GameServer& server);
    // Writes the level as the user files are written (temporary file synced, then renamed over the old one
    // or over the file a link names), after closing the menu open over it (the pause menu); during a play
    // test the level kept when it began. False, with the copy saved before left as it was, when the level
    // has no file name, when the copy there could not be used and is kept where it is in this run, when
    // the bytes would not load as a saved copy, or when they cannot be written. The outcome goes to the
    // console and on the screen.
    bool save(GameServer& server);
    // The level's saved copy could not be used (why), and the archive's level is edited instead. keptAs:
    // where the copy was kept aside, as the damaged user files are; empty when it could not be and the
    // copy is left where it is. Said on the screen when the level starts.
    void savedCopyRefused(const UString& why, const std::string& keptAs);
    // Writes an outcome of the editor to the console (or the log) and shows it on the level's message line,
    // in the room the editor's panel leaves on the screen (beside the panel while one is shown), drawn
    // smaller when wider than that; answers how long it stays there (seconds; 0 without a level).
    static double report(const UString& line);
    // The editor's line still standing on the screen, laid out again in the room the panel leaves now (a
    // panel that appeared over it would cover it), while editing.
    static void refitLine();

    // A play test runs: the level as it stood before it is kept.
    bool isPlayTest() const { return !keptLevel.empty(); }

    UString levelFile;

private:
    // The bytes Ctrl+S writes of the level standing now.
    static std::vector<std::uint8_t> levelBytes(GameServer& server);
    // The same bytes with every object's state clock and the role's next object number set aside (written
    // as 0), as two states of a level with the same edits write them; the level is left as it was.
    static std::vector<std::uint8_t> editedState(GameServer& server);
    // Runs the level's set-up with editing off: the play test begins, and `started` goes on the screen. When
    // the set-up fails, the kept level is put back and the screen says why.
    void runPlayTest(GameServer& server, const UString& started);
    // Reads the kept level again into the owner's new server, editing on, and edits the object edited when
    // it was kept again, its panel where it stood; the kept level stays kept. False, with the reason, when
    // it could not be read again (the level played stays).
    bool readKeptAgain(UString& why);
    // Puts the kept level back for editing; false, with the reason, when it could not be read again.
    bool putBackKept(GameServer& server, UString& why);
    // Takes the text still being typed into the editor's panel (ContextEditor::takeTypedText); false, with
    // the field's reason, when it was refused.
    bool takeTypedText(UString& why);
    // Sets the line on the level's message line in the room the panel leaves; how long it stands.
    static double showLine(GameController& level, const UString& line);

    ContextLevelManager* owner;
    std::vector<std::uint8_t> keptLevel; // the level as it stood when the play test began
    std::vector<std::uint8_t> keptState;  // its editedState
    std::vector<std::uint8_t> savedState; // the editedState of the level last loaded or saved
    int32_t keptEdited = 0;               // the UID of the object edited then (0: none)
    V3 keptPanel;                         // where its panel stood
    UString startMessage;                 // shown once the level runs
};
