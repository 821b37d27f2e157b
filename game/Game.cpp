#include "Game.h"

#include "MathOps.h"
#include "Shot.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace {

const float chatTimerStart = 10;
const double chatTimerStep = 0.05;
const double keepAliveMillis = 1000;
const vec4 shotColor(0, 1, 1, 4);
const char* const serverFullLine = "Server is full :(";
// Room for what one frame sends: key repeats, a keep-alive, and a fast mouse's many motions.
const size_t outboxRoom = 256;
// The other players are drawn this many update intervals behind the newest, and this many
// jitters more on an uneven link, but never more than the most.
const double intervalsBehind = 2;
const double jittersBehind = 2;
const double mostBehind = 150;
// When updates stop, the other players go on as they went for this many intervals.
const double intervalsAhead = 2;
// What a turn is given to come back, beyond the round trip: a few jitters and a margin; and the
// round trip taken before there is a measure.
const double settleJitters = 4;
const double settleMargin = 50;
const double unknownRoundTrip = 250;

PlayerState stateOf(const PlayerUpdate& record) {
    PlayerState state;
    state.rotation = record.rotation;
    state.position = record.position;
    state.direction = record.direction;
    state.points = record.points;
    state.shooting = record.shooting != 0;
    return state;
}

} // namespace

Game::Game() {
    // Room for a full house and then some: a server naming more players grows them once.
    const size_t room = 2 * maxPlayersInUpdate;
    priorBodies.reserve(room);
    targetBodies.reserve(room);
    targets.reserve(room);
    shownPlayers.reserve(room);
    outbox.reserve(outboxRoom);
}

std::string Game::loadMap(const std::string& text) {
    MapLoadResult loaded = mapManager.load(text);
    std::string counts = std::to_string(loaded.columns) + " x " + std::to_string(loaded.rows) +
                         " x " + std::to_string(loaded.depths);
    switch (loaded.problem) {
    case MapLoadResult::tooManyCells:
        return "Map too large: " + counts + " cells, the client holds at most " +
               std::to_string(MapManager::maxCellCount) + "\n";
    case MapLoadResult::negativeCount:
        return "Broken map: negative cell count in " + counts + "\n";
    default:
        return "";
    }
}

void Game::start(const std::string& host, int port, const PeerAddress& address, double now) {
    server = address;
    connection.start(host, port, now);
    talking = false;
    chatTimer = chatTimerStart;
    currentTime = lastSendTime = now;
}

void Game::join(std::string_view playerName, double now) {
    joinName = std::string(playerName);
    joining = true;
    sendJoin(now);
}

void Game::sendJoin(double now) {
    send(encodeJoin(joinName));
    connection.joinSent(now);
}

namespace {

Player* byID(std::vector<Player>& roster, char id) {
    for (Player& player : roster) {
        if (player.getPlayerID() == id) {
            return &player;
        }
    }
    return nullptr;
}

} // namespace

Player* Game::playerByID(char id) {
    return byID(players, id);
}

Player* Game::shownPlayer(char id) {
    return byID(shownPlayers, id);
}

// Any host can send to our port; only the server's word may change the game.
void Game::receive(std::string_view datagram, const PeerAddress& sender, double now) {
    if (sender != server) {
        ++strangers;
        return;
    }
    connection.heard(now);
    ServerMessage message = parseServerMessage(datagram);
    switch (message.kind) {
    case ServerMessage::Kind::update:
        applyUpdate(message, now);
        break;
    case ServerMessage::Kind::talk:
        addChatLine(message.playerID, message.text);
        break;
    case ServerMessage::Kind::yourID:
        if (!connection.wasAdmitted()) {
            link.roundTrip(connection.sinceJoinSent(now));
        }
        // A server that restarted seats the player anew, perhaps under another id.
        if (message.playerID != clientPlayerID) {
            localView.reset();
        }
        clientPlayerID = message.playerID;
        connection.admitted();
        break;
    case ServerMessage::Kind::serverFull:
        addServerFullLine();
        connection.refused();
        break;
    case ServerMessage::Kind::unknown:
        break;
    }
}

void Game::addChatLine(char sender, std::string_view text) {
    Player* speaker = sender == serverSenderID ? nullptr : playerByID(sender);
    // A sender we do not know is shown like the server: the text alone.
    chatLines.push_back(speaker ? speaker->getPlayerName() + ": " + std::string(text)
                                : std::string(text));
    // The server's lines tell of joins and leaves, which have tones of their own.
    if (speaker) {
        sounds.add(SoundKind::chat);
    }
    if (chatLines.size() > maxChatLines) {
        chatLines.erase(chatLines.begin());
    }
    chatTimer = chatTimerStart;
}

