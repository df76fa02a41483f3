#pragma once
// Direct access to a packet's buffer for the class layouts: a copy of the packet's cursor and bit state
// that writes and reads without checks of its own. The caller makes sure of the room first (ensure when
// writing, remaining when reading) and hands the state back (store) before anything else uses the packet;
// load takes it up again afterwards. The encodings are those of the packet's own operations.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/net/Packet.h"
#include "engine/net/VarInt.h"

class PacketCursor {
public:
    explicit PacketCursor(Packet& packet) : packet(packet) { load(); }

    struct Mark {
        std::size_t pos;
        std::size_t bitByte;
        int bitsUsed;
    };

    void load()
    {
        buf = packet.buffer.data();
        pos = packet.cursor;
        end = packet.bWriting ? packet.buffer.size() : packet.length;
        bitByte = packet.bitByte;
        bitsUsed = packet.bitsUsed;
    }
    void store()
    {
        packet.cursor = pos;
        packet.bitByte = bitByte;
        packet.bitsUsed = bitsUsed;
    }
    Mark mark() const { return {pos, bitByte, bitsUsed}; }
    void restore(const Mark& m)
    {
        pos = m.pos;
        bitByte = m.bitByte;
        bitsUsed = m.bitsUsed;
    }
    std::size_t remaining() const { return end - pos; }
    std::size_t position() const { return pos; }

    // Writing: room for `count` more bytes.
    void ensure(std::size_t count)
    {
        if (end - pos < count) {
            store();
            packet.reserve(count);
            load();
        }
    }
    void putVarUInt(uint32_t v) { pos += VarInt::putUInt(buf + pos, v); }
    void putVarInt(int32_t value) { pos += VarInt::putInt(buf + pos, value); }
    void putBit(bool on)
    {
        if (bitsUsed == 8) {
            bitByte = pos;
            bitsUsed = 0;
            buf[pos++] = 0;
        }
        if (on) {
            buf[bitByte] |= static_cast<uint8_t>(1u << bitsUsed);
        }
        ++bitsUsed;
    }
    void putWord(uint32_t v)
    {
        buf[pos] = static_cast<uint8_t>(v);
        buf[pos + 1] = static_cast<uint8_t>(v >> 8);
        buf[pos + 2] = static_cast<uint8_t>(v >> 16);
        buf[pos + 3] = static_cast<uint8_t>(v >> 24);
        pos += 4;
    }
    void putRaw(const void* bytes, std::size_t count)
    {
        std::memcpy(buf + pos, bytes, count);
        pos += count;
    }
    uint8_t* at() { return buf + pos; }
    void skip(std::size_t count) { pos += count; }

    // Reading. The variable-length integers answer false for an overlong form (the packet's own operation
    // then reports it).
    bool getVarUInt(uint32_t& value)
    {
        const std::size_t used = VarInt::getUInt(buf + pos, value);
        pos += used;
        return used != 0;
    }
    bool getVarInt(int32_t& value)
    {
        const uint8_t first = buf[pos++];
        uint32_t magnitude = first & 0x3F;
        if (first & 0x80) {
            uint32_t rest = 0;
            if (!getVarUInt(rest) || rest > (0xFFFFFFFFu >> 6)) {
                return false;
            }
            magnitude |= rest << 6;
        }
        value = (first & 0x40) ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
        return true;
    }
    bool getBit()
    {
        if (bitsUsed == 8) {
            bitByte = pos;
            bitsUsed = 0;
            ++pos;
        }
        return (buf[bitByte] >> bitsUsed++) & 1u;
    }
    uint32_t getWord()
    {
        const uint32_t v = buf[pos] | (buf[pos + 1] << 8) | (buf[pos + 2] << 16) |
                           (static_cast<uint32_t>(buf[pos + 3]) << 24);
        pos += 4;
        return v;
    }
    void getRaw(void* bytes, std::size_t count)
    {
        std::memcpy(bytes, buf + pos, count);
        pos += count;
    }

private:
    Packet& packet;
    uint8_t* buf = nullptr;
    std::size_t pos = 0;
    std::size_t end = 0;
    std::size_t bitByte = 0;
    int bitsUsed = 8;
};
