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
        uint8_t* p;
        uint8_t* bitAt;
        int bitsUsed;
    };

    void load()
    {
        buf = packet.buffer.data();
        p = buf + packet.cursor;
        end = buf + (packet.bWriting ? packet.buffer.size() : packet.length);
        bitAt = buf + packet.bitByte;
        bitsUsed = packet.bitsUsed;
    }
    void store()
    {
        packet.cursor = static_cast<std::size_t>(p - buf);
        packet.bitByte = static_cast<std::size_t>(bitAt - buf);
        packet.bitsUsed = bitsUsed;
    }
    Mark mark() const { return {p, bitAt, bitsUsed}; }
    void restore(const Mark& m)
    {
        p = m.p;
        bitAt = m.bitAt;
        bitsUsed = m.bitsUsed;
    }
    std::size_t remaining() const { return static_cast<std::size_t>(end - p); }
    std::size_t position() const { return static_cast<std::size_t>(p - buf); }

    // Writing: room for `count` more bytes.
    void ensure(std::size_t count)
    {
        if (static_cast<std::size_t>(end - p) < count) {
            store();
            packet.reserve(count);
            load();
        }
    }
    void putVarUInt(uint32_t v)
    {
        if (v < 0x80) {
            *p++ = static_cast<uint8_t>(v);
            return;
        }
        p += VarInt::putUInt(p, v);
    }
    void putVarInt(int32_t value)
    {
        if (static_cast<uint32_t>(value) < 0x40) {
            *p++ = static_cast<uint8_t>(value);
            return;
        }
        p += VarInt::putInt(p, value);
    }
    void putBit(bool on)
    {
        if (bitsUsed == 8) {
            bitAt = p;
            bitsUsed = 0;
            *p++ = 0;
        }
        *bitAt |= static_cast<uint8_t>(static_cast<unsigned>(on) << bitsUsed);
        ++bitsUsed;
    }
    void putWord(uint32_t v)
    {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
        p[3] = static_cast<uint8_t>(v >> 24);
        p += 4;
    }
    void putRaw(const void* bytes, std::size_t count)
    {
        std::memcpy(p, bytes, count);
        p += count;
    }
    uint8_t* at() { return p; }
    void skip(std::size_t count) { p += count; }

    // Reading. The variable-length integers answer false for an overlong form (the packet's own operation
    // then reports it).
    bool getVarUInt(uint32_t& value)
    {
        if (*p < 0x80) {
            value = *p++;
            return true;
        }
        const std::size_t used = VarInt::getUInt(p, value);
        p += used;
        return used != 0;
    }
    bool getVarInt(int32_t& value)
    {
        const uint8_t first = *p++;
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
            bitAt = p;
            bitsUsed = 0;
            ++p;
        }
        return (*bitAt >> bitsUsed++) & 1u;
    }
    uint32_t getWord()
    {
        const uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
        p += 4;
        return v;
    }
    void getRaw(void* bytes, std::size_t count)
    {
        std::memcpy(bytes, p, count);
        p += count;
    }

private:
    Packet& packet;
    uint8_t* buf = nullptr;
    uint8_t* p = nullptr;
    uint8_t* end = nullptr;
    uint8_t* bitAt = nullptr;
    int bitsUsed = 8;
};
