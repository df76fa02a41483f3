#pragma once
// The screen that owns one running level: it builds the game server, reads the level file from the level
// archive and replays it into the server, then ticks and draws the server each frame. When the level's
// result code becomes non-zero it stops the music and finishes; its creator reads the code and the run's
// statistics, then deletes it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Reference.h"
#include "engine/core/UString.h"
#include "engine/render/Context.h"

class EditorSession;
class GameController;
class GameServer;
class MyRootObject;
class Packet;
struct LevelStats;

class ContextLevelManager : public Context {
public:
    // The level's result codes; 0 while it runs. RESULT_NOT_PLAYED ends a level that was never played:
    // the world map books no run.
    enum Result : int32_t { RESULT_END_LEVEL = 1, RESULT_NOT_PLAYED = 2, RESULT_FINISHED = 5, RESULT_RESTART = 6 };

    // Plays level 0 to 31 ("./levels/....lev"); another number is fatal.
    explicit ContextLevelManager(int levelNumber);
    // Plays the level stored in a file of the level archive (or a loose file).
    explicit ContextLevelManager(const UString& fileName);
    // Plays a level held in memory as a stored replication stream. One marked as coming from outside
    // (Packet::FLAG_PEER) is read as a level the user saved: when it cannot be played, the reason is logged
    // and the manager holds no level.
    explicit ContextLevelManager(Packet& stream);
    ~ContextLevelManager() override;

    void tickContents(double time, double dt) override;
    void renderContents() override;
    // Screens pushed over the level (menu pages opened from its pause menu, the editor's palette) cover it.
    void onActivate(bool firstActivation) override;
    void onDeactivate(bool closing) override;
    // The level's editor layer takes the pointer (panel fields, level objects) while the level is edited.
    KivBase* findObjectUnderPointer(const V3& point) override;

    // 0 while the level runs, then one of Result.
    int getResultCode() const;
    // False for a level loaded for editing ("-editor"): it is left from editing (a play test ends back in
    // the editor), so nothing of it is a run of the player's, and nothing of it is booked.
    bool isPlayersRun() const;
    // The level's root object and controller (null when the stream held none).
    MyRootObject* getRoot() const;
    GameController* getGameController() const;
    // The statistics of the run (null without a controller).
    const LevelStats* getLevelStats() const;

    // Why these bytes, saved by the editor, would not load at the next start (they are decoded, each
    // object's values checked and the level's playability checked, as a saved copy is); empty when they
    // would. They are read into a server of their own, gone before the answer: the current role, the shared
    // random sequence, the level playing, its sounds and the screen stay as they were.
    static UString whyNotLoadable(const std::vector<std::uint8_t>& bytes);
    // Puts back a level the editor kept (the bytes Ctrl+S would write) as a saved copy is read, into a
    // new server with editing on; the level played until then goes once the new one stands. Answers why
    // the bytes could not be read (the level played then stays), or nothing.
    UString restoreEdited(const std::vector<std::uint8_t>& bytes);

    GameServer* server = nullptr; // owned
    // Present when the program was started with "-editor": the level loads with editing on.
    std::unique_ptr<EditorSession> editSession;

private:
    struct CheckOnly {};
    // A manager that only reads a level to check it (whyNotLoadable): editing on, no socket.
    explicit ContextLevelManager(CheckOnly);

    void createServer();
    // The level just loaded is the one saved, for the editor's count of unsaved edits.
    void rememberLoaded();
    // Ctrl+S while the level is covered: the screens over it close, as their Back would close them, and
    // the level is saved as under its pause menu, with the outcome on its line.
    void saveUnderCover();
    // A new, empty server in place of the one read into.
    void renewServer();
    void load(const UString& fileName);
    // The level as saved by the editor, when there is one and it can be played; false otherwise. A copy
    // that cannot be read or played is left in place, with a log line that names it and says why, and
    // kept as the damaged user files are: copied aside to <copy>.bad (or .bad2, .bad3, ...: a name no
    // copy kept before has), or, when it could not be read or copied, saved over by nothing in this run.
    // The editor says so on the screen, naming the copy aside.
    bool loadSaved(const UString& fileName);
    // bytes: what was read of the copy; null when it could not be read.
    void refuseSaved(const std::string& path, const UString& why, const std::vector<std::uint8_t>* bytes);
    // Reads a stream from outside into the server, checks it and sets it up. Answers why it cannot be
    // played (the server is then a new, empty one) or nothing when it is played.
    UString playUntrusted(Packet& stream);
    // The same, leaving in the server what was read when it cannot be played.
    UString readUntrusted(Packet& stream);
    // readUntrusted of the bytes of a saved copy.
    UString readSavedCopy(const std::vector<std::uint8_t>& bytes);
    // Why the loaded level cannot be played (GameController::whyNotPlayable: no root, no controller, a menu
    // open, the root's player list not a list in its place, a layer or list missing, not where the
    // controller keeps it or standing for another list too, a list holding an object of another kind or
    // more objects than can be played, no pig or house), naming the layer or list; empty when it can.
    UString whyNotPlayable() const;
    void replay(Packet& stream);

    // Deletes the server with the manager, also when making the manager stops half-way.
    struct ServerOwner {
        GameServer*& server;
        ~ServerOwner();
    } serverOwner{server};
    bool bCheckOnly = false;
    // The screen stack ticks only its top screen, but its pointer layer under every screen: while the level
    // is covered, a watcher there takes the save key for it.
    class CoveredKeys;
    Reference coveredKeys;
};
