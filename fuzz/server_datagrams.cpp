// The server's rules: datagrams from several addresses, raw or shaped like the client's records,
// interleaved with ticks and bots, on a small arena.
#include "FuzzSupport.h"
#include "GameServer.h"
#include "MapFile.h"

#include <set>

namespace {

const int peerCount = 6;
// Ten seconds of play an input: long enough for timeouts (five) and respawns (three), short
// enough that the fuzzer keeps its pace.
const int maxTicks = 10 * ticksPerSecond;
const char controlTypes[] = {MessageType::join, MessageType::key,       MessageType::mouse,
                             MessageType::talk, MessageType::keepAlive, MessageType::leave};

const Arena& arena() {
    static const Arena smallArena(mapFromText(smallMapText(), "small").map);
    return smallArena;
}

PeerAddress peer(uint8_t index) {
    return {0x7f000001u + index % 2, uint16_t(50000 + index % peerCount)};
}

// Mostly the ids of seats, sometimes any byte.
char playerID(uint8_t code) {
    return code < 200 ? char('0' + code % 6) : char(code);
}

// A record of the right length and type, with fuzzed fields: the parser lets these through, so
// the rules behind it see them.
std::string shapedRecord(FuzzInput& in) {
    char type = controlTypes[in.byte() % sizeof(controlTypes)];
    char id = playerID(in.byte());
    switch (type) {
    case MessageType::join:
        return std::string(1, type) + in.bytes(nameFieldSize) + std::string(nameFieldSize, '\0');
    case MessageType::key:
        return {type, id, char(in.byte() % controlCount), char(in.byte() % 2)};
    case MessageType::mouse:
        return std::string{type, id, 0, 0} + in.bytes(8) + std::string(8, '\0');
    case MessageType::talk:
        return std::string{type, id} + in.bytes(talkTextSize);
    default:
        return {type, id};
    }
}

bool same(vec3 a, vec3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

void checkDatagrams(const GameServer& server, const Datagrams& out) {
    for (const Datagram& datagram : out) {
        promise(!datagram.bytes.empty() && datagram.bytes.size() <= size_t(maxDatagramSize),
                "datagrams fit the client's buffer");
        ServerMessage::Kind kind = parseServerMessage(datagram.bytes).kind;
        if (kind == ServerMessage::Kind::update) {
            promise(datagram.bytes.size() == sizeof(UpdateMessage), "updates are 244 bytes");
        }
        if (kind == ServerMessage::Kind::talk) {
            promise(datagram.bytes.size() <= sizeof(TalkMessage), "chat lines fit their record");
        }
    }
    promise(server.playerCount() <= size_t(maxPlayersInUpdate), "at most four players");
}

// Every seated player has its own id; a living one stands inside the world, clear of solid
// cells, in a box placed on its eye.
void checkBodies(const GameServer& server) {
    size_t seated = 0;
    for (char id = '1'; id < '1' + maxPlayersInUpdate; ++id) {
        const ServerPlayer* player = server.findPlayer(id);
        if (player == nullptr) {
            continue;
        }
        ++seated;
        if (!player->isAlive()) {
            continue;
        }
        Box box = player->body.getBox();
        Box placed(player->body.getPosition(), bodySize);
        promise(same(box.min, placed.min) && same(box.max, placed.max), "the box sits on the eye");
        promise(arena().fits(box), "bodies inside the world and out of the cells");
    }
    promise(seated == server.playerCount(), "ids 1 to 4 name every player");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    std::ostream log(nullptr);
    GameServer server(arena(), 7, log);
    int ticks = 0;
    while (!in.empty()) {
        uint8_t operation = in.byte();
        Datagrams out;
        switch (operation % 4) {
        case 0:
            out = server.receive(peer(operation >> 2), in.bytes(in.byte()));
            break;
        case 1:
            out = server.receive(peer(operation >> 2), shapedRecord(in));
            break;
        case 2:
            for (int tick = 0; tick <= operation >> 4 && ticks < maxTicks; ++tick, ++ticks) {
                Datagrams answers = server.tick();
                out.insert(out.end(), answers.begin(), answers.end());
                checkBodies(server);
            }
            break;
        default:
            server.addBots((operation >> 2) % (maxBots + 1));
            break;
        }
        checkDatagrams(server, out);
    }
    checkBodies(server);
    return 0;
}
