#include "engine/net/NetRole.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/Logger.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/KivBaseCalls.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRandom.h"
#include "engine/net/PacketCursor.h"
#include "engine/net/RPC.h"

const RuntimeClass NetRole::classRecord(u"NetRole", &KivBase::classRecord, nullptr);

namespace {
// Every live role, so that an object finds the role it is registered with.
std::vector<NetRole*>& liveRoles()
{
    static std::vector<NetRole*> roles;
    return roles;
}

// Objects of a class can be made by a spawn command: it has a factory and is no remote call.
bool isSpawnable(const RuntimeClass* runtimeClass)
{
    return runtimeClass->hasFactory() && !runtimeClass->isDerivedFrom(&RPC::classRecord);
}

constexpr int DIK_F10 = 0x44;
constexpr int DIK_F11 = 0x57;
} // namespace

// What every object asks of the role it is registered with.
struct NetRoleHooks {
    static bool destroyReplicated(KivBase& object)
    {
        NetRole* role = NetRole::findRoleOf(object);
        if (role == nullptr) {
            return false;
        }
        role->destroyReplicated(object);
        return true;
    }
    static void forgetObject(KivBase& object)
    {
        if (NetRole* role = NetRole::findRoleOf(object)) {
            role->forget(object);
        }
    }
    static void install()
    {
        KivBase::NetHooks hooks;
        hooks.destroyReplicated = &destroyReplicated;
        hooks.forgetObject = &forgetObject;
        hooks.gotoState = &KivBaseCalls::gotoState;
        KivBase::setNetHooks(hooks);
    }
};

NetRole::NetRole(int32_t hostMode, bool isServer, const UString& identity, double version,
                 const UString& secondIdentity, double replicationInterval)
    : NetHost(hostMode, isServer, identity, version, secondIdentity),
      nextObjectUID(2 + NetRandom::drawBelow(256)),
      replicationInterval(replicationInterval)
{
    NetRoleHooks::install();
    liveRoles().push_back(this);
    THEROLE = this;
}

NetRole::~NetRole()
{
    disconnectAll();
    // The object tree goes with the role; its deletion is not sent to anyone.
    bDestroying = true;
    destroyAllChildren();
    root = nullptr;
    // Registered objects outside the tree: those without a parent have no other owner and go with the
    // role; the rest belong to their parents and are no longer registered.
    for (bool found = true; found;) {
        found = false;
        for (const auto& [uid, object] : objectMap.entries()) {
            if (objectMap.get(uid) == object && object->getParent() == nullptr) {
                delete object;
                found = true;
            }
        }
    }
    for (const auto& [uid, object] : objectMap.entries()) {
        object->objectUID = 0;
    }
    objectMap.clear();
    auto& roles = liveRoles();
    roles.erase(std::remove(roles.begin(), roles.end(), this), roles.end());
    if (THEROLE == this) {
        THEROLE = nullptr;
    }
}

NetRole* NetRole::findRoleOf(const KivBase& object)
{
    if (object.objectUID <= 0) {
        return nullptr;
    }
    if (NetRole* current = THEROLE; current != nullptr && current->objectMap.get(object.objectUID) == &object) {
        return current;
    }
    for (NetRole* role : liveRoles()) {
        if (role->objectMap.get(object.objectUID) == &object) {
            return role;
        }
    }
    return nullptr;
}

void NetRole::writeCommand(Packet& packet, int command) const
{
    uint8_t bits = static_cast<uint8_t>(command);
    packet.doBit(bits, 0);
    packet.doBit(bits, 1);
}

