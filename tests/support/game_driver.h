#ifndef CUBEFRAY_GAME_DRIVER_H
#define CUBEFRAY_GAME_DRIVER_H

#include "Game.h"
#include "test_support.h"

#include <string>
#include <string_view>
#include <vector>

// The server a test's game plays on.
const PeerAddress testServer{0x7f000001, 4000};

inline void startTestGame(Game& game, double now = 0) {
    game.start("127.0.0.1", testServer.port, testServer, now);
}

// Hands the game one datagram from its server, quietly: the end-to-end tests read what the
// client prints.
inline void deliver(Game& game, std::string_view bytes, double now = 0) {
    testing::internal::CaptureStdout();
    game.receive(bytes, testServer, now);
    testing::internal::GetCapturedStdout();
}

// What the game has asked to send since the last call, oldest first.
inline std::vector<std::string> sent(Game& game) {
    std::vector<std::string> bytes;
    for (const WireBytes& message : game.outgoing()) {
        bytes.push_back(wire(message));
    }
    game.clearOutgoing();
    return bytes;
}

#endif