// The notice may stand beyond the usual six lines, but repeated notices must not grow the list
// without end: past seven lines each one replaces the oldest line.
void Game::addServerFullLine() {
    if (chatLines.size() > maxChatLines) {
        chatLines.erase(chatLines.begin());
    }
    chatLines.push_back(serverFullLine);
}

void Game::applyUpdate(const ServerMessage& update, double now) {
    link.updateArrived(now);
    rememberBodies();
    bool joined = false;
    for (size_t i = 0; i < update.playerCount; ++i) {
        const PlayerUpdate& record = update.players[i];
        PlayerTrack& track = tracks[static_cast<unsigned char>(record.playerID)];
        Player* known = playerByID(record.playerID);
        if (!known) {
            track.clear();
        }
        track.add(now, {record.position, {record.direction, record.rotation}});
        if (known) {
            known->applyState(stateOf(record), now);
            continue;
        }
        std::string name = textOfField(record.name, sizeof(record.name));
        std::cout << "ADDING PLAYER: " << name << std::endl;
        Player player(record.position, record.position + record.direction, vec3(0, 1, 0));
        player.setPlayerID(record.playerID);
        player.setPlayerName(name);
        player.setUpdatedSinceCheck(true);
        players.push_back(player);
        std::cout << "DONE ADDING PLAYER: " << name << std::endl;
        joined = true;
    }
    // One tone however many came: the first update brings the whole roster at once.
    if (joined) {
        sounds.add(SoundKind::join);
    }
    noticeSpawnsAndFire(now);
    if (shotAllowance.take()) {
        startShotEffects(now);
    }
    noticeDeaths(now);
    rememberOwnView();
    checkForDisconnect();
    followOwnView(playerByID(clientPlayerID), now);
}

// The server turns no player awaiting respawn; the turns of a player in play are placed against
// the server's view of it.
void Game::followOwnView(const Player* own, double now) {
    if (own == nullptr || own->awaitingRespawn()) {
        localView.reset();
        return;
    }
    double settledBefore = now - turnsSettleAfter();
    if (std::optional<double> roundTrip =
            localView.reported(own->getOrientation(), now, settledBefore)) {
        link.roundTrip(*roundTrip);
    }
}

// A turn is surely made, or lost, once a round trip and the link's unevenness have passed.
double Game::turnsSettleAfter() const {
    return link.roundTripMillis().value_or(unknownRoundTrip) + settleJitters * link.jitterMillis() +
           settleMargin;
}

void Game::rememberBodies() {
    priorBodies.clear();
    for (const Player& player : players) {
        priorBodies.push_back({player.getPlayerID(), !player.awaitingRespawn(), player.getBox()});
    }
}

const Game::PriorBody* Game::priorBodyOf(char id) const {
    for (const PriorBody& prior : priorBodies) {
        if (prior.id == id) {
            return &prior;
        }
    }
    return nullptr;
}

// A shot that kills sends its victim away in the same update, so a player who was alive before
// this update is hit where it stood then.
std::optional<Box> Game::bodyAtShot(const Player& target) const {
    if (!target.awaitingRespawn()) {
        return target.getBox();
    }
    const PriorBody* prior = priorBodyOf(target.getPlayerID());
    if (prior != nullptr && prior->alive) {
        return prior->body;
    }
    return std::nullopt;
}

void Game::startShotEffects(double now) {
    for (const Player& shooter : players) {
        if (!shooter.isShooting()) {
            continue;
        }
        std::optional<vec3> impact = shotImpact(shooter, mapManager);
        vec3 origin = shooter.getPosition();
        vec3 end = shotEnd(shooter, impact);
        bool ownShot = shooter.getPlayerID() == clientPlayerID;
        sounds.add(ownShot ? SoundKind::ownShot : SoundKind::shot, origin);
        targetBodies.clear();
        targets.clear();
        bool crossedPlayer = false;
        for (const Player& target : players) {
            std::optional<Box> body = bodyAtShot(target);
            if (target.getPlayerID() == shooter.getPlayerID() || !body) {
                continue;
            }
            targetBodies.push_back(*body);
            targets.push_back(&target);
            vec3 entry;
            if (!segmentCrosses(origin, end, *body, entry)) {
                continue;
            }
            crossedPlayer = true;
            // An explosion inside the own body would fill the whole view; the red flash at the
            // edge shows that hit instead. A shielded body only throws sparks.
            if (shields.covers(target.getPlayerID(), now)) {
                particleManager.add(3, entry, shotColor, 2.0f);
            } else if (target.getPlayerID() != clientPlayerID) {
                particleManager.addExplosion(30, entry, shotColor, 12.0f, 7.0f);
                sounds.add(SoundKind::explosion, entry);
            }
        }
        Crossing first = firstBodyCrossed(origin, end, targetBodies.data(), targetBodies.size());
        if (first.index >= 0 && !shields.covers(targets[size_t(first.index)]->getPlayerID(), now)) {
            const Player& target = *targets[size_t(first.index)];
            combat.shotHit(shooter, target, clientPlayerID, now);
            soundHit(shooter, target);
        }
        if (!crossedPlayer && impact) {
            particleManager.add(3, *impact, shotColor, 2.0f);
            sounds.add(SoundKind::impact, *impact);
        }
    }
}

