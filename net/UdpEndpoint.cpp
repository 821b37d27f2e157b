#include "UdpEndpoint.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in socketAddressOf(const PeerAddress& peer) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(peer.ip);
    address.sin_port = htons(peer.port);
    return address;
}

PeerAddress peerOf(const sockaddr_in& address) {
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

} // namespace

UdpEndpoint::~UdpEndpoint() {
    close();
}

std::string UdpEndpoint::open() {
    close();
    fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return fd < 0 ? reasonOf(errno) : "";
}

std::string UdpEndpoint::bind(uint16_t port, uint32_t ip) {
    std::string failure = open();
    if (!failure.empty()) {
        return failure;
    }
    sockaddr_in address = socketAddressOf({ip, port});
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        failure = reasonOf(errno);
        close();
    }
    return failure;
}

void UdpEndpoint::close() {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

std::string UdpEndpoint::allowBroadcast() const {
    int on = 1;
    return setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0 ? "" : reasonOf(errno);
}

std::optional<PeerAddress> UdpEndpoint::localAddress() const {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return std::nullopt;
    }
    return peerOf(address);
}

std::string UdpEndpoint::send(const PeerAddress& to, std::string_view bytes) const {
    sockaddr_in address = socketAddressOf(to);
    ssize_t sent = sendto(fd, bytes.data(), bytes.size(), MSG_DONTWAIT,
                          reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    // A full send buffer drops the datagram as the network may drop any: neither program waits
    // for room, nor gives up on the link for it.
    bool dropped = sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    return sent < 0 && !dropped ? reasonOf(errno) : "";
}

UdpEndpoint::Received UdpEndpoint::receive(char* buffer, size_t capacity) const {
    sockaddr_in from{};
    socklen_t fromLength = sizeof(from);
    ssize_t received = recvfrom(fd, buffer, capacity, MSG_DONTWAIT,
                                reinterpret_cast<sockaddr*>(&from), &fromLength);
    Received result;
    if (received >= 0) {
        result.outcome = Received::Outcome::datagram;
        result.size = size_t(received);
        result.sender = peerOf(from);
    } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        result.outcome = Received::Outcome::failed;
        result.error = errno;
    }
    return result;
}

bool UdpEndpoint::waitForDatagram(std::chrono::nanoseconds timeout) const {
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    timespec wait{};
    wait.tv_sec = seconds.count();
    wait.tv_nsec = (timeout - seconds).count();
    pollfd watched{fd, POLLIN, 0};
    return ppoll(&watched, 1, &wait, nullptr) > 0 && (watched.revents & POLLIN) != 0;
}

bool UdpEndpoint::waitForDatagramOrWake(int wakeFD) const {
    pollfd watched[2] = {{wakeFD, POLLIN, 0}, {fd, POLLIN, 0}};
    while (true) {
        int ready = poll(watched, 2, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        // A failed poll, a wake-up or a closed socket all end the wait without a datagram; a
        // socket error is then reported by the receive itself.
        if (ready < 0 || watched[0].revents != 0) {
            return false;
        }
        return watched[1].revents != 0;
    }
}

std::string reasonOf(int error) {
    char buffer[256];
    return strerror_r(error, buffer, sizeof(buffer));
}

std::optional<uint32_t> resolveIPv4(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    uint32_t ip = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return ip;
}
