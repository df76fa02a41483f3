#include "engine/net/Server.h"

#include <cstdio>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRandom.h"
#include "engine/net/RootObject.h"

Server::Server(int32_t mode, int32_t maxPeers, const UString& identity, double version, const UString& secondIdentity,
               double replicationInterval)
    : NetRole(mode, true, identity, version, secondIdentity, replicationInterval)
{
    Logger::logFrom("Server::Server", u"Creating %s host...", u"SERVER");
    this->maxPeers = maxPeers;
    do {
        hostWord = NetRandom::drawWord();
    } while (hostWord == HandshakeDatagram::HANDSHAKE_TAG);
    THEROLE = this;
}

Server::~Server()
{
    Logger::logFrom("Server::~Server", u"SERVER stop");
}

void Server::start(Packet* storedStream, const std::function<UString()>& check)
{
    KIV_ASSERT(connection != NULL);
    if (storedStream != nullptr) {
        // Put back however the start ends: what an untrusted stream holds may stop the replay or the set-up
        // with a PacketDecodeError.
        Scope untrusted(*this, bReadingUntrusted, bReadingUntrusted || storedStream->isPeerInput());
        {
            Scope replaying(*this, bAllowNewObjectRegistations, false);
            processPacket(*storedStream);
        }
        if (check) {
            if (const UString why = check(); !why.empty()) {
                storedStream->decodeFailed(why, __PRETTY_FUNCTION__);
            }
        }
        postReplicateGlobalAll();
        return;
    }
    RootObject* newRoot = createRootObject();
    registerObject(newRoot, 1);
    newRoot->start();
    newRoot->netPostReplicate();
}

bool Server::saveLevelFile(const std::string& path) const
{
    Packet packet(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    writeFullState(packet);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = packet.size() == 0 || std::fwrite(packet.data(), packet.size(), 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

void Server::onPeerConnected(Node& peer)
{
    Packet state(Packet::FLAG_COMMANDS);
    writeFullState(state);
    queueTo(peer, state);
    if (root != nullptr && root->isDerivedFrom(&RootObject::classRecord)) {
        static_cast<RootObject*>(root)->peerConnected(&peer);
    }
}

void Server::onPeerDisconnected(Node& peer)
{
    if (root != nullptr && root->isDerivedFrom(&RootObject::classRecord)) {
        static_cast<RootObject*>(root)->peerDisconnected(&peer);
    }
}
