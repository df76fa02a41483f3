#include "engine/net/NetConnection.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/net/KivNetwork.h"
#include "engine/platform/net/UdpSocket.h"

namespace {
// The emulated endpoints of the process by port; the queues of the emulated localhost link.
std::map<uint16_t, NetConnection*>& emulatedEndpoints()
{
    static std::map<uint16_t, NetConnection*> endpoints;
    return endpoints;
}
constexpr uint16_t FIRST_EMULATED_PORT = 49152;
} // namespace

NetConnection::NetConnection(const NetAddress& local) : NetConnection(local, KivNetwork::isEmulatingLocalhost()) {}

NetConnection::NetConnection(const NetAddress& local, bool emulateLocalhost) : localAddress(local)
{
    if (emulateLocalhost && local.isLocalhost()) {
        auto& endpoints = emulatedEndpoints();
        uint16_t port = local.getPort();
        if (port == 0) {
            port = FIRST_EMULATED_PORT;
            while (endpoints.count(port) != 0) {
                KIV_ASSERT(port != 0xFFFF);
                ++port;
            }
        } else if (endpoints.count(port) != 0) {
            KIV_FATAL(formatString(u"Emulated localhost port %d is already in use.", static_cast<int>(port)));
        }
        localAddress.setPort(port);
        endpoints[port] = this;
        Logger::logFrom("NetConnection::NetConnection", u"Creating emulated localhost connection: %s.",
                        localAddress.toString());
        return;
    }
    Logger::logFrom("NetConnection::NetConnection", u"Binding to address: %s.", local.toString());
    socket = std::make_unique<UdpSocket>(&local, RECEIVE_BUFFER_SIZE);
    socket->getLocalAddress(&localAddress);
    Logger::logFrom("NetConnection::NetConnection", u"Bound to address: %s.", localAddress.toString());
}

std::unique_ptr<NetConnection> NetConnection::tryBind(const NetAddress& local, UString& error)
{
    int code = 0;
    auto socket = std::make_unique<UdpSocket>(&local, RECEIVE_BUFFER_SIZE, &code);
    if (!socket->isOpen()) {
        error = formatString(u"Could not bind to address %s (error %d)", local.toString(), code);
        Logger::logFrom("NetConnection::tryBind", u"%s", error);
        return nullptr;
    }
    std::unique_ptr<NetConnection> connection(new NetConnection());
    socket->getLocalAddress(&connection->localAddress);
    connection->socket = std::move(socket);
    Logger::logFrom("NetConnection::tryBind", u"Bound to address: %s.", connection->localAddress.toString());
    return connection;
}

NetConnection::~NetConnection()
{
    if (socket == nullptr) {
        emulatedEndpoints().erase(localAddress.getPort());
    }
}

void NetConnection::send(const void* bytes, std::size_t count, const NetAddress& to)
{
    if (socket != nullptr) {
        socket->sendTo(bytes, count, &to);
        return;
    }
    // The emulated link reaches only the emulated endpoints of this process.
    if (!to.isLocalhost()) {
        return;
    }
    auto& endpoints = emulatedEndpoints();
    const auto target = endpoints.find(to.getPort());
    if (target == endpoints.end()) {
        return;
    }
    const auto* first = static_cast<const uint8_t*>(bytes);
    target->second->queue.push_back({localAddress, std::vector<uint8_t>(first, first + count)});
}

long NetConnection::receive(void* bytes, std::size_t capacity, NetAddress& from)
{
    if (socket != nullptr) {
        return socket->receiveFrom(bytes, capacity, &from);
    }
    if (queue.empty()) {
        return -1;
    }
    Datagram datagram = std::move(queue.front());
    queue.pop_front();
    const std::size_t count = std::min(capacity, datagram.bytes.size());
    if (count > 0) {
        std::memcpy(bytes, datagram.bytes.data(), count);
    }
    from = datagram.from;
    return static_cast<long>(count);
}
