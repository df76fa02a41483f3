#pragma once
// A non-blocking IPv4 datagram socket and the host-name look-up: the only code that sees the socket API.
// Addresses are 16-byte IPv4 socket addresses (family, port and address in network order, 8 zero bytes).
#include <cstddef>
#include <cstdint>
#include <string>

class UdpSocket {
public:
    // Opens a socket, makes it non-blocking, sets a receive buffer of receiveBufferSize bytes, allows
    // broadcasting and binds it to the address. Any failed call is fatal, reported with the call as the
    // statement and the error's name.
    UdpSocket(const void* sockaddr16, int receiveBufferSize);
    // The same, except that an address that cannot be bound (taken by another program, no rights) is no
    // fatal error: *bindError gets the system's error code and the socket stays closed.
    UdpSocket(const void* sockaddr16, int receiveBufferSize, int* bindError);
    bool isOpen() const { return fd >= 0; }
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // The address the socket is bound to (the port the system chose for port 0).
    void getLocalAddress(void* sockaddr16) const;
    // Sends one datagram; false when the system would not take it now (the datagram is lost, as any
    // datagram may be).
    bool sendTo(const void* bytes, std::size_t count, const void* sockaddr16);
    // One waiting datagram into the buffer: its size (datagrams longer than the buffer are cut), or -1
    // when none is waiting. The sender's address goes to sockaddr16.
    long receiveFrom(void* bytes, std::size_t capacity, void* sockaddr16);

    // IPv4 address of a host name in network order; false when it cannot be resolved.
    static bool resolveHost(const std::string& name, uint32_t& addressNetworkOrder);

private:
    int fd = -1;
};
