#pragma once
// The server role: accepts peers up to its maximum, sends each new peer the full state, and starts either
// from a stored stream (a level file) or from an empty world made by its root-object factory.
#include <functional>
#include <string>

#include "engine/net/NetRole.h"

class RootObject;

class Server : public NetRole {
public:
    // Logs "Creating SERVER host...", draws the host word and becomes the current role.
    Server(int32_t mode, int32_t maxPeers, const UString& identity, double version, const UString& secondIdentity,
           double replicationInterval);
    // Logs "SERVER stop"; the role then deletes an owned connection and the whole object tree.
    ~Server() override;

    // With a stream: replays it as the current role with registrations held off; then `check`, when given,
    // looks at what was read before anything is built on it (a reason it answers ends the start the way
    // the stream's damage would); then runs every object's netPostReplicateGlobal. A stream from outside
    // is untrusted from its first byte to the end of that set-up. Without a stream: makes the root through
    // the factory, registers it as UID 1 and runs its start and netPostReplicate.
    void start(Packet* storedStream, const std::function<UString()>& check = nullptr);

    // The full state as a level file; false when it cannot be written.
    bool saveLevelFile(const std::string& path) const;

protected:
    void onPeerConnected(Node& peer) override;
    void onPeerDisconnected(Node& peer) override;
    // The root-object factory.
    virtual RootObject* createRootObject() = 0;
};
