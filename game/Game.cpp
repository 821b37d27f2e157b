#include "Game.h"

#include "MathOps.h"
#include "Shot.h"
#include "Timing.h"

#include <SDL_scancode.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <netdb.h>
#include <unistd.h>

namespace {

const float chatTimerStart = 10;
const double chatTimerStep = 0.05;
const float keepAliveMillis = 1000;
const vec4 shotColor(0, 1, 1, 4);
const char* const serverFullLine = "Server is full :(";

PlayerState stateOf(const PlayerUpdate& record) {
    PlayerState state;
    state.rotation = record.rotation;
    state.position = record.position;
    state.direction = record.direction;
    state.points = record.points;
    state.shooting = record.shooting != 0;
    return state;
}

class MutexLock {
  public:
    explicit MutexLock(pthread_mutex_t& mutex) : mutex(mutex) { pthread_mutex_lock(&mutex); }
    ~MutexLock() { pthread_mutex_unlock(&mutex); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

  private:
    pthread_mutex_t& mutex;
};

} // namespace

int convertKey(int scancode) {
    switch (scancode) {
    case SDL_SCANCODE_A:
        return strafeLeft;
    case SDL_SCANCODE_D:
        return strafeRight;
    case SDL_SCANCODE_S:
        return walkBack;
    case SDL_SCANCODE_W:
        return walkForward;
    case SDL_SCANCODE_SPACE:
        return jump;
    case mouseButtonKey:
        return fire;
    default:
        return -1;
    }
}

char keyToAsciiChar(int scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return static_cast<char>('A' + (scancode - SDL_SCANCODE_A));
    }
    if (scancode == SDL_SCANCODE_SPACE) {
        return ' ';
    }
    return 0;
}

void* receiveMessages(void* gamePointer) {
    Game* game = static_cast<Game*>(gamePointer);
    SocketInfo socket;
    int stopFD;
    {
        MutexLock lock(game->mutex);
        socket = game->socketInfo;
        stopFD = game->stopPipeReadEnd();
    }
    Server from;
    GenericMessage message;
    while (socket.waitForDatagram(stopFD)) {
        std::memset(message.data, 0, sizeof(message.data));
        if (socket.receiveBytesFrom(&from, message.data, maxDatagramSize, MSG_DONTWAIT) < 0) {
            continue;
        }
        message.from = from;
        game->queueFromServer(message);
    }
    return nullptr;
}

Game::Game() {
    // Room for a full house and then some: a server naming more players grows them once.
    const size_t room = 2 * maxPlayersInUpdate;
    priorBodies.reserve(room);
    targetBodies.reserve(room);
    targets.reserve(room);
}

Game::~Game() {
    stopReceiveThread();
}

void Game::initNetworkStuff(const char* host, int port) {
    socketInfo.init(port);
    std::memset(&server.addr, 0, sizeof(server.addr));
    server.addr.sin_family = AF_INET;
    hostent* resolved = gethostbyname(host);
    if (resolved == nullptr || resolved->h_addrtype != AF_INET ||
        resolved->h_length != sizeof(server.addr.sin_addr) || resolved->h_addr_list[0] == nullptr) {
        std::cout << "error init network stuff\n" << std::flush;
        std::exit(0);
    }
    std::memcpy(&server.addr.sin_addr, resolved->h_addr_list[0], sizeof(server.addr.sin_addr));
    server.addr.sin_port = htons(static_cast<uint16_t>(port));
    server.addrLength = sizeof(server.addr);
    connection.start(host, port, double(getCurrentMillisecond()));
}

int Game::startReceiveThread() {
    if (pipe2(stopPipe, O_CLOEXEC) != 0) {
        return errno;
    }
    int created = pthread_create(&receiveThread, nullptr, receiveMessages, this);
    receiving = created == 0;
    return created;
}

void Game::stopReceiveThread() {
    if (receiving) {
        const char stop = 1;
        while (write(stopPipe[1], &stop, 1) < 0 && errno == EINTR) {
        }
        pthread_join(receiveThread, nullptr);
        receiving = false;
    }
    for (int& end : stopPipe) {
        if (end >= 0) {
            close(end);
            end = -1;
        }
    }
}

bool Game::queueMessage(const GenericMessage& message) {
    MutexLock lock(mutex);
    if (inMessages.size() >= maxQueuedMessages) {
        ++droppedMessages;
        return false;
    }
    inMessages.push_back(message);
    return true;
}

