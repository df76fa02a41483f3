#include "engine/platform/net/UdpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "engine/core/ErrorManager.h"

namespace {

[[noreturn]] void socketCallFailed(const char* call, const char* function, int line)
{
    const int code = errno;
    const char* name = strerrorname_np(code);
    ErrorManager::callFailed(call, utf8ToWide(name ? name : "unknown error"), static_cast<unsigned>(code), function,
                             __FILE__, line);
}

#define SOCKET_CHECK(call)                                                                                            \
    do {                                                                                                              \
        if ((call) < 0) {                                                                                             \
            socketCallFailed(#call, __PRETTY_FUNCTION__, __LINE__);                                                   \
        }                                                                                                             \
    } while (false)

} // namespace

UdpSocket::UdpSocket(const void* sockaddr16, int receiveBufferSize) : UdpSocket(sockaddr16, receiveBufferSize, nullptr) {}

UdpSocket::UdpSocket(const void* sockaddr16, int receiveBufferSize, int* bindError)
{
    SOCKET_CHECK(fd = ::socket(AF_INET, SOCK_DGRAM, 0));
    int flags = 0;
    SOCKET_CHECK(flags = ::fcntl(fd, F_GETFL, 0));
    SOCKET_CHECK(::fcntl(fd, F_SETFL, flags | O_NONBLOCK));
    SOCKET_CHECK(::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBufferSize, sizeof(receiveBufferSize)));
    const int broadcast = 1;
    SOCKET_CHECK(::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &broadcast, sizeof(broadcast)));
    sockaddr_in address{};
    std::memcpy(&address, sockaddr16, sizeof(address));
    if (bindError != nullptr) {
        *bindError = 0;
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) < 0) {
            *bindError = errno;
            ::close(fd);
            fd = -1;
        }
        return;
    }
    SOCKET_CHECK(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)));
}

UdpSocket::~UdpSocket()
{
    if (fd >= 0) {
        ::close(fd);
    }
}

void UdpSocket::getLocalAddress(void* sockaddr16) const
{
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    SOCKET_CHECK(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size));
    std::memcpy(sockaddr16, &address, sizeof(address));
}

bool UdpSocket::sendTo(const void* bytes, std::size_t count, const void* sockaddr16)
{
    sockaddr_in address{};
    std::memcpy(&address, sockaddr16, sizeof(address));
    const ssize_t sent = ::sendto(fd, bytes, count, 0, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    return sent == static_cast<ssize_t>(count);
}

long UdpSocket::receiveFrom(void* bytes, std::size_t capacity, void* sockaddr16)
{
    for (;;) {
        sockaddr_in address{};
        socklen_t size = sizeof(address);
        const ssize_t received =
            ::recvfrom(fd, bytes, capacity, 0, reinterpret_cast<sockaddr*>(&address), &size);
        if (received < 0) {
            // Nothing waiting, or an error report of an earlier send (a peer's closed port): no datagram.
            if (errno == EINTR || errno == ECONNREFUSED) {
                continue;
            }
            return -1;
        }
        std::memcpy(sockaddr16, &address, sizeof(address));
        return static_cast<long>(received);
    }
}

bool UdpSocket::resolveHost(const std::string& name, uint32_t& addressNetworkOrder)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) {
        return false;
    }
    bool found = false;
    for (addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            addressNetworkOrder = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
            found = true;
            break;
        }
    }
    ::freeaddrinfo(result);
    return found;
}
