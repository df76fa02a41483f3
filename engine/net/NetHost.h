#pragma once
// The host layer of a network role: its connection and its peers, the handshake (connect, accept, refusal,
// disconnect), and the reliable message streams to and from each peer. A server accepts peers up to its
// maximum; a client connects to one server. Peers silent for more than PEER_TIMEOUT seconds are dropped.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetDatagram.h"
#include "engine/net/Node.h"

class NetConnection;
class Packet;

class NetHost : public KivBase {
public:
    static constexpr double PEER_TIMEOUT = 5.0;
    static constexpr double CONNECT_RESEND_INTERVAL = 0.25;
    // Lines about refused or dropped traffic: at most one a second per address.
    static constexpr double LOG_INTERVAL = 1.0;
    // Addresses whose lines are held back; past this those silent for LOG_INTERVAL are forgotten.
    static constexpr std::size_t MAX_LOGGED_ADDRESSES = 1024;

    enum class ClientState { Idle, Connecting, Connected, Refused, TimedOut, Disconnected };

    NetHost(int32_t hostMode, bool isServer, const UString& identity, double version, const UString& secondIdentity);
    // Tells every peer goodbye and deletes an owned connection.
    ~NetHost() override;

    // Client: starts the handshake with a server (sent again until it answers or PEER_TIMEOUT passes).
    void connectTo(const NetAddress& server);
    // Receives and handles everything waiting, then drops silent peers and runs the client's handshake.
    void service(double now);
    // Sends the packet as one message to every peer (with no peer nothing is sent); every peer gets at
    // least one datagram.
    void sendToAll(const Packet& packet);
    // Queues one message for one peer; it goes out with the next send.
    void queueTo(Node& peer, const Packet& packet);
    // Says goodbye to every peer and forgets them.
    void disconnectAll();
    // Drops a peer that cannot be trusted (its message could not be read): it is told goodbye and removed
    // once the datagram being handled is done; no further message of it is delivered.
    void dropPeer(Node& peer, const UString& why);
    bool isBeingDropped(const Node& peer) const;

    const std::vector<std::unique_ptr<Node>>& getPeers() const { return peers; }
    Node* findPeer(const NetAddress& address) const;
    ClientState getClientState() const { return clientState; }
    uint8_t getRefuseReason() const { return refuseReason; }

    NetConnection* connection = nullptr;
    bool bOwnsConnection = false;
    bool bIsServer;
    int32_t hostMode;
    uint32_t hostWord = 0; // the role's own player id
    int32_t maxPeers = 0;
    UString identity;
    double version;
    UString secondIdentity;
    double hostTime = 0.0; // the clock the protocol runs on

    // Datagrams dropped, by cause.
    uint32_t badDatagrams = 0;
    uint32_t unknownPeerDatagrams = 0;
    uint32_t badFragments = 0;
    uint32_t refusedPeers = 0;

    // Handles one received datagram (the parser's entry point).
    void handleDatagram(const uint8_t* bytes, std::size_t size, const NetAddress& from);

protected:
    // A new peer is about to join (the server sends what it gathered so far to the others first).
    virtual void onPeerJoining() {}
    virtual void onPeerConnected(Node& /*peer*/) {}
    virtual void onPeerDisconnected(Node& /*peer*/) {}
    // One whole message of a peer, in order.
    virtual void onMessage(Node& /*peer*/, const uint8_t* /*bytes*/, std::size_t /*size*/) {}

    std::vector<std::unique_ptr<Node>> peers;

private:
    void handleHandshake(const HandshakeDatagram& handshake, const NetAddress& from);
    void sendHandshake(uint8_t type, const NetAddress& to, uint32_t peerWord, uint8_t reason = 0);
    void sendDatagram(const uint8_t* bytes, std::size_t size, const NetAddress& to);
    void removePeer(std::size_t index, const char16_t* why);
    void removeDroppedPeers();
    // Logs a line about traffic from `from` unless one was logged for that address less than
    // LOG_INTERVAL ago; the next line then says how many were left out.
    void logTraffic(const NetAddress& from, const UString& text);
    bool identityMatches(const HandshakeDatagram& handshake) const;
    uint32_t drawPeerWord() const;

    ClientState clientState = ClientState::Idle;
    NetAddress serverAddress;
    double connectStartTime = 0.0;
    double lastConnectSendTime = 0.0;
    uint8_t refuseReason = 0;

    struct PendingDrop {
        const Node* peer;
        UString why;
    };
    std::vector<PendingDrop> pendingDrops;
    struct TrafficLog {
        double lastLineTime;
        uint32_t leftOut;
    };
    std::map<uint64_t, TrafficLog> trafficLog; // by address and port
};
