#include "engine/net/NetHost.h"

#include <cstring>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/Logger.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/NetRandom.h"
#include "engine/net/Packet.h"

NetHost::NetHost(int32_t hostMode, bool isServer, const UString& identity, double version,
                 const UString& secondIdentity)
    : bIsServer(isServer), hostMode(hostMode), identity(identity), version(version), secondIdentity(secondIdentity)
{
}

NetHost::~NetHost()
{
    disconnectAll();
    if (bOwnsConnection) {
        delete connection;
    }
    connection = nullptr;
}

void NetHost::sendDatagram(const uint8_t* bytes, std::size_t size, const NetAddress& to)
{
    if (connection == nullptr) {
        return;
    }
    if (NetTrafficRecorder* recorder = KivNetwork::getRecorder()) {
        recorder->record(true, to, bytes, size);
    }
    connection->send(bytes, size, to);
}

void NetHost::sendHandshake(uint8_t type, const NetAddress& to, uint32_t peerWord, uint8_t reason)
{
    HandshakeDatagram handshake{};
    handshake.tag = HandshakeDatagram::HANDSHAKE_TAG;
    handshake.type = type;
    handshake.reason = reason;
    handshake.senderWord = hostWord;
    handshake.peerWord = peerWord;
    handshake.version = version;
    const std::string name = wideToUtf8(identity);
    std::memcpy(handshake.identity, name.data(), std::min(name.size(), sizeof(handshake.identity) - 1));
    NetDatagram::seal(handshake);
    sendDatagram(reinterpret_cast<const uint8_t*>(&handshake), sizeof(handshake), to);
}

bool NetHost::identityMatches(const HandshakeDatagram& handshake) const
{
    char expected[sizeof(handshake.identity)] = {};
    const std::string name = wideToUtf8(identity);
    std::memcpy(expected, name.data(), std::min(name.size(), sizeof(expected) - 1));
    return std::memcmp(expected, handshake.identity, sizeof(expected)) == 0 && handshake.version == version;
}

uint32_t NetHost::drawPeerWord() const
{
    for (;;) {
        const uint32_t word = NetRandom::drawWord();
        if (word == 0 || word == HandshakeDatagram::HANDSHAKE_TAG || word == hostWord) {
            continue;
        }
        bool used = false;
        for (const auto& peer : peers) {
            used = used || peer->getPeerWord() == word;
        }
        if (!used) {
            return word;
        }
    }
}

Node* NetHost::findPeer(const NetAddress& address) const
{
    for (const auto& peer : peers) {
        if (peer->getAddress() == address) {
            return peer.get();
        }
    }
    return nullptr;
}

void NetHost::connectTo(const NetAddress& server)
{
    KIV_ASSERT(!bIsServer);
    serverAddress = server;
    clientState = ClientState::Connecting;
    connectStartTime = hostTime;
    lastConnectSendTime = hostTime;
    Logger::logFrom("NetHost::connectTo", u"Connecting to %s.", server.toString());
    sendHandshake(HandshakeDatagram::CONNECT, server, 0);
}

