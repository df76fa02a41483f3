#include "engine/net/Packet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <zlib.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/KivBase.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"

Packet::Packet(uint32_t commandFlags, int capacity) : commandFlags(commandFlags)
{
    buffer.resize(capacity < 0 ? DEFAULT_CAPACITY : static_cast<std::size_t>(capacity), 0);
}

void Packet::decodeFailed(UStringView message, const char* function, const char* file, int line) const
{
    decodeFailed(message, message, function, file, line);
}

void Packet::decodeFailed(UStringView message, UStringView reason, const char* function, const char* file,
                          int line) const
{
    if (isPeerInput()) {
        throw PacketDecodeError(UString(reason));
    }
    ErrorManager::error(message, function, file, line);
}

void Packet::decodeCheckFailed(const char* statement, UStringView reason, const char* function, const char* file,
                               int line) const
{
    if (isPeerInput()) {
        throw PacketDecodeError(UString(reason));
    }
    ErrorManager::assertionFailed(statement, function, file, line);
}

void Packet::reserve(std::size_t count)
{
    if (count > buffer.size() - cursor) {
        std::size_t grown = buffer.size() < 64 ? 64 : buffer.size();
        while (grown - cursor < count) {
            grown *= 2;
        }
        buffer.resize(grown, cursor);
    }
}

void Packet::write(const void* bytes, std::size_t count)
{
    reserve(count);
    if (count > 0) {
        std::memcpy(buffer.data() + cursor, bytes, count);
    }
    cursor += count;
}

void Packet::read(void* bytes, std::size_t count)
{
    if (count > length - cursor) {
        const auto wanted = static_cast<unsigned>(count);
        const auto at = static_cast<unsigned>(cursor);
        const auto end = static_cast<unsigned>(length);
        decodeFailed(formatString(u"Packet truncated: %u bytes wanted at offset %u of %u.", wanted, at, end),
                     formatString(u"The data ends too soon: it holds %u bytes, and %u more were wanted at byte %u.",
                                  end, wanted, at),
                     __PRETTY_FUNCTION__);
    }
    if (count > 0) {
        std::memcpy(bytes, buffer.data() + cursor, count);
    }
    cursor += count;
}

void Packet::writeByte(uint8_t byte) { write(&byte, 1); }

uint8_t Packet::readByte()
{
    uint8_t byte = 0;
    read(&byte, 1);
    return byte;
}

void Packet::doBytes(void* bytes, std::size_t count)
{
    if (bWriting) {
        write(bytes, count);
    } else {
        read(bytes, count);
    }
}

void Packet::rewindToRead()
{
    KIV_ASSERT(bWriting);
    length = cursor;
    cursor = 0;
    bitByte = 0;
    bitsUsed = 8;
    bWriting = false;
}

void Packet::reset()
{
    bWriting = true;
    cursor = 0;
    length = 0;
    bitByte = 0;
    bitsUsed = 8;
}

void Packet::setReadData(const void* bytes, std::size_t count)
{
    reset();
    write(bytes, count);
    rewindToRead();
}

void Packet::overlongNumber(unsigned offset) const
{
    decodeFailed(formatString(u"Packet holds an overlong variable-length integer at offset %u.", offset),
                 formatString(u"The data holds a damaged number at byte %u: it runs on beyond 32 bits.", offset),
                 __PRETTY_FUNCTION__);
}

void Packet::doVarUIntChecked(uint32_t& value)
{
    if (bWriting) {
        uint8_t bytes[VarInt::MAX_BYTES];
        write(bytes, VarInt::putUInt(bytes, value));
        return;
    }
    uint32_t v = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t byte = readByte();
        if (shift == 28 && (byte & 0xF0) != 0) {
            overlongNumber(static_cast<unsigned>(cursor - 1));
        }
        v |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    value = v;
}

