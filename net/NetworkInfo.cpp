#include "NetworkInfo.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <unistd.h>

Server::Server() {
    std::memset(&addr, 0, sizeof(addr));
}

bool Server::sameEndpoint(const Server& other) const {
    return addr.sin_family == other.addr.sin_family &&
           addr.sin_addr.s_addr == other.addr.sin_addr.s_addr &&
           addr.sin_port == other.addr.sin_port;
}

void SocketInfo::init(int) {
    socketFD = socket(AF_INET, SOCK_DGRAM, 0);
    if (socketFD < 0) {
        std::cout << "Error opening socket\n" << std::flush;
        std::exit(0);
    }
    addrLength = sizeof(sockaddr_in);
}

int SocketInfo::sendBytesTo(const Server* to, const void* bytes, int count) const {
    ssize_t sent = sendto(socketFD, bytes, count, 0, reinterpret_cast<const sockaddr*>(&to->addr),
                          to->addrLength);
    if (sent < 0) {
        std::cout << "Error sending bytes to server\n" << std::flush;
        std::exit(0);
    }
    return static_cast<int>(sent);
}

int SocketInfo::receiveBytesFrom(Server* from, char* buffer, int capacity, int flags) const {
    from->addrLength = sizeof(from->addr);
    ssize_t received = recvfrom(socketFD, buffer, capacity, flags,
                                reinterpret_cast<sockaddr*>(&from->addr), &from->addrLength);
    bool nothingWaiting = (flags & MSG_DONTWAIT) && (errno == EAGAIN || errno == EWOULDBLOCK);
    if (received < 0 && nothingWaiting) {
        return -1;
    }
    if (received < 0) {
        std::cout << "Error receiving bytes from server\n" << std::flush;
        std::exit(0);
    }
    return static_cast<int>(received);
}

bool SocketInfo::waitForDatagram(int stopFD) const {
    pollfd watched[2] = {{stopFD, POLLIN, 0}, {socketFD, POLLIN, 0}};
    while (true) {
        int ready = poll(watched, 2, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        // A failed poll, a stop request or a closed socket all end the wait without a datagram;
        // a socket error is then reported by the receive itself.
        if (ready < 0 || watched[0].revents != 0) {
            return false;
        }
        return watched[1].revents != 0;
    }
}
