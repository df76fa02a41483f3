#pragma once
// One UDP endpoint: a non-blocking datagram socket bound to a local address, or, for 127.0.0.1 while the
// engine emulates localhost, an endpoint that exchanges datagrams with the other emulated endpoints of the
// process through in-process queues.
#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

#include "engine/net/NetAddress.h"

class UdpSocket;

class NetConnection {
public:
    static constexpr int RECEIVE_BUFFER_SIZE = 0x40000;

    // Emulates localhost when the engine's network service asks for it.
    explicit NetConnection(const NetAddress& local);
    NetConnection(const NetAddress& local, bool emulateLocalhost);
    ~NetConnection();
    // A real socket on the address, or null with `error` saying why when the address cannot be bound.
    static std::unique_ptr<NetConnection> tryBind(const NetAddress& local, UString& error);
    NetConnection(const NetConnection&) = delete;
    NetConnection& operator=(const NetConnection&) = delete;

    // Sends one datagram; a datagram may be lost on the way.
    void send(const void* bytes, std::size_t count, const NetAddress& to);
    // One waiting datagram (cut at capacity): its size, or -1 when none is waiting.
    long receive(void* bytes, std::size_t capacity, NetAddress& from);

    // The bound address (with the port the system chose for port 0).
    const NetAddress& getLocalAddress() const { return localAddress; }
    bool isEmulated() const { return socket == nullptr; }

private:
    NetConnection() = default;
    struct Datagram {
        NetAddress from;
        std::vector<uint8_t> bytes;
    };

    NetAddress localAddress;
    std::unique_ptr<UdpSocket> socket;
    std::deque<Datagram> queue; // emulated endpoint: datagrams waiting to be received
};
