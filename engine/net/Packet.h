#pragma once
// The one serialisation buffer. Every operation reads or writes at the cursor according to bWriting, so one
// routine serves both directions. Used for datagrams, level files, object saving and in-process copies.
// Reads are bounds-checked and every value read is checked before it is used: a damaged stream of our own
// (a level file of the archive) ends in the fatal path; one from outside (a peer's message, a level the
// user saved) ends in a PacketDecodeError, which drops the message and the peer, or the saved level.
// Never outside the buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "engine/core/UString.h"
#include "engine/net/VarInt.h"

class KivBase;
class RuntimeClass;

// A packet's bytes. Growing keeps only the bytes in use and leaves the new room as it comes: every byte
// of a packet is written before it is read or sent.
class PacketBuffer {
public:
    PacketBuffer() = default;
    PacketBuffer(const PacketBuffer& other) { *this = other; }
    PacketBuffer& operator=(const PacketBuffer& other)
    {
        if (this != &other) {
            resize(other.count, 0);
            if (count != 0) {
                std::memcpy(bytes.get(), other.bytes.get(), count);
            }
        }
        return *this;
    }
    PacketBuffer(PacketBuffer&& other) noexcept = default;
    PacketBuffer& operator=(PacketBuffer&& other) noexcept = default;

    uint8_t* data() { return bytes.get(); }
    const uint8_t* data() const { return bytes.get(); }
    std::size_t size() const { return count; }
    uint8_t& operator[](std::size_t i) { return bytes[i]; }
    uint8_t operator[](std::size_t i) const { return bytes[i]; }
    // Room for `size` bytes, of which the first `keep` stay as they were.
    void resize(std::size_t size, std::size_t keep)
    {
        std::unique_ptr<uint8_t[]> grown(size != 0 ? new uint8_t[size] : nullptr);
        keep = keep < count ? keep : count;
        keep = keep < size ? keep : size;
        if (keep != 0) {
            std::memcpy(grown.get(), bytes.get(), keep);
        }
        bytes = std::move(grown);
        count = size;
    }

private:
    std::unique_ptr<uint8_t[]> bytes;
    std::size_t count = 0;
};

// A peer's message that cannot be read: the receiver drops the message and the peer.
class PacketDecodeError : public std::runtime_error {
public:
    explicit PacketDecodeError(UString text) : std::runtime_error(wideToUtf8(text)), message(std::move(text)) {}
    UString message;
};


class Packet {
public:
    // Command flags.
    static constexpr uint32_t FLAG_COMMANDS = 1;  // a command stream (datagram payloads, level files)
    static constexpr uint32_t FLAG_LOCAL_COPY = 2; // in-process copy: object references travel as raw pointers
    static constexpr uint32_t FLAG_STORED = 4;     // a stored stream (level file)
    static constexpr uint32_t FLAG_PEER = 8;       // from outside (a peer's message, a user's level): not trusted

    static constexpr int DEFAULT_CAPACITY = 0x40000;
    // A string's UTF-8 form must stay shorter than this.
    static constexpr int BUFFERSIZE = 1024;

    // A new packet is in writing mode. A negative capacity means DEFAULT_CAPACITY. The buffer grows when a
    // write would pass its end.
    explicit Packet(uint32_t commandFlags = FLAG_COMMANDS, int capacity = -1);

    // Raw bytes between the caller's buffer and the cursor.
    void doBytes(void* bytes, std::size_t count);
    void rewindToRead();
    // Back to an empty packet in writing mode (cursor at the start, bit state cleared).
    void reset();
    // Makes the packet a reading packet over a copy of the given bytes.
    void setReadData(const void* bytes, std::size_t count);

