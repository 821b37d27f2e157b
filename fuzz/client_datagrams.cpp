// The client's inbound datagrams, from the server and from a stranger, through the receive
// thread's queue into the per-frame update, mixed with the player's input. The map is small and
// loaded as the client loads its own.
#include "FuzzSupport.h"
#include "Game.h"

#include <algorithm>
#include <arpa/inet.h>
#include <set>
#include <unistd.h>

namespace {

const char* const strangerAddress = "127.0.0.2";
// Frames an input: each one walks a shot from the own eye to its end, thousands of cells under
// the sanitizers, and more frames find nothing that fewer do not.
const int maxFrames = 16;
// The longest chat line: a name, ": " and the rest of a datagram.
const size_t longestChatLine = nameFieldSize - 1 + 2 + maxDatagramSize - 2;

// A loopback socket that stands in for the server: it takes what the client sends and never
// answers.
class Sink {
  public:
    Sink() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        bind(fd, reinterpret_cast<sockaddr*>(&address), length);
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    void drain() const {
        char buffer[maxDatagramSize];
        while (recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT) >= 0) {
        }
    }

    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    int port = 0;
};

const Sink& sink() {
    static const Sink theSink;
    return theSink;
}

Server strangerOf(const Server& server) {
    Server stranger = server;
    inet_pton(AF_INET, strangerAddress, &stranger.addr.sin_addr);
    return stranger;
}

size_t queued(Game& game) {
    pthread_mutex_lock(&game.mutex);
    size_t size = game.inMessages.size();
    pthread_mutex_unlock(&game.mutex);
    return size;
}

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
    promise(game.inMessages.size() <= Game::maxQueuedMessages, "bounded queue");
}

// The sender is the server for even operation codes, a stranger on the same port otherwise (or
// on the server's address with another port).
void receive(Game& game, FuzzInput& in, uint8_t operation) {
    GenericMessage message;
    size_t length = (size_t(in.byte()) << 8 | in.byte()) % (maxDatagramSize + 1);
    std::string bytes = in.bytes(length);
    std::copy(bytes.begin(), bytes.end(), message.data);
    bool fromServer = operation & 4;
    message.from = fromServer ? game.server : strangerOf(game.server);
    if (!fromServer && (operation & 8)) {
        message.from = game.server;
        message.from.addr.sin_port = htons(uint16_t(ntohs(game.server.addr.sin_port) + 1));
    }
    size_t before = queued(game);
    size_t strangersBefore = game.strangerMessages;
    bool taken = game.queueFromServer(message);
    if (!fromServer) {
        promise(!taken && queued(game) == before && game.strangerMessages == strangersBefore + 1,
                "a stranger's datagram is counted and never queued");
    }
}

// Keys by SDL scancode as the frame loop passes them, the mouse button and mouse motion.
void playerInput(Game& game, FuzzInput& in, uint8_t operation) {
    uint8_t code = in.byte();
    int key = code == 255 ? mouseButtonKey : code;
    switch ((operation >> 2) % 3) {
    case 0:
        game.keyDown(key);
        break;
    case 1:
        game.keyUp(key);
        break;
    default:
        game.mouseMoved(int8_t(in.byte()), int8_t(in.byte()));
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string mapText = smallMapText();
    FuzzInput in(data, size);
    Game game;
    pthread_mutex_init(&game.mutex, nullptr);
    game.initNetworkStuff("127.0.0.1", sink().port);
    promise(game.loadMap(mapText).empty(), "the small arena loads");
    game.join("fuzzer");
    int frames = 0;
    while (!in.empty()) {
        uint8_t operation = in.byte();
        switch (operation % 3) {
        case 0:
            receive(game, in, operation);
            break;
        case 1:
            if (++frames < maxFrames) {
                game.update();
                checkFrame(game);
            }
            break;
        default:
            playerInput(game, in, operation);
            break;
        }
    }
    game.update();
    checkFrame(game);
    close(game.socketInfo.socketFD);
    pthread_mutex_destroy(&game.mutex);
    sink().drain();
    return 0;
}
