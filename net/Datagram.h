#ifndef CUBEFRAY_DATAGRAM_H
#define CUBEFRAY_DATAGRAM_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One end of a datagram's way: IPv4 address and UDP port, both in host byte order.
struct PeerAddress {
    uint32_t ip = 0;
    uint16_t port = 0;

    bool operator==(const PeerAddress& other) const { return ip == other.ip && port == other.port; }
    bool operator!=(const PeerAddress& other) const { return !(*this == other); }
};

// As people write it: "127.0.0.1:4000".
std::string addressText(const PeerAddress& peer);
// The address alone, as "127.0.0.1".
std::string ipText(uint32_t ip);
// An IPv4 address in dotted numbers, A.B.C.D, and nothing for any other text.
std::optional<uint32_t> parseIPv4(const std::string& text);

// One datagram of the server's, on its way to or from a client.
struct Datagram {
    PeerAddress peer;
    std::string bytes;
};

using Datagrams = std::vector<Datagram>;

#endif