    void doVarUInt(uint32_t& value)
    {
        // With room for the longest form at hand, no step of its own checks.
        if (bWriting) {
            if (buffer.size() - cursor >= VarInt::MAX_BYTES) {
                cursor += VarInt::putUInt(buffer.data() + cursor, value);
                return;
            }
        } else if (length - cursor >= VarInt::MAX_BYTES) {
            if (const std::size_t used = VarInt::getUInt(buffer.data() + cursor, value)) {
                cursor += used;
                return;
            } // overlong: reported by the long way
        }
        doVarUIntChecked(value);
    }
    void doVarInt(int32_t& value);
    void doHalfFloat(float& value);
    void doBit(uint8_t& variable, int bitNumber)
    {
        // A bit that fits the current bit byte.
        if (bitsUsed < 8 && static_cast<unsigned>(bitNumber) < 8) {
            transferBit(variable, bitNumber);
            return;
        }
        doBitChecked(variable, bitNumber);
    }
    void doBool(bool& value);
    // `name`, when known, is the property the text belongs to, for the reason a stream is refused for.
    void doUString(UString& value, int maxLength, UStringView name = {});
    void doDWORD(uint32_t& value);
    void doFloat(float& value);   // raw 32 bits
    void doDouble(double& value); // raw 64 bits
    void doClassID(const RuntimeClass*& runtimeClass);
    void doPointer2(KivBase*& object);
    void doResourcePointer2(KivBase*& resource);

    static uint32_t crc32(const void* bytes, std::size_t count, uint32_t crc = 0);
    uint32_t crc32() const { return crc32(data(), size()); }

    // The written bytes (writing) or the whole stream (reading).
    const uint8_t* data() const { return buffer.data(); }
    uint8_t* data() { return buffer.data(); }
    std::size_t size() const { return bWriting ? cursor : length; }
    std::size_t getCursor() const { return cursor; }
    std::size_t capacity() const { return buffer.size(); }
    bool isEmpty() const { return size() == 0; }
    bool hasMoreToRead() const { return !bWriting && cursor < length; }
    std::size_t remainingToRead() const { return bWriting ? 0 : length - cursor; }
    bool isLocalCopy() const { return (commandFlags & FLAG_LOCAL_COPY) != 0; }
    bool isPeerInput() const { return (commandFlags & FLAG_PEER) != 0; }

    // The stream holds something that cannot be taken: a PacketDecodeError for a peer's message, else the
    // fatal error with this message, reported from `function` (the caller's __PRETTY_FUNCTION__).
    [[noreturn]] void decodeFailed(UStringView message, const char* function, const char* file = __builtin_FILE(),
                                   int line = __builtin_LINE()) const;
    // The same with a reason of its own for a stream from outside, said as its user would understand it
    // (the fatal path keeps its message).
    [[noreturn]] void decodeFailed(UStringView message, UStringView reason, const char* function,
                                   const char* file = __builtin_FILE(), int line = __builtin_LINE()) const;
    // The same for a failed check that the fatal path reports as an assertion.
    [[noreturn]] void decodeCheckFailed(const char* statement, UStringView reason, const char* function,
                                        const char* file = __builtin_FILE(), int line = __builtin_LINE()) const;

    bool bWriting = true;
    uint32_t commandFlags;

private:
    friend class PacketCursor;

    void doVarUIntChecked(uint32_t& value);
    // A variable-length integer whose bytes at `offset` run on beyond 32 bits.
    [[noreturn]] void overlongNumber(unsigned offset) const;
    void doBitChecked(uint8_t& variable, int bitNumber);
    // Writes or reads one bit of `variable` at the next place of the current bit byte.
    void transferBit(uint8_t& variable, int bitNumber)
    {
        const uint8_t mask = static_cast<uint8_t>(1u << bitNumber);
        if (bWriting) {
            if (variable & mask) {
                buffer[bitByte] |= static_cast<uint8_t>(1u << bitsUsed);
            }
        } else if (buffer[bitByte] & (1u << bitsUsed)) {
            variable |= mask;
        } else {
            variable &= static_cast<uint8_t>(~mask);
        }
        ++bitsUsed;
    }
    void write(const void* bytes, std::size_t count);
    void read(void* bytes, std::size_t count);
    uint8_t readByte();
    void writeByte(uint8_t byte);
    void reserve(std::size_t count);

    PacketBuffer buffer;
    std::size_t cursor = 0;
    std::size_t length = 0; // bytes available to read
    // Bit stream: bits go into a byte reserved inline at the cursor when the previous bit byte is full.
    std::size_t bitByte = 0;
    int bitsUsed = 8;
};
