#include "engine/net/Client.h"

#include "engine/core/Logger.h"
#include "engine/net/KivNetwork.h"

Client::Client(int32_t mode, const UString& identity, double version, const UString& secondIdentity,
               double replicationInterval)
    : NetRole(mode, false, identity, version, secondIdentity, replicationInterval)
{
    Logger::logFrom("Client::Client", u"Creating %s host...", u"CLIENT");
    THEROLE = this;
}

Client::~Client() { Logger::logFrom("Client::~Client", u"CLIENT stop"); }

void Client::onMessage(Node& peer, const uint8_t* bytes, std::size_t size)
{
    NetRole::onMessage(peer, bytes, size);
    if (isBeingDropped(peer)) {
        return; // the server's message could not be read: this session is over
    }
    if (!bReceivedState) {
        // The first message is the server's full state: the world is in place.
        bReceivedState = true;
        NetRole* previous = THEROLE;
        THEROLE = this;
        postReplicateGlobalAll();
        THEROLE = previous;
    }
}

void Client::onPeerDisconnected(Node& /*peer*/) {}
