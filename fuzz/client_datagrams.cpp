// The client's game state fed what a hostile network and a player can give it: datagrams from
// the server and from strangers, the player's input and the passing of time, in any order. The
// map is small and loaded as the client loads its own.
#include "FuzzSupport.h"
#include "Game.h"

#include <set>

namespace {

const PeerAddress server{0x7f000001, 4000};
// Frames an input: each one walks a shot from the own eye to its end, thousands of cells under
// the sanitizers, and more frames find nothing that fewer do not.
const int maxFrames = 16;
// The longest chat line: a name, ": " and the rest of a datagram.
const size_t longestChatLine = nameFieldSize - 1 + 2 + maxDatagramSize - 2;

void checkFrame(const Game& game) {
    promise(game.players.size() <= size_t(maxPlayersInUpdate), "at most four players");
    std::set<char> ids;
    for (const Player& player : game.players) {
        promise(ids.insert(player.getPlayerID()).second, "one player an id");
    }
    promise(game.chatLines.size() <= Game::maxChatLines + 1, "at most seven chat lines");
    for (const std::string& line : game.chatLines) {
        promise(line.size() <= longestChatLine, "chat lines no longer than a datagram holds");
    }
    promise(game.particleManager.particles.size() <= ParticleManager::maxParticles,
            "bounded particles");
}

// Whatever the game wants sent, the server can read.
void sendWaiting(Game& game) {
    for (const WireBytes& message : game.outgoing()) {
        promise(parseClientMessage(message.view()).has_value(), "the client sends records");
    }
    game.clearOutgoing();
}

// From the server for operation codes with bit 2 set, otherwise from a stranger: another
// address, or the server's address with another port.
void receive(Game& game, FuzzInput& in, uint8_t operation, double now) {
    size_t length = (size_t(in.byte()) << 8 | in.byte()) % (maxDatagramSize + 1);
    std::string bytes = in.bytes(length);
    bool fromServer = operation & 4;
    PeerAddress sender = server;
    if (!fromServer) {
        sender = (operation & 8) ? PeerAddress{server.ip, uint16_t(server.port + 1)}
                                 : PeerAddress{server.ip + 1, server.port};
    }
    size_t strangersBefore = game.strangerDatagrams();
    char idBefore = game.clientPlayerID;
    game.receive(bytes, sender, now);
    if (!fromServer) {
        promise(game.strangerDatagrams() == strangersBefore + 1 && game.clientPlayerID == idBefore,
                "a stranger's datagram is counted and changes nothing");
    }
}

// Actions pressed and released by any of a few inputs, keys for the chat line, and mouse motion.
void playerInput(Game& game, FuzzInput& in, uint8_t operation, double now) {
    uint8_t code = in.byte();
    Action action = Action(code % actionCount);
    uint32_t holder = code / actionCount % 4;
    switch ((operation >> 2) % 4) {
    case 0:
        game.press(action, holder);
        break;
    case 1:
        game.release(action, holder);
        break;
    case 2:
        game.keyDown(Key(code % (uint8_t(Key::right) + 1)));
        break;
    default:
        game.mouseMoved(int8_t(in.byte()), int8_t(in.byte()), now);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string mapText = smallMapText();
    FuzzInput in(data, size);
    Game game;
    promise(game.loadMap(mapText).empty(), "the small map loads");
    double now = 0;
    game.start("127.0.0.1", server.port, server, now);
    game.join("fuzzer", now);
    int frames = 0;
    while (!in.empty()) {
        uint8_t operation = in.byte();
        switch (operation % 3) {
        case 0:
            receive(game, in, operation, now);
            break;
        case 1:
            now += in.byte() * 4.0;
            if (++frames < maxFrames) {
                game.update(now);
                checkFrame(game);
            }
            break;
        default:
            playerInput(game, in, operation, now);
            break;
        }
        sendWaiting(game);
    }
    game.update(now);
    checkFrame(game);
    game.leave();
    sendWaiting(game);
    return 0;
}
