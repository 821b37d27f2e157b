#include "GameServer.h"

#include "Collisions.h"
#include "Combat.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace {

const char firstPlayerID = '1';
const char* const botNames[maxBots] = {"bot_ann", "bot_ben", "bot_cal", "bot_dot"};

// The text as chat lines the chat record holds, broken at blanks where one is near the end.
std::vector<std::string> chatLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = text.find_first_not_of(' ');
    while (start != std::string::npos) {
        size_t end = std::min(start + maxTalkLength, text.size());
        size_t blank = text.rfind(' ', end);
        if (end < text.size() && text[end] != ' ' && blank != std::string::npos && blank > start) {
            end = blank;
        }
        size_t last = text.find_last_not_of(' ', end - 1);
        lines.push_back(text.substr(start, last - start + 1));
        start = text.find_first_not_of(' ', end);
    }
    return lines;
}

// The smallest distance from the point to any of the others; infinite when there are none.
float distanceToNearest(vec3 point, const std::vector<vec3>& others) {
    float nearest = INFINITY;
    for (vec3 other : others) {
        nearest = std::min(nearest, distanceVec3(point, other));
    }
    return nearest;
}

} // namespace

GameServer::GameServer(const Arena& arena, uint32_t seed, std::ostream& log, Listing listing)
    : arena(arena), log(log), listing(std::move(listing)), random(seed) {
    if (arena.spawnPoints().empty()) {
        throw std::invalid_argument("the map has no place to spawn");
    }
}

// Under the first bot name that no bot has; with a seat free, one always is.
ServerPlayer& GameServer::seatBot() {
    const char* const* name =
        std::find_if(std::begin(botNames), std::end(botNames), [this](const char* candidate) {
            return std::none_of(bots.begin(), bots.end(), [this, candidate](const auto& bot) {
                return findPlayer(bot.first)->name() == candidate;
            });
        });
    ServerPlayer& bot = seat(*name, true, PeerAddress());
    bots.emplace(bot.id(), Bot(random(), botSkill));
    return bot;
}

void GameServer::seatWantedBots(Datagrams& out) {
    while (int(bots.size()) < botsWanted && lowestFreeID() != 0) {
        broadcastChat(seatBot().name() + " joined", out);
    }
}

void GameServer::removeNewestBot(const std::string& why, Datagrams& out) {
    char id = bots.rbegin()->first;
    bots.erase(id);
    removePlayer(id, why, out);
}

const ServerPlayer* GameServer::findPlayer(char id) const {
    for (const ServerPlayer& player : players) {
        if (player.id() == id) {
            return &player;
        }
    }
    return nullptr;
}

ServerPlayer* GameServer::playerByID(char id) {
    return const_cast<ServerPlayer*>(static_cast<const GameServer*>(this)->findPlayer(id));
}

ServerPlayer* GameServer::findClient(const PeerAddress& peer) {
    for (ServerPlayer& player : players) {
        if (!player.isBot && player.peer == peer) {
            return &player;
        }
    }
    return nullptr;
}

ServerPlayer* GameServer::ownerOf(const ClientMessage& message, const PeerAddress& from) {
    ServerPlayer* player = playerByID(message.playerID);
    bool sentByOwner = player && !player->isBot && player->peer == from;
    return sentByOwner ? player : nullptr;
}

// '1' to '4', or 0 when every seat is taken.
char GameServer::lowestFreeID() const {
    for (char id = firstPlayerID; id < firstPlayerID + maxPlayersInUpdate; ++id) {
        if (findPlayer(id) == nullptr) {
            return id;
        }
    }
    return 0;
}

ServerPlayer& GameServer::seat(const std::string& name, bool isBot, PeerAddress peer) {
    char id = lowestFreeID();
    auto place = std::find_if(players.begin(), players.end(),
                              [id](const ServerPlayer& player) { return player.id() > id; });
    ServerPlayer& player = *players.insert(place, ServerPlayer(id, name, isBot, peer));
    player.lastHeardTick = tickCount;
    spawn(player);
    writeLog(name + " joined as " + id + (isBot ? " (bot)" : " from " + addressText(peer)));
    return player;
}