void NetHost::handleHandshake(const HandshakeDatagram& handshake, const NetAddress& from)
{
    switch (handshake.type) {
    case HandshakeDatagram::CONNECT: {
        if (!bIsServer) {
            ++unknownPeerDatagrams;
            return;
        }
        if (Node* known = findPeer(from)) {
            // Our accept was lost: say it again.
            sendHandshake(HandshakeDatagram::ACCEPT, from, known->getPeerWord());
            return;
        }
        if (!identityMatches(handshake)) {
            ++refusedPeers;
            logTraffic(from, formatString(u"Refusing %s: another game or version.", from.toString()));
            sendHandshake(HandshakeDatagram::REFUSE, from, 0, HandshakeDatagram::WRONG_GAME);
            return;
        }
        if (static_cast<int32_t>(peers.size()) >= maxPeers) {
            ++refusedPeers;
            logTraffic(from, formatString(u"Refusing %s: the game is full.", from.toString()));
            sendHandshake(HandshakeDatagram::REFUSE, from, 0, HandshakeDatagram::SERVER_FULL);
            return;
        }
        onPeerJoining();
        peers.push_back(std::make_unique<Node>(from, drawPeerWord(), hostTime));
        Node& peer = *peers.back();
        Logger::logFrom("NetHost::handleHandshake", u"Peer %s connected.", from.toString());
        sendHandshake(HandshakeDatagram::ACCEPT, from, peer.getPeerWord());
        onPeerConnected(peer);
        return;
    }
    case HandshakeDatagram::ACCEPT:
        if (bIsServer || clientState != ClientState::Connecting || from != serverAddress ||
            !identityMatches(handshake)) {
            ++unknownPeerDatagrams;
            return;
        }
        hostWord = handshake.peerWord;
        clientState = ClientState::Connected;
        peers.push_back(std::make_unique<Node>(from, handshake.senderWord, hostTime));
        Logger::logFrom("NetHost::handleHandshake", u"Connected to %s.", from.toString());
        onPeerConnected(*peers.back());
        return;
    case HandshakeDatagram::REFUSE:
        if (bIsServer || clientState != ClientState::Connecting || from != serverAddress) {
            ++unknownPeerDatagrams;
            return;
        }
        clientState = ClientState::Refused;
        refuseReason = handshake.reason;
        Logger::logFrom("NetHost::handleHandshake", u"Refused by %s (reason %d).", from.toString(),
                        static_cast<int>(handshake.reason));
        return;
    case HandshakeDatagram::DISCONNECT:
        for (std::size_t i = 0; i < peers.size(); ++i) {
            if (peers[i]->getAddress() == from && peers[i]->getPeerWord() == handshake.senderWord) {
                removePeer(i, u"disconnected");
                if (!bIsServer) {
                    clientState = ClientState::Disconnected;
                }
                return;
            }
        }
        ++unknownPeerDatagrams;
        return;
    default:
        ++badDatagrams;
        logTraffic(from, formatString(u"Dropped a handshake of unknown type %d from %s.",
                                      static_cast<int>(handshake.type), from.toString()));
    }
}

void NetHost::handleDatagram(const uint8_t* bytes, std::size_t size, const NetAddress& from)
{
    HandshakeDatagram handshake;
    DataDatagramHeader header;
    switch (NetDatagram::parse(bytes, size, handshake, header)) {
    case NetDatagram::Kind::Bad:
        ++badDatagrams;
        logTraffic(from, formatString(u"Dropped a damaged datagram from %s.", from.toString()));
        return;
    case NetDatagram::Kind::Handshake:
        handleHandshake(handshake, from);
        return;
    case NetDatagram::Kind::Data:
        break;
    }
    Node* peer = findPeer(from);
    if (peer == nullptr || peer->getPeerWord() != header.senderWord) {
        ++unknownPeerDatagrams;
        logTraffic(from, formatString(u"Dropped a datagram from %s, which is no peer.", from.toString()));
        return;
    }
    const NetAddress address = from;
    const Node::Result result =
        peer->receive(header, bytes + sizeof(header), hostTime, [this, address](const uint8_t* message, std::size_t n) {
            // A message may drop peers; deliver only while the peer is still there.
            if (Node* still = findPeer(address); still != nullptr && !isBeingDropped(*still)) {
                onMessage(*still, message, n);
            }
        });
    if (result == Node::Result::BadFragment) {
        ++badFragments;
        logTraffic(from, formatString(u"Dropped a bad fragment from %s.", from.toString()));
    }
    removeDroppedPeers();
}

void NetHost::dropPeer(Node& peer, const UString& why)
{
    if (!isBeingDropped(peer)) {
        pendingDrops.push_back({&peer, why});
    }
}

bool NetHost::isBeingDropped(const Node& peer) const
{
    for (const PendingDrop& drop : pendingDrops) {
        if (drop.peer == &peer) {
            return true;
        }
    }
    return false;
}

void NetHost::removeDroppedPeers()
{
    std::vector<PendingDrop> drops;
    drops.swap(pendingDrops);
    for (const PendingDrop& drop : drops) {
        for (std::size_t i = 0; i < peers.size(); ++i) {
            if (peers[i].get() != drop.peer) {
                continue;
            }
            const NetAddress address = peers[i]->getAddress();
            logTraffic(address, formatString(u"Warning: Peer %s %s; dropped.", address.toString(), drop.why));
            sendHandshake(HandshakeDatagram::DISCONNECT, address, 0);
            removePeer(i, u"dropped");
            if (!bIsServer) {
                clientState = ClientState::Disconnected;
            }
            break;
        }
    }
}