void Game::soundHit(const Player& shooter, const Player& target) {
    if (target.getPlayerID() == clientPlayerID) {
        sounds.add(SoundKind::hitTaken);
    }
    if (shooter.getPlayerID() == clientPlayerID) {
        sounds.add(SoundKind::hitLanded);
    }
}

void Game::noticeDeaths(double now) {
    for (const Player& player : players) {
        const PriorBody* prior = priorBodyOf(player.getPlayerID());
        if (player.awaitingRespawn() && prior != nullptr && prior->alive) {
            combat.playerDied(player, clientPlayerID, now);
            if (player.getPlayerID() == clientPlayerID) {
                sounds.add(SoundKind::ownDeath);
            }
        }
    }
}

// A player seen coming into play after the roster was first heard has just spawned: the own
// player on joining too. A shot ends the shield before it flies, as on the server.
void Game::noticeSpawnsAndFire(double now) {
    bool rosterKnown = !priorBodies.empty();
    for (const Player& player : players) {
        const PriorBody* prior = priorBodyOf(player.getPlayerID());
        bool firstSeen =
            prior == nullptr && (rosterKnown || player.getPlayerID() == clientPlayerID);
        bool backInPlay = prior != nullptr && !prior->alive;
        if (!player.awaitingRespawn() && (firstSeen || backInPlay)) {
            shields.spawned(player.getPlayerID(), now);
        }
        if (player.isShooting()) {
            shields.fired(player.getPlayerID());
        }
    }
}

void Game::rememberOwnView() {
    Player* me = playerByID(clientPlayerID);
    if (me != nullptr && !me->awaitingRespawn()) {
        lastOwnEye = me->getPosition();
        lastOwnDirection = me->getDirection();
        hasLastOwnView = true;
    }
}

void Game::checkForDisconnect() {
    size_t i = 0;
    bool left = false;
    while (i < players.size()) {
        if (players[i].wasUpdatedSinceCheck()) {
            players[i].setUpdatedSinceCheck(false);
            ++i;
        } else {
            players.erase(players.begin() + long(i));
            left = true;
        }
    }
    if (left) {
        sounds.add(SoundKind::leave);
    }
}

void Game::keyDown(Key key) {
    if (talking) {
        typeTalkMessage(key);
    } else if (key == Key::enter) {
        chatTimer = chatTimerStart;
    }
}

// Every press goes out, as a held key's repeats do; the release goes out when the last holder
// lets go.
void Game::press(Action action, uint32_t holder) {
    if (talking) {
        return;
    }
    if (action == Action::chat) {
        chatTimer = chatTimerStart;
        talking = true;
        return;
    }
    int control = infoOf(action).control;
    if (control < 0) {
        return;
    }
    Holders& holding = holders[size_t(control)];
    auto end = holding.ids.begin() + long(holding.count);
    if (std::find(holding.ids.begin(), end, holder) == end && holding.count < holding.ids.size()) {
        holding.ids[holding.count++] = holder;
    }
    changeKey(control, true);
}

void Game::release(Action action, uint32_t holder) {
    int control = infoOf(action).control;
    if (control < 0) {
        return;
    }
    Holders& holding = holders[size_t(control)];
    auto end = holding.ids.begin() + long(holding.count);
    auto found = std::find(holding.ids.begin(), end, holder);
    if (found != end) {
        *found = *(end - 1);
        --holding.count;
    }
    if (holding.count == 0) {
        changeKey(control, false);
    }
}

void Game::changeKey(int gameKey, bool pressed) {
    keyRepeats[size_t(gameKey)] = {pressed, keyRepeatFrames};
    sendInput(encodeKey(clientPlayerID, Control(gameKey), pressed));
}