void NetRole::writeSpawn(Packet& packet, int command, const KivBase& object)
{
    // The command's two bits, the class id (as Packet::doClassID writes it) and for SPAWNNAMED the UID.
    const RuntimeClass* runtimeClass = object.getClass();
    KIV_ASSERT(runtimeClass != nullptr);
    RuntimeClassManager::getInstance()->buildClassArray();
    PacketCursor cursor(packet);
    cursor.ensure(11);
    cursor.putBit((command & 1) != 0);
    cursor.putBit((command & 2) != 0);
    cursor.putVarUInt(static_cast<uint32_t>(runtimeClass->getIndex()));
    if (command == SPAWNNAMED) {
        cursor.putVarUInt(static_cast<uint32_t>(object.objectUID));
    }
    cursor.store();
}

void NetRole::registerObject(KivBase* o, int32_t uid)
{
    KIV_ASSERT(!o->isValidUID());
    if (uid > 0) {
        if (objectMap.contains(uid)) {
            // Named by a message that cannot be trusted: that message fails, not the program.
            const UString message = formatString(u"Object ID %d is already in use.", uid);
            if (bReadingUntrusted) {
                throw PacketDecodeError(formatString(u"The data makes two objects under the number %d.", uid));
            }
            KIV_FATAL(message);
        }
        o->objectUID = uid;
    } else {
        // The counter comes from streams too (the root carries it), which may have named any UID: it steps
        // over taken UIDs and starts again at 2 when it has left the positive range.
        while (nextObjectUID >= 1 && nextObjectUID < INT32_MAX && objectMap.contains(nextObjectUID)) {
            ++nextObjectUID;
        }
        if (nextObjectUID < 1 || nextObjectUID == INT32_MAX) {
            nextObjectUID = 2;
            while (nextObjectUID < INT32_MAX && objectMap.contains(nextObjectUID)) {
                ++nextObjectUID;
            }
        }
        o->objectUID = nextObjectUID++;
    }
    objectMap.insert(o->objectUID, o);
    // While a stored stream is replayed with no peer to tell, the spawn would go to no one.
    if (bIsServer && !bInsideBroadcastCall && (bAllowNewObjectRegistations || !peers.empty())) {
        // A chosen UID must reach the peers as it is.
        writeSpawn(outgoing, uid > 0 ? SPAWNNAMED : SPAWNOBJ, *o);
        ++commandsSent;
    }
    if (uid == 1) {
        KIV_ASSERT(root == NULL);
        root = o;
        appendChild(o);
    }
}

KivBase* NetRole::findObject(int32_t uid) const
{
    KivBase* object = findObjectOrNull(uid);
    if (object == nullptr) {
        KIV_FATAL(formatString(u"Could not find object ID %d", uid));
    }
    return object;
}

void NetRole::sendRPC(RPC* call)
{
    writeCommand(outgoing, RPCCALL);
    const RuntimeClass* runtimeClass = call->getClass();
    outgoing.doClassID(runtimeClass);
    call->netSerialize(outgoing);
    ++commandsSent;
    ++callsSentByClass[runtimeClass];
}

void NetRole::destroyReplicated(KivBase& object)
{
    if (bIsServer && !bDestroying && !bInsideBroadcastCall) {
        RPC_KivBase_destroy call(&object);
        sendRPC(&call);
    }
    // The children go with their parent on every peer: their deletion is not sent again.
    const bool saved = bInsideBroadcastCall;
    bInsideBroadcastCall = true;
    delete &object;
    bInsideBroadcastCall = saved;
}

void NetRole::forget(KivBase& object)
{
    objectMap.erase(object.objectUID);
    if (root == &object) {
        root = nullptr;
    }
}

