// The server's rules: datagrams from several addresses, raw or shaped like the client's records
// or a getinfo, interleaved with ticks and bots, on a small arena listed with a master.
#include "FuzzSupport.h"
#include "GameServer.h"
#include "MapFile.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

const int peerCount = 6;
// Ten seconds of play an input: long enough for timeouts (five) and respawns (three), short
// enough that the fuzzer keeps its pace.
const int maxTicks = 10 * ticksPerSecond;
const char controlTypes[] = {MessageType::join, MessageType::key,       MessageType::mouse,
                             MessageType::talk, MessageType::keepAlive, MessageType::leave};
// A getinfo now and then beside the records.
const int shapes = sizeof(controlTypes) + 1;
const PeerAddress master{0x7f000063, 27950};

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
// the rules behind it see them. Or a getinfo with a challenge of fuzzed bytes, answerable or not.
std::string shapedRecord(FuzzInput& in) {
    size_t shape = in.byte() % shapes;
    char id = playerID(in.byte());
    if (shape == sizeof(controlTypes)) {
        return encodeGetInfo(in.bytes(in.byte() % (maxChallengeLength + 8)));
    }
    char type = controlTypes[shape];
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

// What went to queriers and to the master, to hold the server to its rate and its heartbeats to
// their spacing.
struct QueryTraffic {
    std::vector<std::pair<int, uint32_t>> sent;
    int lastHeartbeat = -1;

    void count(const Datagram& answer, int tick) {
        sent.emplace_back(tick, answer.peer.ip);
        long inLastSecond = std::count_if(sent.begin(), sent.end(), [&](const auto& earlier) {
            return earlier.second == answer.peer.ip && earlier.first > tick - ticksPerSecond;
        });
        promise(inLastSecond <= maxAnswersPerSecond, "at most ten answers a second to an address");
    }

    void heartbeat(int tick) {
        promise(lastHeartbeat < 0 || tick - lastHeartbeat >= ticksPerSecond,
                "heartbeats a second apart at least");
        promise(lastHeartbeat >= 0 || tick == 1, "the first heartbeat leaves at the first tick");
        lastHeartbeat = tick;
    }
};

void checkQueryDatagram(const GameServer& server, const Datagram& datagram, int tick,
                        QueryTraffic& traffic) {
    if (datagram.peer == master) {
        promise(datagram.bytes == encodeHeartbeat(), "masters get heartbeats only");
        traffic.heartbeat(tick);
        return;
    }
    std::optional<InfoPairs> info = parseInfoResponse(datagram.bytes);
    promise(datagram.bytes.size() <= maxQueryReply && info, "answers are whole infostrings");
    promise(infoValue(*info, "clients") == std::to_string(server.playerCount()),
            "answers tell the seats taken");
    traffic.count(datagram, tick);
}

void checkDatagrams(const GameServer& server, const Datagrams& out, int tick,
                    QueryTraffic& traffic) {
    for (const Datagram& datagram : out) {
        promise(!datagram.bytes.empty() && datagram.bytes.size() <= size_t(maxDatagramSize),
                "datagrams fit the client's buffer");
        if (isQuery(datagram.bytes)) {
            checkQueryDatagram(server, datagram, tick, traffic);
        }
        ServerMessage::Kind kind = parseServerMessage(datagram.bytes).kind;
        if (kind == ServerMessage::Kind::update) {
            promise(datagram.bytes.size() == sizeof(UpdateMessage), "updates are 244 bytes");
        }
        if (kind == ServerMessage::Kind::talk) {
            promise(datagram.bytes.size() <= sizeof(TalkMessage), "chat lines fit their record");
        }
    }
    promise(server.playerCount() <= size_t(maxPlayersInUpdate), "at most four players");
    int bots = int(std::count_if(server.seats().begin(), server.seats().end(),
                                 [](const ServerPlayer& player) { return player.isBot; }));
    bool full = server.playerCount() == size_t(maxPlayersInUpdate);
    promise(bots == server.wantedBots() || (bots < server.wantedBots() && full),
            "the bots wanted play while seats are free");
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

// Queries are answered apart from the game: they seat, count and change nothing.
Datagrams receive(GameServer& server, const PeerAddress& from, const std::string& bytes) {
    long malformed = server.malformedDatagrams();
    size_t seated = server.playerCount();
    Datagrams out = server.receive(from, bytes);
    promise(!isQuery(bytes) || (server.malformedDatagrams() == malformed &&
                                server.playerCount() == seated && out.size() <= 1),
            "a query changes nothing and gets one answer at most");
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    std::ostream log(nullptr);
    GameServer server(arena(), 7, log, {"fuzzed", "small", {master}});
    QueryTraffic traffic;
    int ticks = 0;
    while (!in.empty()) {
        uint8_t operation = in.byte();
        Datagrams out;
        switch (operation % 4) {
        case 0:
            out = receive(server, peer(operation >> 2), in.bytes(in.byte()));
            break;
        case 1:
            out = receive(server, peer(operation >> 2), shapedRecord(in));
            break;
        case 2:
            // Each tick's datagrams on their own: heartbeats are held to the tick they left at.
            for (int tick = 0; tick <= operation >> 4 && ticks < maxTicks; ++tick) {
                Datagrams sent = server.tick();
                checkDatagrams(server, sent, ++ticks, traffic);
                checkBodies(server);
            }
            break;
        default:
            server.setBots((operation >> 2) % (maxBots + 1));
            break;
        }
        checkDatagrams(server, out, ticks, traffic);
    }
    checkBodies(server);
    return 0;
}