Datagrams GameServer::receive(const PeerAddress& from, const std::string& bytes) {
    if (isQuery(bytes)) {
        return answerQuery(from, bytes);
    }
    Datagrams out;
    std::optional<ClientMessage> message = parseClientMessage(bytes);
    if (!message) {
        ++malformed;
        if (malformedFrom.occurred(from.ip, tickCount)) {
            writeLog("dropped a malformed datagram of " + std::to_string(bytes.size()) +
                     " bytes from " + addressText(from));
        }
        return out;
    }
    if (message->type == MessageType::join) {
        handleJoin(*message, from, out);
        return out;
    }
    ServerPlayer* sender = ownerOf(*message, from);
    if (sender == nullptr) {
        // A seated client that has not yet heard its id sends with the unknown id; it is alive
        // all the same, and must not time out while its answer is lost on the way.
        if (ServerPlayer* seated = findClient(from)) {
            seated->lastHeardTick = tickCount;
        }
        ++unowned;
        if (unownedFrom.occurred(from.ip, tickCount)) {
            writeLog("dropped a datagram from " + addressText(from) +
                     " naming a player id it does not own");
        }
        return out;
    }
    sender->lastHeardTick = tickCount;
    handle(*sender, *message, out);
    return out;
}

// Other queries, and getinfo with a challenge that is not answered, go unanswered.
Datagrams GameServer::answerQuery(const PeerAddress& from, const std::string& bytes) {
    std::optional<std::string> challenge = parseGetInfo(bytes);
    if (!challenge || !queryLimiter.allow(from.ip, tickCount)) {
        return {};
    }
    return {{from, encodeInfoResponse(info(*challenge))}};
}

InfoPairs GameServer::info(const std::string& challenge) const {
    InfoPairs pairs = {{"gamename", gameName},
                       {"protocol", std::to_string(queryProtocol)},
                       {"clients", std::to_string(players.size())},
                       {"bots", std::to_string(bots.size())},
                       {"sv_maxclients", std::to_string(maxPlayersInUpdate)}};
    if (!challenge.empty()) {
        pairs.emplace_back("challenge", challenge);
    }
    // The only values of any length come last, so that cutting the reply to size takes no
    // other.
    pairs.emplace_back("mapname", listing.mapName);
    pairs.emplace_back("hostname", listing.hostname);
    return pairs;
}

void GameServer::sendHeartbeats(Datagrams& out) {
    if (!heartbeats.due(tickCount, players.size())) {
        return;
    }
    for (const PeerAddress& master : listing.masters) {
        out.push_back({master, encodeHeartbeat()});
    }
}

void GameServer::handleJoin(const ClientMessage& message, const PeerAddress& from, Datagrams& out) {
    if (ServerPlayer* known = findClient(from)) {
        known->lastHeardTick = tickCount;
        out.push_back({from, std::string(encodeYourID(known->id()).view())});
        return;
    }
    if (banList.contains(from.ip)) {
        refuseJoin(message.text, from, "banned", out);
        return;
    }
    if (lowestFreeID() == 0 && !bots.empty()) {
        removeNewestBot("left to free a seat for " + message.text, out);
    }
    if (lowestFreeID() == 0) {
        refuseJoin(message.text, from, "server full", out);
        return;
    }
    ServerPlayer& player = seat(message.text, false, from);
    out.push_back({from, std::string(encodeYourID(player.id()).view())});
    broadcastChat(message.text + " joined", out);
}

// A banned address hears that the server is full, as if it were: nothing to argue with.
void GameServer::refuseJoin(const std::string& name, const PeerAddress& from, const char* why,
                            Datagrams& out) {
    if (refusedJoins.occurred(from.ip, tickCount)) {
        writeLog("refused " + name + " from " + addressText(from) + ": " + why);
    }
    out.push_back({from, std::string(encodeServerFull().view())});
}