void NetRole::tick(double /*time*/, double dt)
{
    THEROLE = this;
    bReplicationStep = false;
    const KivNetwork::EngineHooks& hooks = KivNetwork::getHooks();
    double step = hooks.frameTimeStep ? hooks.frameTimeStep() : dt;
    if (hooks.isRelease && !hooks.isRelease() && hooks.isKeyDown) {
        if (hooks.isKeyDown(DIK_F11)) {
            step *= 5.0;
        }
        if (hooks.isKeyDown(DIK_F10)) {
            step /= 10.0;
        }
    }
    replicationClock += step;
    if (replicationClock >= nextStepTime) {
        bReplicationStep = true;
        if (replicationClock - nextStepTime > 100.0 * replicationInterval) {
            nextStepTime = replicationClock + replicationInterval;
        } else {
            while (nextStepTime <= replicationClock) {
                nextStepTime += replicationInterval;
            }
        }
        service(replicationClock);
    }
    const uint32_t drawsBefore = hooks.drawCounter ? hooks.drawCounter() : 0;
    KivBase::tick(replicationClock, step);
    tickDrawCounter = (hooks.drawCounter ? hooks.drawCounter() : 0) - drawsBefore;
    if (bReplicationStep) {
        hostTime = replicationClock;
        sendToAll(outgoing);
        outgoing.reset();
    }
    THEROLE = nullptr;
}

void NetRole::render()
{
    THEROLE = this;
    const KivNetwork::EngineHooks& hooks = KivNetwork::getHooks();
    const uint32_t drawsBefore = hooks.drawCounter ? hooks.drawCounter() : 0;
    KivBase::render();
    renderDrawCounter = (hooks.drawCounter ? hooks.drawCounter() : 0) - drawsBefore;
    THEROLE = nullptr;
}

void NetRole::flush()
{
    sendToAll(outgoing);
    outgoing.reset();
}

UString NetRole::getDebugText() const
{
    UString text = formatString(u"%s role, host word %08x, %d objects, next UID %d\n", bIsServer ? "SERVER" : "CLIENT",
                                hostWord, static_cast<int>(objectMap.size()), nextObjectUID);
    text += formatString(u"draws: tick %u, render %u; clock %.2lf\n", tickDrawCounter, renderDrawCounter,
                         replicationClock);
    text += formatString(u"outgoing %u bytes, %u commands sent; dropped: %u bad, %u unknown, %u fragments\n",
                         static_cast<unsigned>(outgoing.size()), commandsSent, badDatagrams, unknownPeerDatagrams,
                         badFragments);
    for (const auto& peer : peers) {
        text += formatString(u"peer %s: rtt %.0lf ms, queues %u out %u in, %u resent\n", peer->getAddress().toString(),
                             peer->getRoundTripTime() * 1000.0, static_cast<unsigned>(peer->getSendQueueLength()),
                             static_cast<unsigned>(peer->getReceiveQueueLength()), peer->resends);
    }
    for (const auto& [runtimeClass, count] : callsSentByClass) {
        text += formatString(u"%s: %u\n", runtimeClass->getName(), count);
    }
    return text;
}

void NetRole::drawDebugOverlay(const V3& position, void* font)
{
    const KivNetwork::EngineHooks& hooks = KivNetwork::getHooks();
    if (!hooks.debugLevel || (hooks.debugLevel() & 0x200) == 0 || !hooks.drawText) {
        return;
    }
    hooks.drawText(position, font, getDebugText());
}

