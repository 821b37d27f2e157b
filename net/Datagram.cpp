#include "Datagram.h"

#include <arpa/inet.h>

std::string ipText(uint32_t ip) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((ip >> shift) & 0xff) + (shift > 0 ? "." : "");
    }
    return text;
}

std::string addressText(const PeerAddress& peer) {
    return ipText(peer.ip) + ":" + std::to_string(peer.port);
}

std::optional<uint32_t> parseIPv4(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return std::nullopt;
    }
    return ntohl(address.s_addr);
}
