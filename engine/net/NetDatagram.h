#pragma once
// The datagram layouts between game hosts (little-endian words) and their parser. Every datagram is either a
// handshake, tagged by HANDSHAKE_TAG in its first word, or a data datagram that starts with its sender's
// host word (which a host never draws equal to the tag). Both carry a CRC-32 over their other bytes.
#include <cstddef>
#include <cstdint>

struct HandshakeDatagram {
    static constexpr uint32_t HANDSHAKE_TAG = 0xFEFDFCFB;
    enum Type : uint8_t { CONNECT = 1, ACCEPT = 2, REFUSE = 3, DISCONNECT = 4 };
    enum RefuseReason : uint8_t { NONE = 0, SERVER_FULL = 1, WRONG_GAME = 2 };

    uint32_t tag;        // HANDSHAKE_TAG
    uint8_t type;        // Type
    uint8_t reason;      // RefuseReason of a refusal
    uint8_t reserved[2]; // 0
    uint32_t senderWord; // the sender's host word
    uint32_t peerWord;   // accept: the player id the server gives the peer
    double version;      // connect and accept: the game's version number
    char identity[32];   // connect and accept: the game's identity text, UTF-8, NUL-padded
    uint32_t crc;        // CRC-32 of the bytes before it
    uint8_t tail[4];     // 0
};
static_assert(sizeof(HandshakeDatagram) == 64);
static_assert(offsetof(HandshakeDatagram, senderWord) == 8);
static_assert(offsetof(HandshakeDatagram, version) == 16);
static_assert(offsetof(HandshakeDatagram, identity) == 24);
static_assert(offsetof(HandshakeDatagram, crc) == 56);

// A data datagram carries one fragment of one sequenced message, or (fragmentCount 0) only the
// acknowledgement: a replication step with nothing to say still sends one.
struct DataDatagramHeader {
    uint32_t senderWord;     // the sender's host word
    uint32_t crc;            // CRC-32 of every byte after this field, payload included
    uint32_t ack;            // every message with a lower sequence number has arrived
    uint32_t ackBits;        // bit i set: message ack + 1 + i has arrived as well
    uint32_t sequence;       // the message's sequence number, from 1
    uint16_t fragmentIndex;  // 0 .. fragmentCount - 1
    uint16_t fragmentCount;  // 0 for an acknowledgement alone
    uint16_t payloadSize;    // bytes of this fragment after the header
    uint16_t reserved;       // 0
};
static_assert(sizeof(DataDatagramHeader) == 28);
static_assert(offsetof(DataDatagramHeader, sequence) == 16);
static_assert(offsetof(DataDatagramHeader, fragmentIndex) == 20);

namespace NetDatagram {

constexpr std::size_t MAX_DATAGRAM = 1400;
constexpr std::size_t MAX_FRAGMENT_PAYLOAD = MAX_DATAGRAM - sizeof(DataDatagramHeader);
// A message is at most this many fragments (about 5.5 MB).
constexpr uint32_t MAX_FRAGMENTS = 4096;

enum class Kind { Handshake, Data, Bad };

// Classifies and checks one received datagram: its size, layout and CRC. On success the header is copied
// out; for data the payload starts at bytes + sizeof(DataDatagramHeader).
Kind parse(const uint8_t* bytes, std::size_t size, HandshakeDatagram& handshake, DataDatagramHeader& data);

void seal(HandshakeDatagram& handshake);
// Fills in the CRC of a data datagram whose header and payload are in place.
void seal(uint8_t* bytes, std::size_t size);

} // namespace NetDatagram
