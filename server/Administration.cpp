#include "Administration.h"

#include <cstdio>

namespace {

AdminAnswer refused(const std::string& why) {
    return {false, why, {}};
}

std::string clockText(uint64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%llu:%02llu:%02llu",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60));
    return text;
}

// The columns of the seats' table: id, name, kind, address, score and seconds since last heard.
std::string seatColumns(const std::string& id, const std::string& name, const char* kind,
                        const std::string& address, const std::string& score,
                        const std::string& silent) {
    char line[128];
    std::snprintf(line, sizeof(line), "%-3s %-12s %-6s %-22s %6s %7s\n", id.c_str(), name.c_str(),
                  kind, address.c_str(), score.c_str(), silent.c_str());
    return line;
}

std::string seatLine(const ServerPlayer& player, uint64_t tick) {
    std::string silent =
        player.isBot ? "-" : std::to_string((tick - player.lastHeardTick) / ticksPerSecond);
    return seatColumns(std::string(1, player.id()), player.name(), player.isBot ? "bot" : "human",
                       player.isBot ? "-" : addressText(player.peer), std::to_string(player.points),
                       silent);
}

// The seat a kick names by its id, or by the player's name when that is no seated id.
AdminAnswer kick(GameServer& game, const AdminCommand& command) {
    const ServerPlayer* chosen =
        command.target.size() == 1 ? game.findPlayer(command.target[0]) : nullptr;
    int named = 0;
    for (const ServerPlayer& player : game.seats()) {
        if (chosen == nullptr || named > 0) {
            named += player.name() == command.target;
            chosen = named == 1 && player.name() == command.target ? &player : chosen;
        }
    }
    if (chosen == nullptr) {
        return refused("no player has the id or the name '" + command.target + "'");
    }
    if (named > 1) {
        return refused(std::to_string(named) + " players are named '" + command.target +
                       "': kick one by its id");
    }
    std::string name = chosen->name();
    return {true, "kicked " + name, game.kick(chosen->id(), command.text)};
}

AdminAnswer ban(GameServer& game, const AdminCommand& command, UnixTime now) {
    std::optional<UnixTime> end;
    if (command.minutes) {
        end = now + UnixTime(*command.minutes) * 60;
    }
    AdminAnswer answer;
    if (!game.ban(command.address, end, answer.datagrams)) {
        return refused("the ban list is full: " + std::to_string(BanList::maxBans) + " bans");
    }
    answer.text =
        "banned " + ipText(command.address) + (end ? " until " + utcText(*end) : " for good");
    return answer;
}

std::string banList(const BanList& bans) {
    std::string text;
    for (const auto& [ip, end] : bans.entries()) {
        text += ipText(ip) + (end ? " until " + utcText(*end) : " for good") + "\n";
    }
    return text.empty() ? "no bans" : text;
}

AdminAnswer bots(GameServer& game, int wanted) {
    AdminAnswer answer{true, "", game.setBots(wanted)};
    int now = 0;
    for (const ServerPlayer& player : game.seats()) {
        now += player.isBot;
    }
    answer.text = std::to_string(now) + " bots";
    if (now < wanted) {
        answer.text += ": no seat for more";
    }
    return answer;
}

} // namespace

std::string statusText(const GameServer& game) {
    const Listing& listing = game.listed();
    std::string text = "name: " + listing.hostname + "\nport: " + std::to_string(listing.port) +
                       "\nmap: " + listing.mapName +
                       "\nuptime: " + clockText(game.ticks() / ticksPerSecond) +
                       "\nseats: " + std::to_string(game.playerCount()) + " of " +
                       std::to_string(maxPlayersInUpdate) + "\n";
    if (game.playerCount() > 0) {
        text += seatColumns("id", "name", "kind", "address", "score", "silent");
    }
    for (const ServerPlayer& player : game.seats()) {
        text += seatLine(player, game.ticks());
    }
    return text;
}

AdminAnswer administer(GameServer& game, const AdminCommand& command, UnixTime now) {
    switch (command.kind) {
    case AdminCommand::Kind::kick:
        return kick(game, command);
    case AdminCommand::Kind::ban:
        return ban(game, command, now);
    case AdminCommand::Kind::unban:
        return game.unban(command.address)
                   ? AdminAnswer{true, "unbanned " + ipText(command.address), {}}
                   : refused(ipText(command.address) + " is not banned");
    case AdminCommand::Kind::bans:
        return {true, banList(game.bans()), {}};
    case AdminCommand::Kind::bots:
        return bots(game, command.bots);
    case AdminCommand::Kind::say:
        return {true, "said", game.notice(command.text)};
    default:
        return {true, statusText(game), {}};
    }
}
