#include "engine/net/NetDatagram.h"

#include <cstring>

#include "engine/net/Packet.h"

namespace NetDatagram {

Kind parse(const uint8_t* bytes, std::size_t size, HandshakeDatagram& handshake, DataDatagramHeader& data)
{
    if (size < 4) {
        return Kind::Bad;
    }
    uint32_t first = 0;
    std::memcpy(&first, bytes, 4);
    if (first == HandshakeDatagram::HANDSHAKE_TAG) {
        if (size != sizeof(HandshakeDatagram)) {
            return Kind::Bad;
        }
        std::memcpy(&handshake, bytes, sizeof(handshake));
        if (handshake.crc != Packet::crc32(bytes, offsetof(HandshakeDatagram, crc)) ||
            handshake.type < HandshakeDatagram::CONNECT || handshake.type > HandshakeDatagram::DISCONNECT) {
            return Kind::Bad;
        }
        return Kind::Handshake;
    }
    if (size < sizeof(DataDatagramHeader) || size > MAX_DATAGRAM) {
        return Kind::Bad;
    }
    std::memcpy(&data, bytes, sizeof(data));
    if (data.crc != Packet::crc32(bytes + 8, size - 8)) {
        return Kind::Bad;
    }
    if (data.payloadSize != size - sizeof(DataDatagramHeader)) {
        return Kind::Bad;
    }
    if (data.fragmentCount == 0) {
        return data.payloadSize == 0 ? Kind::Data : Kind::Bad;
    }
    if (data.fragmentCount > MAX_FRAGMENTS || data.fragmentIndex >= data.fragmentCount || data.sequence == 0) {
        return Kind::Bad;
    }
    // Every fragment but the last is full, so a message is rebuilt by position alone.
    const bool last = data.fragmentIndex + 1 == data.fragmentCount;
    if (last ? data.payloadSize == 0 && data.fragmentCount > 1 : data.payloadSize != MAX_FRAGMENT_PAYLOAD) {
        return Kind::Bad;
    }
    return Kind::Data;
}

void seal(HandshakeDatagram& handshake)
{
    handshake.crc = Packet::crc32(&handshake, offsetof(HandshakeDatagram, crc));
}

void seal(uint8_t* bytes, std::size_t size)
{
    const uint32_t crc = Packet::crc32(bytes + 8, size - 8);
    std::memcpy(bytes + 4, &crc, 4);
}

} // namespace NetDatagram