// Any host can send to our port; only the server's word may change the game.
bool Game::queueFromServer(const GenericMessage& message) {
    if (!message.from.sameEndpoint(server)) {
        MutexLock lock(mutex);
        ++strangerMessages;
        return false;
    }
    return queueMessage(message);
}

Player* Game::playerByID(char id) {
    for (Player& player : players) {
        if (player.getPlayerID() == id) {
            return &player;
        }
    }
    return nullptr;
}

void Game::readMessages(long now) {
    for (size_t handled = 0; handled < maxMessagesPerDrain; ++handled) {
        GenericMessage message;
        {
            MutexLock lock(mutex);
            if (inMessages.empty()) {
                return;
            }
            message = inMessages.front();
            inMessages.pop_front();
        }
        handleMessage(message, now);
    }
}

void Game::handleMessage(const GenericMessage& message, long now) {
    connection.heard(double(now));
    switch (message.data[0]) {
    case MessageType::update: {
        UpdateMessage update = asUpdateMessage(message);
        applyUpdateMessage(&update, now);
        break;
    }
    case MessageType::talk:
        addChatLine(message);
        break;
    case MessageType::yourID:
        setClientPlayerID(message.data[1]);
        connection.admitted();
        break;
    case MessageType::serverFull:
        addServerFullLine();
        connection.refused();
        break;
    default:
        break;
    }
}

