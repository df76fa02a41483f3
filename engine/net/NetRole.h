#pragma once
// The replication role, base of Server and Client: the map of registered objects by UID, the commands that
// create, copy and call them (SPAWNOBJ, SPAWNNAMED, COPYOBJ, RPC, two bits each in the packet's bit
// stream), the outgoing packet of the current replication step and the replication clock.
#include <cstdint>
#include <map>
#include <vector>

#include "engine/net/NetHost.h"
#include "engine/net/ObjectTable.h"
#include "engine/net/Packet.h"

class RPC;
struct V3;

class NetRole : public NetHost {
public:
    static const RuntimeClass classRecord;

    enum Command : uint8_t { SPAWNOBJ = 0, SPAWNNAMED = 1, COPYOBJ = 2, RPCCALL = 3 };

    // What a stream may build: the tree below the role at most this deep (the walks over the tree recurse
    // once per level), and at most this many registered objects.
    static constexpr int MAX_TREE_DEPTH = 1000;
    static constexpr int MAX_STREAM_OBJECTS = 250000;

    // Makes itself the current role.
    NetRole(int32_t hostMode, bool isServer, const UString& identity, double version, const UString& secondIdentity,
            double replicationInterval);
    // Deletes the object tree (without replicating it) and an owned connection.
    ~NetRole() override;

    const RuntimeClass* getClass() const override { return &classRecord; }

    // Gives the object a UID (uid > 0: that one; else the next free one from nextObjectUID) and enters it
    // in objectMap; a UID in use is fatal, or a PacketDecodeError while an untrusted stream is read. A server
    // outside a broadcast call tells its peers to make it too. UID 1 makes it the root object.
    void registerObject(KivBase* o, int32_t uid);
    // The registered object with that UID; fatal when there is none.
    KivBase* findObject(int32_t uid) const;
    // The registered object with that UID, or null.
    KivBase* findObjectOrNull(int32_t uid) const { return objectMap.get(uid); }
    // Appends an RPC command for the call to the outgoing packet.
    void sendRPC(RPC* call);

    // Runs on the role's own replication clock (the engine's frame step); ignores its arguments.
    void tick(double time, double dt) override;
    void render() override;
    // Text about the role; drawn only when the engine's debug level has bit 0x200.
    void drawDebugOverlay(const V3& position, void* font);
    UString getDebugText() const;
    // Sends the outgoing packet to every peer at once and empties it.
    void flush();
    // Runs every command of the packet. A packet marked as peer input ends in a PacketDecodeError when it
    // cannot be read; any other in the fatal path.
    void processPacket(Packet& packet);
    void processCommand(Packet& packet, int command);
    // Inside processPacket with a packet from outside (a peer's message, a level the user saved), in the
    // set-up of a server started from a stream from outside, or in a scope of readingUntrusted.
    bool isReadingUntrusted() const { return bReadingUntrusted; }

    // Makes a role the current one and sets one of its flags for a scope; both are put back however the
    // scope ends (reading a stream may stop with an exception).
    class Scope {
    public:
        Scope(NetRole& role, bool& flag, bool value);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        NetRole* previous;
        bool& flag;
        bool saved;
    };
    // A scope in which the role is current and reads untrusted: what the objects check then comes from
    // outside, as a value typed in the editor does.
    [[nodiscard]] Scope readingUntrusted() { return Scope(*this, bReadingUntrusted, true); }

    // The full state in tree order: SPAWNNAMED for every object, then COPYOBJ for every object. This is
    // what a new peer receives and what a level file holds.
    void writeFullState(Packet& packet) const;
    // The registered objects: the role's tree first (depth first, in child order), then any others by UID.
    std::vector<KivBase*> getObjectsInTreeOrder() const;

    // The role an object is registered with, or null.
    static NetRole* findRoleOf(const KivBase& object);

    ObjectTable objectMap;
    KivBase* root = nullptr;
    int32_t nextObjectUID;
    bool bInsideServerCall = false;
    bool bInsideBroadcastCall = false;
    int32_t levelResultCode = 0;
    bool bEditing = false;
    bool bAllowNewObjectRegistations = true;
    bool bReplicationStep = false;
    Packet outgoing{Packet::FLAG_COMMANDS};
    double replicationInterval;
    double replicationClock = 0.0;
    double nextStepTime = 0.0;

    // The objects the placement checks of the streams read have walked over, up the tree and below a moved
    // object: the measure of what those checks cost.
    uint64_t placementObjectsVisited = 0;

    // For the debug overlay.
    uint32_t tickDrawCounter = 0;
    uint32_t renderDrawCounter = 0;
    uint32_t commandsSent = 0;
    std::map<const RuntimeClass*, uint32_t> callsSentByClass;

protected:
    void onPeerJoining() override;
    void onMessage(Node& peer, const uint8_t* bytes, std::size_t size) override;
    // Reads and runs the commands of a peer's message (a server takes only the calls a client may make).
    // False, with the reason, when the message cannot be read: the rest of it is left out, and the caller
    // drops the peer.
    bool processPeerMessage(const uint8_t* bytes, std::size_t size, UString& why);
    // Runs netPostReplicateGlobal of every object registered now (not of those these runs register).
    void postReplicateGlobalAll();

    bool bReadingUntrusted = false; // see isReadingUntrusted

private:
    friend struct NetRoleHooks;
    // Replicated deletion: a server tells its peers, then the object is deleted here.
    void destroyReplicated(KivBase& object);
    void forget(KivBase& object);
    void writeCommand(Packet& packet, int command) const;
    // A spawn command (SPAWNOBJ or SPAWNNAMED) for the object.
    static void writeSpawn(Packet& packet, int command, const KivBase& object);
    // Fails the packet once the role holds MAX_STREAM_OBJECTS.
    void spawnObject(Packet& packet, const RuntimeClass* runtimeClass, uint32_t uid);
    void copyObject(Packet& packet, KivBase* object, uint32_t uid);

    const RuntimeClass* lastSpawnedClass = nullptr; // passed the spawn checks last

    bool bDestroying = false;
    bool bReadingPeerMessage = false;
    bool bAbandonPacket = false;
};