void NetRole::processPacket(Packet& packet)
{
    bAbandonPacket = false;
    if (packet.bWriting) {
        return;
    }
    RuntimeClassManager* classes = RuntimeClassManager::getInstance();
    classes->buildClassArray();
    // A client's message is checked command by command; in any other the usual spawn and copy commands
    // are read straight from the buffer while their longest forms fit. Whatever is out of the ordinary
    // goes to processCommand, from just after the command's bits, and is reported there.
    const bool fastCommands = !(bReadingPeerMessage && bIsServer);
    // Registrations made while an untrusted packet is read fail that packet (restored however it ends).
    struct Untrusted {
        bool& flag;
        bool saved;
        Untrusted(bool& f, bool on) : flag(f), saved(f) { flag = on || saved; }
        ~Untrusted() { flag = saved; }
    } untrusted{bReadingUntrusted, packet.isPeerInput()};
    PacketCursor c(packet);
    while (c.remaining() != 0 && !bAbandonPacket) {
        // The two bits take at most one new byte, and one is there.
        const int command = (c.getBit() ? 1 : 0) | (c.getBit() ? 2 : 0);
        if (fastCommands && c.remaining() >= 2 * VarInt::MAX_BYTES) {
            const PacketCursor::Mark afterBits = c.mark();
            uint32_t index = 0;
            uint32_t uid = 0;
            if (command == SPAWNNAMED && c.getVarUInt(index) && c.getVarUInt(uid) && index <= 0x7FFFFFFFu &&
                uid != 0 && uid <= 0x7FFFFFFFu && !objectMap.contains(static_cast<int32_t>(uid))) {
                const RuntimeClass* runtimeClass = classes->getClassByIndex(static_cast<int32_t>(index));
                if (runtimeClass != nullptr && (runtimeClass == lastSpawnedClass || isSpawnable(runtimeClass))) {
                    lastSpawnedClass = runtimeClass;
                    c.store();
                    spawnObject(packet, runtimeClass, uid);
                    c.load();
                    continue;
                }
            } else if (KivBase* object = nullptr; command == COPYOBJ && c.getVarUInt(uid) && uid <= 0x7FFFFFFFu &&
                                                  (object = findObjectOrNull(static_cast<int32_t>(uid))) != nullptr) {
                c.store();
                copyObject(packet, object, uid);
                c.load();
                continue;
            }
            c.restore(afterBits);
        }
        c.store();
        processCommand(packet, command);
        c.load();
    }
    c.store();
}

void NetRole::spawnObject(Packet& packet, const RuntimeClass* runtimeClass, uint32_t uid)
{
    if (objectMap.size() >= static_cast<std::size_t>(MAX_STREAM_OBJECTS)) {
        packet.decodeFailed(formatString(u"A stream may not make more than %d objects.", MAX_STREAM_OBJECTS),
                            __PRETTY_FUNCTION__);
    }
    std::unique_ptr<KivBase> object(runtimeClass->create());
    registerObject(object.get(), static_cast<int32_t>(uid));
    object.release(); // the role's map, and with UID 1 the role's tree, hold it now
}

void NetRole::copyObject(Packet& packet, KivBase* object, uint32_t uid)
{
    // The object's UID is part of its data; whatever the stream says, the map keeps it. The guard also
    // holds when a damaged stream ends the read half-way.
    struct KeepUid {
        KivBase* object;
        int32_t uid;
        ~KeepUid() { object->objectUID = uid; }
    };
    int32_t readUid = 0;
    {
        KeepUid keep{object, static_cast<int32_t>(uid)};
        object->netSerialize(packet);
        readUid = object->objectUID;
    }
    if (readUid != static_cast<int32_t>(uid)) {
        packet.decodeFailed(formatString(u"Object ID %u holds the ID %d.", uid, readUid), __PRETTY_FUNCTION__);
    }
    object->netPostReplicate();
}

