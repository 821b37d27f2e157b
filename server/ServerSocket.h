#ifndef CUBEFRAY_SERVER_SERVERSOCKET_H
#define CUBEFRAY_SERVER_SERVERSOCKET_H

#include "Datagram.h"

#include <chrono>
#include <optional>
#include <string>

// The server's UDP socket on every local IPv4 address.
class ServerSocket {
  public:
    ServerSocket() = default;
    ~ServerSocket();
    ServerSocket(const ServerSocket&) = delete;
    ServerSocket& operator=(const ServerSocket&) = delete;

    // Why the port could not be bound, or an empty string.
    std::string bind(int port);
    // Whether a datagram waits before the timeout; a signal ends the wait early with false.
    bool waitForDatagram(std::chrono::nanoseconds timeout) const;
    // The next waiting datagram without blocking, or nothing. A datagram longer than any client
    // record arrives cut to one byte more than the longest, which still marks it as malformed.
    std::optional<Datagram> receive() const;
    // Failures are ignored: a client that cannot be reached times out like a silent one.
    void send(const Datagram& datagram) const;

  private:
    int fd = -1;
};

#endif