void NetHost::logTraffic(const NetAddress& from, const UString& text)
{
    const uint64_t key = static_cast<uint64_t>(from.getIP()) << 16 | from.getPort();
    auto it = trafficLog.find(key);
    if (it == trafficLog.end()) {
        if (trafficLog.size() >= MAX_LOGGED_ADDRESSES) {
            std::erase_if(trafficLog, [this](const auto& entry) {
                return hostTime - entry.second.lastLineTime >= LOG_INTERVAL;
            });
            if (trafficLog.size() >= MAX_LOGGED_ADDRESSES) {
                return; // a flood from many addresses at once: the lines already logged say enough
            }
        }
        it = trafficLog.emplace(key, TrafficLog{hostTime - LOG_INTERVAL, 0}).first;
    }
    TrafficLog& entry = it->second;
    if (hostTime - entry.lastLineTime < LOG_INTERVAL) {
        ++entry.leftOut;
        return;
    }
    if (entry.leftOut > 0) {
        Logger::logFrom("NetHost::logTraffic", u"%s (%u more from this address left out.)", text, entry.leftOut);
    } else {
        Logger::logFrom("NetHost::logTraffic", u"%s", text);
    }
    entry.lastLineTime = hostTime;
    entry.leftOut = 0;
}

void NetHost::service(double now)
{
    hostTime = now;
    if (connection != nullptr) {
        uint8_t buffer[NetDatagram::MAX_DATAGRAM + 1];
        NetAddress from;
        for (long n; (n = connection->receive(buffer, sizeof(buffer), from)) >= 0;) {
            if (NetTrafficRecorder* recorder = KivNetwork::getRecorder()) {
                recorder->record(false, from, buffer, static_cast<std::size_t>(n));
            }
            handleDatagram(buffer, static_cast<std::size_t>(n), from);
        }
    }
    removeDroppedPeers();
    for (std::size_t i = peers.size(); i-- > 0;) {
        if (i < peers.size() && now - peers[i]->getLastReceiveTime() > PEER_TIMEOUT) {
            removePeer(i, u"timed out");
            if (!bIsServer) {
                clientState = ClientState::TimedOut;
            }
        }
    }
    if (clientState == ClientState::Connecting) {
        if (now - connectStartTime > PEER_TIMEOUT) {
            clientState = ClientState::TimedOut;
            Logger::logFrom("NetHost::service", u"No answer from %s.", serverAddress.toString());
        } else if (now - lastConnectSendTime >= CONNECT_RESEND_INTERVAL) {
            lastConnectSendTime = now;
            sendHandshake(HandshakeDatagram::CONNECT, serverAddress, 0);
        }
    }
}

void NetHost::queueTo(Node& peer, const Packet& packet) { peer.queueMessage(packet.data(), packet.size()); }

void NetHost::sendToAll(const Packet& packet)
{
    for (const auto& peer : peers) {
        peer->queueMessage(packet.data(), packet.size());
        const NetAddress to = peer->getAddress();
        peer->buildDatagrams(hostWord, hostTime,
                             [this, &to](const uint8_t* bytes, std::size_t n) { sendDatagram(bytes, n, to); });
    }
}

void NetHost::removePeer(std::size_t index, const char16_t* why)
{
    std::unique_ptr<Node> peer = std::move(peers[index]);
    peers.erase(peers.begin() + static_cast<std::ptrdiff_t>(index));
    Logger::logFrom("NetHost::removePeer", u"Peer %s %s.", peer->getAddress().toString(), why);
    onPeerDisconnected(*peer);
}

void NetHost::disconnectAll()
{
    while (!peers.empty()) {
        sendHandshake(HandshakeDatagram::DISCONNECT, peers.back()->getAddress(), 0);
        std::unique_ptr<Node> peer = std::move(peers.back());
        peers.pop_back();
        onPeerDisconnected(*peer);
    }
}