void NetRole::processCommand(Packet& packet, int command)
{
    if (bReadingPeerMessage && bIsServer && command != RPCCALL) {
        // A client only calls; the rest of its message cannot be trusted.
        Logger::logFrom("NetRole::processCommand", u"Warning: a client sent command %d; message ignored.", command);
        bAbandonPacket = true;
        return;
    }
    switch (command) {
    case SPAWNOBJ:
    case SPAWNNAMED: {
        const RuntimeClass* runtimeClass = nullptr;
        packet.doClassID(runtimeClass);
        uint32_t uid = 0;
        if (command == SPAWNNAMED) {
            packet.doVarUInt(uid);
            if (uid == 0 || uid > 0x7FFFFFFFu) {
                packet.decodeFailed(formatString(u"Bad object ID %u.", uid),
                                    formatString(u"The data names object %u; objects are numbered from 1 to %d.", uid,
                                                 INT32_MAX),
                                    __PRETTY_FUNCTION__);
            }
            if (objectMap.contains(static_cast<int32_t>(uid))) {
                packet.decodeFailed(formatString(u"Object ID %u is already in use.", uid),
                                    formatString(u"The data makes two objects under the number %u.", uid),
                                    __PRETTY_FUNCTION__);
            }
        }
        if (!isSpawnable(runtimeClass)) {
            packet.decodeFailed(formatString(u"Class '%s' cannot be spawned.", runtimeClass->getName()),
                                formatString(u"The data asks for an object of a kind that a level cannot hold "
                                             u"(class number %d).",
                                             runtimeClass->getIndex()),
                                __PRETTY_FUNCTION__);
        }
        spawnObject(packet, runtimeClass, uid);
        return;
    }
    case COPYOBJ: {
        uint32_t uid = 0;
        packet.doVarUInt(uid);
        KivBase* object = uid <= 0x7FFFFFFFu ? findObjectOrNull(static_cast<int32_t>(uid)) : nullptr;
        if (object == nullptr) {
            packet.decodeFailed(formatString(u"Could not find object ID %d", static_cast<int32_t>(uid)),
                                formatString(u"The data changes object %u, which it never made.", uid),
                                __PRETTY_FUNCTION__);
        }
        copyObject(packet, object, uid);
        return;
    }
    case RPCCALL: {
        if (packet.isPeerInput() && (packet.commandFlags & Packet::FLAG_STORED) != 0) {
            // A stored level holds objects only; a call in one from outside is not run.
            packet.decodeFailed(u"A stored stream holds no remote calls.", __PRETTY_FUNCTION__);
        }
        const RuntimeClass* runtimeClass = nullptr;
        packet.doClassID(runtimeClass);
        if (!runtimeClass->hasFactory() || !runtimeClass->isDerivedFrom(&RPC::classRecord)) {
            packet.decodeFailed(formatString(u"Class '%s' is not a remote call.", runtimeClass->getName()),
                                formatString(u"The data calls on a kind that is not a call (class number %d).",
                                             runtimeClass->getIndex()),
                                __PRETTY_FUNCTION__);
        }
        RPC* call = static_cast<RPC*>(runtimeClass->create());
        struct Owner {
            RPC* call;
            ~Owner() { delete call; }
        } owner{call};
        call->netSerialize(packet);
        if (const RuntimeClass* wanted = call->getTargetClass();
            wanted != nullptr && (call->target == nullptr || !call->target->getClass()->isDerivedFrom(wanted))) {
            const UString message = formatString(u"Remote call '%s' needs a target of class '%s'.",
                                                 runtimeClass->getName(), wanted->getName());
            if (bReadingUntrusted) {
                Logger::logFrom("NetRole::processCommand", u"Warning: %s Ignored.", message);
                return;
            }
            KIV_FATAL(message);
        }
        if (bReadingPeerMessage && bIsServer && !call->bClientMayCall) {
            Logger::logFrom("NetRole::processCommand", u"Warning: a client may not call '%s'; ignored.",
                            runtimeClass->getName());
            return;
        }
        RPC::executeLocally(call);
        return;
    }
    default:
        KIV_FATAL(formatString(u"Unknown command %d.", command));
    }
}

void NetRole::onPeerJoining()
{
    // Whatever was gathered so far belongs to the peers that are already here.
    flush();
}

void NetRole::onMessage(Node& peer, const uint8_t* bytes, std::size_t size)
{
    UString why;
    if (!processPeerMessage(bytes, size, why)) {
        dropPeer(peer, formatString(u"sent a message that cannot be read (%s)", why));
    }
}

NetRole::Scope::Scope(NetRole& role, bool& flag, bool value) : previous(THEROLE), flag(flag), saved(flag)
{
    THEROLE = &role;
    flag = value;
}

NetRole::Scope::~Scope()
{
    flag = saved;
    THEROLE = previous;
}

