#include "Datagram.h"

std::string addressText(const PeerAddress& peer) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((peer.ip >> shift) & 0xff) + (shift > 0 ? "." : ":");
    }
    return text + std::to_string(peer.port);
}
