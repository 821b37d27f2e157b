#ifndef CUBEFRAY_SERVERADDRESS_H
#define CUBEFRAY_SERVERADDRESS_H

#include <optional>
#include <string>
#include <string_view>

// A server as a player writes it: a host name or an IPv4 address, and a UDP port.
struct ServerAddress {
    static constexpr int defaultPort = 4000;

    std::string host;
    int port = defaultPort;

    // "host:port".
    std::string text() const;
    bool operator==(const ServerAddress& other) const;
};

// HOST or HOST:PORT, blanks around it ignored; the port 1 to 65535, 4000 when left out. Nothing
// when the text is no such thing (an empty host, a host with blanks, commas or control
// characters, a port that is no number in range).
std::optional<ServerAddress> parseServerAddress(std::string_view text);

#endif
