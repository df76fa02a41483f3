#pragma once
// The client role: connects to one server, takes its full state and then its spawns and calls, and sends
// the calls a client may make.
#include "engine/net/NetRole.h"

class Client : public NetRole {
public:
    // Logs "Creating CLIENT host..." and becomes the current role.
    Client(int32_t mode, const UString& identity, double version, const UString& secondIdentity,
           double replicationInterval);
    ~Client() override;

    bool hasReceivedState() const { return bReceivedState; }

protected:
    void onMessage(Node& peer, const uint8_t* bytes, std::size_t size) override;
    void onPeerDisconnected(Node& peer) override;

private:
    bool bReceivedState = false;
};