void Packet::doVarInt(int32_t& value)
{
    if (bWriting) {
        uint8_t bytes[VarInt::MAX_BYTES];
        write(bytes, VarInt::putInt(bytes, value));
        return;
    }
    const uint8_t first = readByte();
    uint32_t magnitude = first & 0x3F;
    if (first & 0x80) {
        uint32_t rest = 0;
        doVarUInt(rest);
        if (rest > (0xFFFFFFFFu >> 6)) {
            overlongNumber(static_cast<unsigned>(cursor));
        }
        magnitude |= rest << 6;
    }
    // The magnitude 2^31 only stands for INT32_MIN; larger values wrap like the writer's arithmetic.
    value = (first & 0x40) ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
}

void Packet::doHalfFloat(float& value)
{
    if (bWriting) {
        uint16_t half = 0;
        float v = value;
        if (v != 0.0f && !std::isnan(v)) {
            if (v > 0.0f) {
                v = std::clamp(v, 3.1e-5f, 130000.0f);
            } else {
                v = std::clamp(v, -130000.0f, -3.1e-5f);
            }
            uint32_t bits = 0;
            std::memcpy(&bits, &v, 4);
            const uint32_t exponent = ((bits >> 23) & 0xFF) - 112;
            half = static_cast<uint16_t>(((bits >> 16) & 0x8000) | (exponent << 10) | ((bits >> 13) & 0x3FF));
        }
        uint8_t bytes[2] = {static_cast<uint8_t>(half & 0xFF), static_cast<uint8_t>(half >> 8)};
        write(bytes, 2);
        return;
    }
    uint8_t bytes[2];
    read(bytes, 2);
    const uint32_t half = bytes[0] | (bytes[1] << 8);
    if (half == 0) {
        value = 0.0f;
        return;
    }
    const uint32_t bits = ((half & 0x8000) << 16) | ((((half >> 10) & 0x1F) + 112) << 23) | ((half & 0x3FF) << 13);
    std::memcpy(&value, &bits, 4);
}

void Packet::doBitChecked(uint8_t& variable, int bitNumber)
{
    KIV_ASSERT(bitNumber >= 0 && bitNumber < 8);
    if (bitsUsed == 8) {
        bitByte = cursor;
        bitsUsed = 0;
        if (bWriting) {
            writeByte(0);
        } else {
            readByte();
        }
    }
    transferBit(variable, bitNumber);
}

void Packet::doBool(bool& value)
{
    uint8_t byte = value ? 1 : 0;
    doBit(byte, 0);
    value = byte != 0;
}

namespace {
// A string longer than its field's limit; the statement names the check as the field's users know it.
void checkStringLimit(const UString& value, int maxLength, const char* function)
{
    if (maxLength >= 0 && value.length() > static_cast<std::size_t>(maxLength)) {
        ErrorManager::assertionFailed("data->length() <= maxLength", function, __FILE__, __LINE__);
    }
}
} // namespace

void Packet::doUString(UString& value, int maxLength, UStringView name)
{
    if (bWriting) {
        checkStringLimit(value, maxLength, __PRETTY_FUNCTION__);
        const std::string utf8 = wideToUtf8(value);
        const std::size_t length = utf8.size();
        KIV_ASSERT(length < BUFFERSIZE);
        uint32_t count = static_cast<uint32_t>(length);
        doVarUInt(count);
        write(utf8.data(), length);
        return;
    }
    // The reasons name the text's property when it is known.
    const auto whose = [name] {
        return name.empty() ? UString(u"A text") : formatString(u"The text of '%s'", UString(name));
    };
    uint32_t length = 0;
    doVarUInt(length);
    if (!(length < BUFFERSIZE)) {
        decodeCheckFailed("length < BUFFERSIZE",
                          formatString(u"%s is %u bytes long, longer than the %d bytes a text may hold.", whose(),
                                       length, BUFFERSIZE - 1),
                          __PRETTY_FUNCTION__);
    }
    char bytes[BUFFERSIZE];
    read(bytes, length);
    value = utf8ToWide(std::string_view(bytes, length));
    if (maxLength >= 0 && value.length() > static_cast<std::size_t>(maxLength)) {
        decodeCheckFailed("data->length() <= maxLength",
                          formatString(u"%s is %u characters long, longer than the %d it may hold.", whose(),
                                       static_cast<unsigned>(value.length()), maxLength),
                          __PRETTY_FUNCTION__);
    }
}

