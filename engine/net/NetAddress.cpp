#include "engine/net/NetAddress.h"

#include <bit>
#include <cstring>

#include "engine/core/Format.h"
#include "engine/platform/net/UdpSocket.h"

namespace {
// Between host and network byte order.
uint16_t swap16(uint16_t v)
{
    if constexpr (std::endian::native == std::endian::big) {
        return v;
    }
    return static_cast<uint16_t>((v >> 8) | (v << 8));
}
uint32_t swap32(uint32_t v)
{
    if constexpr (std::endian::native == std::endian::big) {
        return v;
    }
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}
} // namespace

NetAddress::NetAddress() : NetAddress(0, DEFAULT_PORT) {}

NetAddress::NetAddress(uint32_t ipHostOrder, uint16_t portHostOrder)
    : family(FAMILY_IPV4), port(swap16(portHostOrder)), address(swap32(ipHostOrder)), zero{}
{
}

uint32_t NetAddress::getIP() const { return swap32(address); }
uint16_t NetAddress::getPort() const { return swap16(port); }
void NetAddress::setPort(uint16_t portHostOrder) { port = swap16(portHostOrder); }

void NetAddress::setBoth(const UString& hostName, uint16_t portHostOrder)
{
    family = FAMILY_IPV4;
    std::memset(zero, 0, sizeof(zero));
    setPort(portHostOrder);
    uint32_t resolved = 0;
    if (toLowerAscii(hostName) != u"localhost" && UdpSocket::resolveHost(wideToUtf8(hostName), resolved)) {
        address = resolved;
    } else {
        address = swap32(0x7F000001u);
    }
}

void NetAddress::setFromString(const UString& text)
{
    const std::size_t colon = text.rfind(u':');
    if (colon == UString::npos) {
        setBoth(text, 0);
        return;
    }
    unsigned long value = 0;
    for (std::size_t i = colon + 1; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value <= 0xFFFF; ++i) {
        value = value * 10 + (text[i] - u'0');
    }
    setBoth(text.substr(0, colon), static_cast<uint16_t>(value > 0xFFFF ? 0 : value));
}

UString NetAddress::toString() const
{
    const uint32_t ip = getIP();
    return formatString(u"%u.%u.%u.%u:%u", ip >> 24, (ip >> 16) & 0xFF, (ip >> 8) & 0xFF, ip & 0xFF,
                        static_cast<unsigned>(getPort()));
}