bool NetRole::processPeerMessage(const uint8_t* bytes, std::size_t size, UString& why)
{
    Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_PEER, 0);
    packet.setReadData(bytes, size);
    // Put back however the message ends.
    Scope reading(*this, bReadingPeerMessage, true);
    try {
        processPacket(packet);
    } catch (const PacketDecodeError& error) {
        why = error.message;
        return false;
    }
    return true;
}

void NetRole::postReplicateGlobalAll()
{
    const std::vector<std::pair<int32_t, KivBase*>> present = objectMap.entries();
    for (const auto& [uid, object] : present) {
        // An earlier run may have deleted it.
        if (findObjectOrNull(uid) == object) {
            object->netPostReplicateGlobal();
        }
    }
}

std::vector<KivBase*> NetRole::getObjectsInTreeOrder() const
{
    std::vector<KivBase*> order;
    order.reserve(objectMap.size());
    // The walk marks what it takes in the object table.
    ObjectTable& table = const_cast<ObjectTable&>(objectMap);
    const uint32_t mark = table.newMark();
    // Depth first below `top`, in child order, taking the registered objects not taken yet. The walk goes
    // through the tree's own links.
    auto walk = [&](KivBase* top) {
        KivBase* o = top;
        for (;;) {
            if (o->isValidUID() && table.markOnce(o->objectUID, o, mark)) {
                order.push_back(o);
            }
            if (KivBase* child = o->getFirstChild()) {
                o = child;
                continue;
            }
            while (o != top && o->getNext() == nullptr) {
                o = o->getParent();
            }
            if (o == top) {
                return;
            }
            o = o->getNext();
        }
    };
    // The role's tree first, then the trees of registered objects that hang elsewhere, by UID.
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        walk(child);
    }
    if (order.size() == objectMap.size()) {
        return order;
    }
    for (const auto& [uid, object] : objectMap.entries()) {
        if (table.isMarked(uid, mark)) {
            continue;
        }
        KivBase* top = object;
        while (top->getParent() != nullptr && top->getParent() != this) {
            top = top->getParent();
        }
        walk(top);
    }
    return order;
}

void NetRole::writeFullState(Packet& packet) const
{
    const std::vector<KivBase*> order = getObjectsInTreeOrder();
    RuntimeClassManager* classes = RuntimeClassManager::getInstance();
    classes->buildClassArray();
    {
        // SPAWNNAMED for every object, as writeSpawn writes it.
        PacketCursor cursor(packet);
        for (const KivBase* object : order) {
            const RuntimeClass* runtimeClass = object->getClass();
            KIV_ASSERT(runtimeClass != nullptr);
            cursor.ensure(11);
            cursor.putBit((SPAWNNAMED & 1) != 0);
            cursor.putBit((SPAWNNAMED & 2) != 0);
            cursor.putVarUInt(static_cast<uint32_t>(runtimeClass->getIndex()));
            cursor.putVarUInt(static_cast<uint32_t>(object->objectUID));
        }
        cursor.store();
    }
    // Copying is done under this role, which resolves the references.
    NetRole* previous = THEROLE;
    THEROLE = const_cast<NetRole*>(this);
    const std::size_t start = packet.size();
    for (std::size_t i = 0; i < order.size(); ++i) {
        KivBase* object = order[i];
        // Once a few objects are written, room for the rest as they go, so that the buffer grows once.
        if (i == 16) {
            const std::size_t perObject = (packet.size() - start) / 16 + 1;
            PacketCursor(packet).ensure(perObject * (order.size() - i) + (perObject * (order.size() - i)) / 8);
        }
        {
            PacketCursor cursor(packet);
            cursor.ensure(6);
            cursor.putBit((COPYOBJ & 1) != 0);
            cursor.putBit((COPYOBJ & 2) != 0);
            cursor.putVarUInt(static_cast<uint32_t>(object->objectUID));
            cursor.store();
        }
        object->netSerialize(packet);
    }
    THEROLE = previous;
}