void GameServer::handle(ServerPlayer& sender, const ClientMessage& message, Datagrams& out) {
    switch (message.type) {
    case MessageType::key:
        sender.held[message.control] = message.pressed;
        break;
    case MessageType::mouse:
        if (sender.isAlive()) {
            sender.turn(message.dx, message.dy);
        }
        break;
    case MessageType::talk:
        if (!message.text.empty()) {
            writeLog("chat " + sender.name() + ": " + message.text);
            broadcast(encodeTalk(sender.id(), message.text), out);
        }
        break;
    case MessageType::leave:
        removePlayer(sender.id(), "left", out);
        break;
    default:
        // A keep-alive only refreshes the sender, which receive() has done.
        break;
    }
}

// A human's seat goes back to a bot that gave way.
void GameServer::removePlayer(char id, const std::string& why, Datagrams& out) {
    auto gone = std::find_if(players.begin(), players.end(),
                             [id](const ServerPlayer& player) { return player.id() == id; });
    std::string name = gone->name();
    bool human = !gone->isBot;
    players.erase(gone);
    writeLog(name + " " + why);
    broadcastChat(name + " left", out);
    if (human) {
        seatWantedBots(out);
    }
}

Datagrams GameServer::tick() {
    Datagrams out;
    ++tickCount;
    writeSummaries();
    dropSilentClients(out);
    steerBots();
    for (ServerPlayer& player : players) {
        advance(player);
    }
    for (ServerPlayer& player : players) {
        fireIfReady(player, out);
    }
    std::vector<PlayerUpdate> records;
    for (const ServerPlayer& player : players) {
        records.push_back(player.record());
    }
    broadcast(encodeUpdate(records), out);
    sendHeartbeats(out);
    return out;
}

void GameServer::writeSummaries() {
    for (RepeatedEvents* events : {&refusedJoins, &malformedFrom, &unownedFrom}) {
        if (std::optional<std::string> summary = events->summaryDue(tickCount)) {
            writeLog(*summary);
        }
    }
}

void GameServer::summariseAtStop() {
    for (RepeatedEvents* events : {&refusedJoins, &malformedFrom, &unownedFrom}) {
        if (std::optional<std::string> summary = events->summaryAtStop(tickCount)) {
            writeLog(*summary);
        }
    }
}

Datagrams GameServer::notice(const std::string& text) {
    writeLog("notice: " + text);
    Datagrams out;
    for (const std::string& line : chatLines(text)) {
        broadcastChat(line, out);
    }
    return out;
}

Datagrams GameServer::kick(char id, const std::string& reason) {
    Datagrams out;
    std::string why = "was kicked" + (reason.empty() ? "" : ": " + reason);
    std::string name = findPlayer(id)->name();
    for (const std::string& line : chatLines(name + " " + why)) {
        broadcastChat(line, out);
    }
    // A bot the host sends away leaves no wish for another in its place: the bots still playing
    // are the ones wanted.
    if (bots.erase(id) > 0) {
        botsWanted = int(bots.size());
    }
    removePlayer(id, why, out);
    return out;
}

Datagrams GameServer::setBots(int count) {
    Datagrams out;
    botsWanted = count;
    while (int(bots.size()) > count) {
        removeNewestBot("left", out);
    }
    seatWantedBots(out);
    return out;
}

bool GameServer::ban(uint32_t ip, std::optional<UnixTime> end, Datagrams& out) {
    if (!banList.add(ip, end)) {
        return false;
    }
    writeLog("banned " + ipText(ip) + (end ? " until " + utcText(*end) : " for good"));
    std::vector<char> seated;
    for (const ServerPlayer& player : players) {
        if (!player.isBot && player.peer.ip == ip) {
            seated.push_back(player.id());
        }
    }
    for (char id : seated) {
        Datagrams kicked = kick(id, "banned");
        out.insert(out.end(), kicked.begin(), kicked.end());
    }
    return true;
}

bool GameServer::unban(uint32_t ip) {
    if (!banList.remove(ip)) {
        return false;
    }
    writeLog("unbanned " + ipText(ip));
    return true;
}

void GameServer::clockIs(UnixTime now) {
    for (uint32_t ip : banList.expire(now)) {
        writeLog("the ban of " + ipText(ip) + " ended");
    }
}

