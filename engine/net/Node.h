#pragma once
// One peer of a host: its address and words, and the reliable, ordered message stream over datagrams.
// Each message gets a sequence number and is cut into fragments; it is sent again until the peer
// acknowledges it. Received fragments are put together and whole messages handed on in sequence order,
// each exactly once, whatever the link drops, duplicates or reorders.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "engine/net/NetAddress.h"
#include "engine/net/NetDatagram.h"

class Node {
public:
    // Messages further ahead than this are not buffered (the sender sends them again later).
    static constexpr uint32_t RECEIVE_WINDOW = 512;
    // Bytes of incomplete or early messages a peer may make us hold.
    static constexpr std::size_t MAX_BUFFERED_BYTES = 16u << 20;
    static constexpr double MIN_RESEND_INTERVAL = 0.1;
    static constexpr double MAX_RESEND_INTERVAL = 1.0;

    enum class Result { Ok, Duplicate, BadFragment };

    Node(const NetAddress& address, uint32_t peerWord, double now);

    // Queues one message for sending (an empty message is not queued).
    void queueMessage(const uint8_t* bytes, std::size_t size);
    // The datagrams of this step: every fragment of each message not sent yet or due again, or, when
    // there is none, one datagram with the acknowledgement alone.
    void buildDatagrams(uint32_t ownWord, double now, const std::function<void(const uint8_t*, std::size_t)>& send);
    // A checked data datagram of this peer. Whole messages go to `deliver` in order.
    Result receive(const DataDatagramHeader& header, const uint8_t* payload, double now,
                   const std::function<void(const uint8_t*, std::size_t)>& deliver);

    const NetAddress& getAddress() const { return address; }
    uint32_t getPeerWord() const { return peerWord; }
    double getLastReceiveTime() const { return lastReceiveTime; }
    double getRoundTripTime() const { return roundTripTime; }
    std::size_t getSendQueueLength() const { return outgoing.size(); }
    std::size_t getReceiveQueueLength() const { return incoming.size(); }

    // Counters for the debug overlay and the tests.
    uint32_t datagramsSent = 0;
    uint32_t datagramsReceived = 0;
    uint32_t messagesDelivered = 0;
    uint32_t resends = 0;
    uint32_t duplicates = 0;
    uint32_t badFragments = 0;

private:
    struct Outgoing {
        std::vector<uint8_t> bytes;
        double firstSendTime = 0.0;
        double lastSendTime = 0.0;
        int sendCount = 0;
    };
    struct Incoming {
        uint16_t fragmentCount = 0;
        uint16_t fragmentsReceived = 0;
        std::vector<bool> received;
        std::vector<uint8_t> bytes;
    };

    void acknowledge(uint32_t ack, uint32_t ackBits, double now);
    void acknowledgeOne(std::map<uint32_t, Outgoing>::iterator it, double now);
    double resendInterval() const;

    NetAddress address;
    uint32_t peerWord;
    double lastReceiveTime;
    double roundTripTime = 0.0;

    uint32_t nextSequence = 1;
    std::map<uint32_t, Outgoing> outgoing; // unacknowledged messages

    uint32_t nextExpected = 1;             // next message to deliver
    std::map<uint32_t, Incoming> incoming; // incomplete or early messages
    std::size_t bufferedBytes = 0;
};
