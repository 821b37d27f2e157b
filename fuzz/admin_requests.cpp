// The admin socket's requests: bytes arriving in pieces of any size until a line feed or the
// end, read as a command and carried out on a game with clients and bots seated, between ticks.
#include "Administration.h"
#include "FuzzSupport.h"
#include "MapFile.h"

namespace {

const int peerCount = 4;
// Two seconds of play an input: the commands need seats and bots more than time, and ticks with
// bots are what costs. The wall clock runs apart, minutes at a time, so that bans end.
const int maxTicks = 2 * ticksPerSecond;

const Arena& arena() {
    static const Arena smallArena(mapFromText(smallMapText(), "small").map);
    return smallArena;
}

PeerAddress peer(uint8_t index) {
    return {0x7f000001u + index % 2, uint16_t(50000 + index % peerCount)};
}

// The request the bytes make as they come in pieces, or nothing while it is incomplete.
std::optional<std::string> framed(FuzzInput& in, uint8_t piece) {
    RequestBuffer buffer;
    std::string bytes = in.bytes(size_t(in.byte()) * 3);
    RequestBuffer::State state = RequestBuffer::State::incomplete;
    for (size_t at = 0; at < bytes.size() && state == RequestBuffer::State::incomplete;
         at += piece) {
        state = buffer.add(std::string_view(bytes).substr(at, piece));
    }
    if (state == RequestBuffer::State::incomplete) {
        state = buffer.finish();
    }
    size_t lineEnd = std::min(bytes.find('\n'), bytes.size());
    promise((state == RequestBuffer::State::tooLong) == (lineEnd >= maxAdminRequest),
            "only a line of maxAdminRequest bytes or more is too long");
    if (state == RequestBuffer::State::tooLong) {
        return std::nullopt;
    }
    promise(buffer.line() == bytes.substr(0, lineEnd), "the request is the first line");
    return buffer.line();
}

void checkCommand(const AdminCommand& command) {
    promise(command.bots >= 0 && command.bots <= maxBots, "bots in range");
    promise(!command.minutes || (*command.minutes >= 1 && *command.minutes <= maxBanMinutes),
            "minutes in range");
    promise(command.kind != AdminCommand::Kind::kick || !command.target.empty(),
            "a kick names its target");
}

int botsIn(const GameServer& game) {
    int bots = 0;
    for (const ServerPlayer& player : game.seats()) {
        bots += player.isBot;
    }
    return bots;
}

// The bots wanted play while seats are free, and no more play.
void checkBots(const GameServer& game) {
    promise(botsIn(game) == game.wantedBots() || (botsIn(game) < game.wantedBots() &&
                                                  game.playerCount() == size_t(maxPlayersInUpdate)),
            "the bots wanted play while seats are free");
}

void checkEffect(const GameServer& game, const AdminCommand& command, const AdminAnswer& answer,
                 size_t seatedBefore, int botsBefore) {
    for (const Datagram& datagram : answer.datagrams) {
        promise(datagram.bytes.size() == sizeof(TalkMessage) &&
                    parseServerMessage(datagram.bytes).playerID == serverSenderID,
                "commands send the server's chat lines only");
    }
    promise(game.playerCount() <= size_t(maxPlayersInUpdate), "at most four players");
    std::optional<AdminReply> reply = parseAdminReply(formatAdminReply(answer.done, answer.text));
    promise(reply && reply->done == answer.done && reply->text == answer.text, "replies read back");
    if (!answer.done) {
        promise(game.playerCount() == seatedBefore, "a refused command changes no seat");
        return;
    }
    if (command.kind == AdminCommand::Kind::kick) {
        bool botCameBack = botsIn(game) == botsBefore + 1;
        promise(game.playerCount() + (botCameBack ? 0 : 1) == seatedBefore,
                "a kick frees one seat, or a wanted bot takes it");
    }
    if (command.kind == AdminCommand::Kind::ban) {
        promise(game.bans().contains(command.address), "a ban holds");
        for (const ServerPlayer& player : game.seats()) {
            promise(player.isBot || player.peer.ip != command.address, "a ban kicks");
        }
    }
    if (command.kind == AdminCommand::Kind::bots) {
        promise(botsIn(game) == command.bots || game.playerCount() == size_t(maxPlayersInUpdate),
                "bots as many as asked, or every seat taken");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    std::ostream log(nullptr);
    GameServer game(arena(), 7, log, {"fuzzed", "small", {}});
    UnixTime now = 1700000000;
    int ticks = 0;
    while (!in.empty()) {
        uint8_t operation = in.byte();
        switch (operation % 4) {
        case 0:
            game.receive(peer(operation >> 2),
                         std::string(encodeJoin("p" + std::to_string(operation)).view()));
            checkBots(game);
            break;
        case 1:
            for (int tick = 0; tick <= operation >> 2 && ticks < maxTicks; ++tick, ++ticks) {
                game.tick();
            }
            now += UnixTime(operation) * 60;
            game.clockIs(now);
            checkBots(game);
            break;
        default:
            std::optional<std::string> line = framed(in, uint8_t((operation >> 2) + 1));
            if (!line) {
                break;
            }
            AdminRequest request = parseAdminRequest(*line);
            if (!request.error.empty()) {
                break;
            }
            checkCommand(request.command);
            size_t seated = game.playerCount();
            int bots = botsIn(game);
            checkEffect(game, request.command, administer(game, request.command, now), seated,
                        bots);
            checkBots(game);
            break;
        }
    }
    return 0;
}