void GameServer::dropSilentClients(Datagrams& out) {
    std::vector<char> silent;
    for (const ServerPlayer& player : players) {
        if (!player.isBot && tickCount - player.lastHeardTick >= uint64_t(silenceLimitTicks)) {
            silent.push_back(player.id());
        }
    }
    for (char id : silent) {
        removePlayer(id, "timed out", out);
    }
}

void GameServer::steerBots() {
    std::vector<Sighting> targets = targetablePlayers();
    for (auto& [id, bot] : bots) {
        ServerPlayer& self = *playerByID(id);
        BotControls controls = bot.think(self, targets, arena);
        self.held = controls.held;
        if (self.isAlive()) {
            self.turn(controls.dx, controls.dy);
        }
    }
}

void GameServer::advance(ServerPlayer& player) {
    player.firedThisTick = false;
    if (player.shotCooldown > 0) {
        --player.shotCooldown;
    }
    if (!player.isAlive()) {
        if (--player.respawnDelay == 0) {
            spawn(player);
        }
        return;
    }
    if (player.protectionTicks > 0) {
        --player.protectionTicks;
    }
    stepBody(player.body, player.motion, player.moveIntent(), arena);
}

void GameServer::fireIfReady(ServerPlayer& shooter, Datagrams& out) {
    if (!shooter.isAlive() || !shooter.holds(fire) || shooter.shotCooldown > 0) {
        return;
    }
    shooter.firedThisTick = true;
    shooter.shotCooldown = shotInterval;
    shooter.protectionTicks = 0;
    if (ServerPlayer* victim = playerHitBy(shooter, players, arena.map())) {
        registerHit(shooter, *victim, out);
    }
}

// A player who has just spawned stops the shot unharmed.
void GameServer::registerHit(ServerPlayer& shooter, ServerPlayer& victim, Datagrams& out) {
    if (victim.isProtected() || ++victim.hitsTaken < hitsToKill) {
        return;
    }
    ++shooter.points;
    victim.die(respawnTicks);
    std::string line = shooter.name() + " killed " + victim.name();
    writeLog(line);
    broadcastChat(line, out);
}

void GameServer::spawn(ServerPlayer& player) {
    vec3 eye = farthestSpawnPoint(player);
    player.spawnAt(eye, yawTowardsCentre(eye));
    player.protectionTicks = spawnProtectionTicks;
}

// Among spawn points equally far from everyone (as when nobody else lives), a random one.
vec3 GameServer::farthestSpawnPoint(const ServerPlayer& player) {
    std::vector<vec3> others;
    for (const ServerPlayer& other : players) {
        if (other.id() != player.id() && other.isAlive()) {
            others.push_back(other.body.getPosition());
        }
    }
    const std::vector<vec3>& spots = arena.spawnPoints();
    size_t start = std::uniform_int_distribution<size_t>(0, spots.size() - 1)(random);
    vec3 best = spots[start];
    float bestDistance = distanceToNearest(best, others);
    for (size_t step = 1; step < spots.size(); ++step) {
        vec3 spot = spots[(start + step) % spots.size()];
        float distance = distanceToNearest(spot, others);
        if (distance > bestDistance) {
            best = spot;
            bestDistance = distance;
        }
    }
    return best;
}

// Newcomers face the middle of the map rather than the nearest wall.
float GameServer::yawTowardsCentre(vec3 eye) const {
    vec3 towards = arena.centre() - eye;
    return std::atan2(-towards.x, -towards.z);
}

std::vector<Sighting> GameServer::targetablePlayers() const {
    std::vector<Sighting> targets;
    for (const ServerPlayer& player : players) {
        if (player.isAlive() && !player.isProtected()) {
            targets.push_back({player.id(), player.body.getPosition()});
        }
    }
    return targets;
}

void GameServer::broadcast(const WireBytes& message, Datagrams& out) const {
    std::string bytes(message.view());
    for (const ServerPlayer& player : players) {
        if (!player.isBot) {
            out.push_back({player.peer, bytes});
        }
    }
}

void GameServer::broadcastChat(const std::string& line, Datagrams& out) const {
    broadcast(encodeTalk(serverSenderID, line), out);
}

void GameServer::writeLog(const std::string& line) {
    log << line << std::endl;
}
