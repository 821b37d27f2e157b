#ifndef CUBEFRAY_GAME_H
#define CUBEFRAY_GAME_H

#include "CombatEvents.h"
#include "Connection.h"
#include "MapManager.h"
#include "Menu.h"
#include "Messages.h"
#include "NetworkInfo.h"
#include "ParticleManager.h"
#include "Player.h"
#include "Settings.h"
#include "SoundEvents.h"

#include <array>
#include <deque>
#include <optional>
#include <pthread.h>
#include <string>
#include <vector>

// Game key codes of the key messages; -1 is no game key.
int convertKey(int scancode);
// The chat character of a key: 'A' to 'Z' and the blank; 0 for every other key.
char keyToAsciiChar(int scancode);
// The pseudo-key of every mouse button.
const int mouseButtonKey = -7;

// The receive thread's entry: queues every datagram until the game stops it.
void* receiveMessages(void* game);

// All of the client's game state, without anything of drawing. The receive thread touches only
// inMessages and its counters, under mutex, and reads server, which is set before it starts;
// everything else belongs to the main thread.
class Game {
  public:
    // Beyond this many waiting datagrams new ones are dropped: a flood must not exhaust memory.
    static constexpr size_t maxQueuedMessages = 4096;
    // One frame handles at most this many, so a flood cannot stall the frame loop.
    static constexpr size_t maxMessagesPerDrain = 256;
    static constexpr size_t maxChatLines = 6;
    // Key messages are idempotent, so each change of a key goes out again in this many frames
    // (a quarter of a second): a lost release must not leave the key held on the server, and the
    // last copies of a change outlast a copy of the change before it that the network delayed.
    static constexpr int keyRepeatFrames = 15;

    char clientPlayerID = unknownPlayerID;
    float currentTime = 0;
    float lastSendTime = 0;
    std::vector<Player> players;
    MapManager mapManager;
    ParticleManager particleManager;
    std::deque<GenericMessage> inMessages;
    size_t droppedMessages = 0;
    // Datagrams from any other address or port than the server's, which are not queued.
    size_t strangerMessages = 0;
    bool talking = false;
    Settings settings;
    Menu menu;
    std::string talkMessage;
    std::vector<std::string> chatLines;
    float chatTimer = 0;
    SocketInfo socketInfo;
    Server server;
    pthread_mutex_t mutex;
    Connection connection;
    CombatEvents combat;
    // What to hear of the updates handled since the sound last took them.
    SoundEvents sounds;
    // Where the own player looked from when it was last alive: the view while it awaits respawn.
    bool hasLastOwnView = false;
    vec3 lastOwnEye;
    vec3 lastOwnDirection;

    Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    ~Game();

    // Resolves the server and opens the socket; either failure ends the process with status 0.
    void initNetworkStuff(const char* host, int port);
    std::deque<GenericMessage>* getInMessagesPtr() { return &inMessages; }
    // Starts the receive thread (the mutex must be initialised); returns pthread_create's code.
    int startReceiveThread();
    // Wakes the receive thread and waits for it to end; afterwards it touches nothing of ours.
    void stopReceiveThread();
    // Queues one datagram; false when the queue is full.
    bool queueMessage(const GenericMessage& message);
    // Queues a datagram whose sender (message.from) is the server; counts any other and drops it.
    bool queueFromServer(const GenericMessage& message);
    int stopPipeReadEnd() const { return stopPipe[0]; }

    Player* playerByID(char id);
    void setClientPlayerID(char id) { clientPlayerID = id; }
    void readMessages(long now);
    void applyUpdateMessage(UpdateMessage* msg, long now);
    void checkForDisconnect();

    // Sends the join message under the mutex, and again every two seconds until the server
    // answers it.
    void join(const char* playerName);

    void keyDown(int key);
    void keyUp(int key);
    void mouseMoved(int dx, int dy);
    void typeTalkMessage(int key);

    // Starts the clocks and the chat timer.
    void init();
    // Loads the map from its text; returns what the client says of a map it cannot play before
    // it stops, empty when the map loaded.
    [[nodiscard]] std::string loadMap(const std::string& text);
    void update();
    // Sends the leave message and closes the socket.
    void cleanup();

  private:
    struct KeyRepeat {
        bool pressed = false;
        int framesLeft = 0;
    };

    // A player as it was before the update being applied.
    struct PriorBody {
        char id;
        bool alive;
        Box body;
    };

    void handleMessage(const GenericMessage& message, long now);
    void addChatLine(const GenericMessage& message);
    void addServerFullLine();
    void rememberBodies();
    const PriorBody* priorBodyOf(char id) const;
    std::optional<Box> bodyAtShot(const Player& target) const;
    void startShotEffects(double now);
    void soundHit(const Player& shooter, const Player& target);
    void noticeDeaths(double now);
    void rememberOwnView();
    void sendJoin(double now);
    void markPlayersInCrosshairs();
    void changeKey(int gameKey, bool pressed);
    void repeatKeyChanges();
    void sendKeyMessage(int gameKey, bool pressed);
    void sendTalkMessage();
    void sendShortMessage(char type);

    std::optional<JoinMessage> joinMessage;
    std::array<KeyRepeat, controlCount> keyRepeats{};
    // Kept from update to update so that no update allocates.
    std::vector<PriorBody> priorBodies;
    std::vector<Box> targetBodies;
    std::vector<const Player*> targets;
    double mouseCarryX = 0;
    double mouseCarryY = 0;
    int stopPipe[2] = {-1, -1};
    pthread_t receiveThread;
    bool receiving = false;
};

#endif