void Game::addChatLine(const GenericMessage& message) {
    char sender = message.data[1];
    std::string text = textOfField(message.data + 2, sizeof(message.data) - 2);
    Player* speaker = sender == serverSenderID ? nullptr : playerByID(sender);
    // A sender we do not know is shown like the server: the text alone.
    chatLines.push_back(speaker ? speaker->getPlayerName() + ": " + text : text);
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

void Game::applyUpdateMessage(UpdateMessage* msg, long now) {
    rememberBodies();
    bool joined = false;
    for (const PlayerUpdate& record : msg->players) {
        if (record.playerID == 0) {
            break;
        }
        if (Player* known = playerByID(record.playerID)) {
            known->applyState(stateOf(record), double(now));
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
    startShotEffects(double(now));
    noticeDeaths(double(now));
    rememberOwnView();
    checkForDisconnect();
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
        vec3 end = shotEnd(shooter, mapManager);
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
            // edge shows that hit instead.
            if (target.getPlayerID() != clientPlayerID) {
                particleManager.addExplosion(30, entry, shotColor, 12.0f, 7.0f);
                sounds.add(SoundKind::explosion, entry);
            }
        }
        Crossing first = firstBodyCrossed(origin, end, targetBodies.data(), targetBodies.size());
        if (first.index >= 0) {
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

void Game::keyDown(int key) {
    if (talking) {
        typeTalkMessage(key);
        return;
    }
    if (key == SDL_SCANCODE_T) {
        chatTimer = chatTimerStart;
        talking = true;
        return;
    }
    if (key == SDL_SCANCODE_RETURN) {
        chatTimer = chatTimerStart;
    }
    int gameKey = convertKey(key);
    if (gameKey != -1) {
        changeKey(gameKey, true);
    }
}

void Game::keyUp(int key) {
    int gameKey = convertKey(key);
    if (gameKey != -1) {
        changeKey(gameKey, false);
    }
}

void Game::changeKey(int gameKey, bool pressed) {
    keyRepeats[size_t(gameKey)] = {pressed, keyRepeatFrames};
    sendKeyMessage(gameKey, pressed);
}

// The copies carry the id we know now: a change made before the server told it reaches the
// server once it has.
void Game::repeatKeyChanges() {
    for (int key = 0; key < controlCount; ++key) {
        KeyRepeat& repeat = keyRepeats[size_t(key)];
        if (repeat.framesLeft > 0) {
            --repeat.framesLeft;
            sendKeyMessage(key, repeat.pressed);
        }
    }
}

// The motion is scaled by the sensitivity and the fractions are carried to the next event, so
// slow motion is never lost; with the sensitivity at 1 every event goes out as it came.
void Game::mouseMoved(int dx, int dy) {
    mouseCarryX += double(dx) * double(settings.sensitivity);
    mouseCarryY += double(settings.invertMouse ? -dy : dy) * double(settings.sensitivity);
    int sendX = truncateToInt(mouseCarryX);
    int sendY = truncateToInt(mouseCarryY);
    mouseCarryX -= sendX;
    mouseCarryY -= sendY;
    if (sendX == 0 && sendY == 0 && (dx != 0 || dy != 0)) {
        return;
    }
    MouseMessage message;
    message.playerID = clientPlayerID;
    message.dx = sendX;
    message.dy = sendY;
    socketInfo.sendBytesTo(&server, &message, sizeof(message));
    lastSendTime = currentTime;
}

void Game::typeTalkMessage(int key) {
    if (key == SDL_SCANCODE_ESCAPE) {
        talking = false;
        talkMessage.clear();
    } else if (key == SDL_SCANCODE_BACKSPACE) {
        if (!talkMessage.empty()) {
            talkMessage.pop_back();
        }
    } else if (key == SDL_SCANCODE_RETURN) {
        if (!talkMessage.empty()) {
            sendTalkMessage();
        }
        talking = false;
        talkMessage.clear();
    } else if (talkMessage.size() < size_t(maxTalkLength)) {
        char c = keyToAsciiChar(key);
        if (c != 0) {
            talkMessage += c;
        }
    }
}

void Game::sendKeyMessage(int gameKey, bool pressed) {
    KeyMessage message;
    message.playerID = clientPlayerID;
    message.key = static_cast<char>(gameKey);
    message.pressed = pressed ? 1 : 0;
    socketInfo.sendBytesTo(&server, &message, sizeof(message));
    lastSendTime = currentTime;
}

// Sending chat does not count as input: it leaves the keep-alive timer alone.
void Game::sendTalkMessage() {
    TalkMessage message;
    message.playerID = clientPlayerID;
    std::memcpy(message.text, talkMessage.data(), talkMessage.size());
    socketInfo.sendBytesTo(&server, &message, sizeof(message));
}

void Game::sendShortMessage(char type) {
    const char message[2] = {type, clientPlayerID};
    socketInfo.sendBytesTo(&server, message, sizeof(message));
}

void Game::init() {
    talking = false;
    chatTimer = chatTimerStart;
    currentTime = lastSendTime = float(getCurrentMillisecond());
}

std::string Game::loadMap(const std::string& text) {
    MapLoadResult loaded = mapManager.load(text);
    std::string counts = std::to_string(loaded.columns) + " x " + std::to_string(loaded.rows) +
                         " x " + std::to_string(loaded.depths);
    if (loaded.problem == MapLoadResult::tooManyCells) {
        return "Map too large: " + counts + " cells, the client holds at most " +
               std::to_string(MapManager::maxCellCount) + "\n";
    }
    if (loaded.problem == MapLoadResult::negativeCount) {
        return "Broken map: negative cell count in " + counts + "\n";
    }
    return "";
}

void Game::join(const char* playerName) {
    joinMessage = JoinMessage(playerName);
    sendJoin(double(getCurrentMillisecond()));
}

void Game::sendJoin(double now) {
    MutexLock lock(mutex);
    socketInfo.sendBytesTo(&server, &*joinMessage, sizeof(JoinMessage));
    connection.joinSent(now);
}

void Game::update() {
    int64_t now = getCurrentMillisecond();
    readMessages(long(now));
    if (joinMessage && connection.joinDue(double(now))) {
        sendJoin(double(now));
    }
    repeatKeyChanges();
    markPlayersInCrosshairs();
    particleManager.update(mapManager);
    if (chatTimer > 0 && !talking) {
        chatTimer = static_cast<float>(chatTimer - chatTimerStep);
    }
    if (float(now) - lastSendTime > keepAliveMillis) {
        sendShortMessage(MessageType::keepAlive);
        lastSendTime = float(now);
    }
    currentTime = float(now);
}

void Game::markPlayersInCrosshairs() {
    Player* me = playerByID(clientPlayerID);
    if (me == nullptr || me->awaitingRespawn()) {
        return;
    }
    vec3 origin = me->getPosition();
    vec3 end = shotEnd(*me, mapManager);
    for (Player& other : players) {
        if (other.getPlayerID() == clientPlayerID) {
            continue;
        }
        vec3 entry;
        other.setIsInCrosshairs(segmentCrosses(origin, end, other.getBox(), entry));
    }
}

void Game::cleanup() {
    sendShortMessage(MessageType::leave);
    close(socketInfo.socketFD);
    socketInfo.socketFD = -1;
}