// The copies carry the id we know now: a change made before the server told it reaches the
// server once it has.
void Game::repeatKeyChanges() {
    for (int key = 0; key < controlCount; ++key) {
        KeyRepeat& repeat = keyRepeats[size_t(key)];
        if (repeat.framesLeft > 0) {
            --repeat.framesLeft;
            sendInput(encodeKey(clientPlayerID, Control(key), repeat.pressed));
        }
    }
}

void Game::turn(int dx, int dy, double now) {
    sendInput(encodeMouse(clientPlayerID, dx, dy));
    localView.turned(dx, dy, now);
}

// The motion is scaled by the sensitivity and the fractions are carried to the next event, so
// slow motion is never lost; with the sensitivity at 1 every event goes out as it came.
void Game::mouseMoved(int dx, int dy, double now) {
    mouseCarryX += double(dx) * double(settings.sensitivity);
    mouseCarryY += double(settings.invertMouse ? -dy : dy) * double(settings.sensitivity);
    int sendX = truncateToInt(mouseCarryX);
    int sendY = truncateToInt(mouseCarryY);
    mouseCarryX -= sendX;
    mouseCarryY -= sendY;
    if (sendX == 0 && sendY == 0 && (dx != 0 || dy != 0)) {
        return;
    }
    turn(sendX, sendY, now);
}

void Game::typeTalkMessage(Key key) {
    if (key == Key::escape) {
        talking = false;
        talkMessage.clear();
    } else if (key == Key::backspace) {
        if (!talkMessage.empty()) {
            talkMessage.pop_back();
        }
    } else if (key == Key::enter) {
        if (!talkMessage.empty()) {
            send(encodeTalk(clientPlayerID, talkMessage));
        }
        talking = false;
        talkMessage.clear();
    }
}

void Game::typeText(std::string_view text) {
    if (!talking) {
        return;
    }
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= ' ' && c <= '~' && talkMessage.size() < size_t(maxTalkLength)) {
            talkMessage += char(std::toupper(c));
        }
    }
}

void Game::sendInput(const WireBytes& message) {
    send(message);
    lastSendTime = currentTime;
}

void Game::update(double now) {
    if (joining && connection.joinDue(now)) {
        sendJoin(now);
    }
    repeatKeyChanges();
    shotAllowance.grow(now);
    presentPlayers(now);
    markPlayersInCrosshairs();
    particleManager.update(mapManager);
    if (chatTimer > 0 && !talking) {
        chatTimer = static_cast<float>(chatTimer - chatTimerStep);
    }
    if (now - lastSendTime > keepAliveMillis) {
        send(encodeKeepAlive(clientPlayerID));
        lastSendTime = now;
    }
    currentTime = now;
}

double Game::renderDelay() const {
    const double interval = LinkQuality::updateInterval;
    return std::min(mostBehind, intervalsBehind * interval + jittersBehind * link.jitterMillis());
}

void Game::presentPlayers(double now) {
    shownPlayers = players;
    double renderTime = now - renderDelay();
    for (Player& shown : shownPlayers) {
        if (shown.getPlayerID() == clientPlayerID) {
            if (settings.turnLocally && localView.known()) {
                shown.setOrientation(localView.shown(now));
            }
            continue;
        }
        const PlayerTrack& track = tracks[static_cast<unsigned char>(shown.getPlayerID())];
        if (!track.empty()) {
            Pose pose = track.at(renderTime, intervalsAhead * LinkQuality::updateInterval);
            shown.applyState({pose.orientation.rotation, pose.position, pose.orientation.direction,
                              shown.getPoints(), shown.isShooting()},
                             now);
        }
    }
}

// What the crosshair is on in the picture; the marks are the roster's, so that they keep their
// last values while the own player awaits respawn.
void Game::markPlayersInCrosshairs() {
    Player* me = shownPlayer(clientPlayerID);
    if (me == nullptr || me->awaitingRespawn()) {
        return;
    }
    vec3 origin = me->getPosition();
    vec3 end = shotEnd(*me, mapManager);
    for (Player& other : shownPlayers) {
        if (other.getPlayerID() == clientPlayerID) {
            continue;
        }
        vec3 entry;
        bool marked = segmentCrosses(origin, end, other.getBox(), entry);
        other.setIsInCrosshairs(marked);
        playerByID(other.getPlayerID())->setIsInCrosshairs(marked);
    }
}

void Game::leave() {
    joining = false;
    send(encodeLeave(clientPlayerID));
}
