#include "ServerSocket.h"

#include "Messages.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ServerSocket::~ServerSocket() {
    if (fd >= 0) {
        close(fd);
    }
}

std::string ServerSocket::bind(int port) {
    fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return std::strerror(errno);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        std::string reason = std::strerror(errno);
        close(fd);
        fd = -1;
        return reason;
    }
    return "";
}

bool ServerSocket::waitForDatagram(std::chrono::nanoseconds timeout) const {
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    timespec wait{};
    wait.tv_sec = seconds.count();
    wait.tv_nsec = (timeout - seconds).count();
    pollfd watched{fd, POLLIN, 0};
    return ppoll(&watched, 1, &wait, nullptr) > 0 && (watched.revents & POLLIN) != 0;
}

std::optional<Datagram> ServerSocket::receive() const {
    char buffer[maxDatagramSize + 1];
    sockaddr_in from{};
    socklen_t fromLength = sizeof(from);
    ssize_t received = recvfrom(fd, buffer, sizeof(buffer), MSG_DONTWAIT,
                                reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0) {
        return std::nullopt;
    }
    Datagram datagram;
    datagram.peer.ip = ntohl(from.sin_addr.s_addr);
    datagram.peer.port = ntohs(from.sin_port);
    datagram.bytes.assign(buffer, size_t(received));
    return datagram;
}

void ServerSocket::send(const Datagram& datagram) const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(datagram.peer.ip);
    to.sin_port = htons(datagram.peer.port);
    sendto(fd, datagram.bytes.data(), datagram.bytes.size(), MSG_DONTWAIT,
           reinterpret_cast<const sockaddr*>(&to), sizeof(to));
}
