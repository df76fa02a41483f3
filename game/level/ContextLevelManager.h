#pragma once
// The screen that owns one running level: it builds the game server, reads the level file from the level
// archive and replays it into the server, then ticks and draws the server each frame. When the level's
// result code becomes non-zero it stops the music and finishes; its creator reads the code and the run's
// statistics, then deletes it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
    // The level's result codes; 0 while it runs. The play test of an edited level whose set-up was refused
    // ends with RESULT_NOT_PLAYED: the level was never played.
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
    // The level's editor layer takes the pointer (panel fields, level objects) while the level is edited.
    KivBase* findObjectUnderPointer(const V3& point) override;

    // 0 while the level runs, then one of Result.
    int getResultCode() const;
    // The level's root object and controller (null when the stream held none).
    MyRootObject* getRoot() const;
    GameController* getGameController() const;
    // The statistics of the run (null without a controller).
    const LevelStats* getLevelStats() const;

    GameServer* server = nullptr; // owned
    // Present when the program was started with "-editor": the level loads with editing on.
    std::unique_ptr<EditorSession> editSession;

private:
    void createServer();
    void load(const UString& fileName);
    // The level as saved by the editor, when there is one and it can be played; false otherwise. A copy
    // that cannot be read or played is left in place, with a log line that names it and says why, and
    // kept as the damaged user files are: copied to <copy>.bad, which no save replaces, or, when it could
    // not be read or copied, saved over by nothing in this run. The editor says so on the screen.
    bool loadSaved(const UString& fileName);
    // bytes: what was read of the copy; null when it could not be read.
    void refuseSaved(const std::string& path, const UString& why, const std::vector<std::uint8_t>* bytes);
    // Reads a stream from outside into the server, checks it and sets it up. Answers why it cannot be
    // played (the server is then a new, empty one) or nothing when it is played.
    UString playUntrusted(Packet& stream);
    // Why the loaded level cannot be played (no root, no controller, a layer or list missing, not where the
    // controller keeps it or standing for another list too, a list holding an object of another kind, no
    // pig or house, a menu open), naming the layer or list; empty when it can.
    UString whyNotPlayable() const;
    void replay(Packet& stream);

    // Deletes the server with the manager, also when making the manager stops half-way.
    struct ServerOwner {
        GameServer*& server;
        ~ServerOwner();
    } serverOwner{server};
};
