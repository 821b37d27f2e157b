#ifndef CUBEFRAY_UDPENDPOINT_H
#define CUBEFRAY_UDPENDPOINT_H

#include "Datagram.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// One IPv4 UDP socket, owned for the endpoint's life, serving either program. Nothing here ends
// the process: each failure comes back with the system's reason, and the program decides.
class UdpEndpoint {
  public:
    // What one receive found.
    struct Received {
        enum class Outcome { datagram, nothingWaiting, failed };

        Outcome outcome = Outcome::nothingWaiting;
        // The bytes placed in the buffer: a longer datagram is cut to its capacity.
        size_t size = 0;
        PeerAddress sender;
        // errno of a failure.
        int error = 0;
    };

    UdpEndpoint() = default;
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    // A socket without a local address: the system picks the port on the first send. Returns
    // why it could not be opened, or an empty string.
    std::string open();
    // A socket on the port (0: one the system picks) of the local address (0: every one).
    std::string bind(uint16_t port, uint32_t ip = 0);
    void close();
    bool isOpen() const { return fd >= 0; }
    // Lets datagrams go to the broadcast address; why it could not, or an empty string.
    std::string allowBroadcast() const;
    // Where others reach this socket, once it is bound or has sent.
    std::optional<PeerAddress> localAddress() const;

    // Why the datagram could not be sent, or an empty string; never blocks.
    std::string send(const PeerAddress& to, std::string_view bytes) const;
    // The next waiting datagram, without blocking.
    Received receive(char* buffer, size_t capacity) const;
    // Whether a datagram waits before the timeout; a signal ends the wait early with false.
    bool waitForDatagram(std::chrono::nanoseconds timeout) const;
    // Blocks until a datagram waits (true) or wakeFD becomes readable or fails (false).
    bool waitForDatagramOrWake(int wakeFD) const;

  private:
    int fd = -1;
};

// The system's words for an errno value.
std::string reasonOf(int error);

// The IPv4 address of a host name or of a dotted address; nothing when it does not resolve.
std::optional<uint32_t> resolveIPv4(const std::string& host);

#endif
