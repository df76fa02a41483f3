#pragma once
// An IPv4 address with a port, laid out as the 16-byte socket address: family 2, the port and the address in
// network byte order, then 8 zero bytes. The configuration stores one as it stands.
#include <cstddef>
#include <cstdint>

#include "engine/core/UString.h"

class NetAddress {
public:
    static constexpr uint16_t FAMILY_IPV4 = 2;
    static constexpr uint16_t DEFAULT_PORT = 23006;

    // The any-address and the default port.
    NetAddress();
    NetAddress(uint32_t ipHostOrder, uint16_t portHostOrder);

    // "localhost" gives 127.0.0.1; another name is looked up; a name that cannot be resolved gives 127.0.0.1.
    void setBoth(const UString& hostName, uint16_t portHostOrder);
    // "host:port"; without a colon the port is 0.
    void setFromString(const UString& text);

    uint32_t getIP() const;     // host order
    uint16_t getPort() const;   // host order
    void setPort(uint16_t portHostOrder);
    bool isLocalhost() const { return getIP() == 0x7F000001u; }
    // "a.b.c.d:port"
    UString toString() const;

    bool operator==(const NetAddress& other) const
    {
        return family == other.family && port == other.port && address == other.address;
    }
    bool operator!=(const NetAddress& other) const { return !(*this == other); }

    uint16_t family;
    uint16_t port;    // network order
    uint32_t address; // network order
    uint8_t zero[8];
};

static_assert(sizeof(NetAddress) == 16);
static_assert(offsetof(NetAddress, port) == 2);
static_assert(offsetof(NetAddress, address) == 4);
static_assert(offsetof(NetAddress, zero) == 8);