void Packet::doDWORD(uint32_t& value)
{
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    doBytes(bytes, 4);
    value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void Packet::doFloat(float& value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    doDWORD(bits);
    std::memcpy(&value, &bits, 4);
}

void Packet::doDouble(double& value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    uint32_t low = static_cast<uint32_t>(bits);
    uint32_t high = static_cast<uint32_t>(bits >> 32);
    doDWORD(low);
    doDWORD(high);
    bits = low | (static_cast<uint64_t>(high) << 32);
    std::memcpy(&value, &bits, 8);
}

uint32_t Packet::crc32(const void* bytes, std::size_t count, uint32_t crc)
{
    return static_cast<uint32_t>(::crc32_z(crc, static_cast<const Bytef*>(bytes), count));
}

void Packet::doClassID(const RuntimeClass*& runtimeClass)
{
    RuntimeClassManager* manager = RuntimeClassManager::getInstance();
    if (bWriting) {
        KIV_ASSERT(runtimeClass != nullptr);
        manager->buildClassArray();
        uint32_t index = static_cast<uint32_t>(runtimeClass->getIndex());
        doVarUInt(index);
        return;
    }
    uint32_t index = 0;
    doVarUInt(index);
    const RuntimeClass* found =
        index <= 0x7FFFFFFFu ? manager->getClassByIndex(static_cast<int32_t>(index)) : nullptr;
    if (found == nullptr) {
        decodeFailed(formatString(u"Unknown class id %u.", index),
                     formatString(u"The data names a kind of object that this game does not know (class number %u).",
                                  index),
                     __PRETTY_FUNCTION__);
    }
    runtimeClass = found;
}

void Packet::doPointer2(KivBase*& object)
{
    if (isLocalCopy()) {
        // An in-process copy: the pointer itself.
        uint64_t raw = reinterpret_cast<uintptr_t>(object);
        doBytes(&raw, sizeof(raw));
        object = reinterpret_cast<KivBase*>(static_cast<uintptr_t>(raw));
        return;
    }
    if (bWriting) {
        const int32_t objectUID = object != nullptr ? object->objectUID : 0;
        KIV_ASSERT(objectUID >= 0);
        uint32_t uid = static_cast<uint32_t>(objectUID);
        doVarUInt(uid);
        return;
    }
    uint32_t uid = 0;
    doVarUInt(uid);
    if (uid == 0) {
        object = nullptr;
        return;
    }
    NetRole* role = THEROLE;
    KivBase* found =
        role != nullptr && uid <= 0x7FFFFFFFu ? role->findObjectOrNull(static_cast<int32_t>(uid)) : nullptr;
    if (found == nullptr) {
        decodeFailed(formatString(u"Could not find object ID %d", static_cast<int32_t>(uid)), __PRETTY_FUNCTION__);
    }
    object = found;
}

void Packet::doResourcePointer2(KivBase*& resource)
{
    const ResourceManager* resources = ResourceManager::instance();
    UString s;
    if (bWriting) {
        if (resource != nullptr) {
            const UString* name = resources != nullptr ? resources->nameOf(resource) : nullptr;
            if (name != nullptr) {
                s = *name;
            }
            if (s.empty()) {
                // A resource without a name cannot be found again.
                ErrorManager::assertionFailed("s != TT(\"\")", __PRETTY_FUNCTION__, __FILE__, __LINE__);
            }
        }
        doUString(s, -1);
        return;
    }
    doUString(s, -1);
    if (s.empty()) {
        resource = nullptr;
        return;
    }
    KivBase* found = resources != nullptr ? resources->find(s, false) : nullptr;
    if (found == nullptr) {
        decodeFailed(formatString(u"Could not find resource '%s'.", escapeControls(s)), __PRETTY_FUNCTION__);
    }
    resource = found;
}
