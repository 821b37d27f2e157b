#ifndef CUBEFRAY_GAME_H
#define CUBEFRAY_GAME_H

#include "Bindings.h"
#include "Codec.h"
#include "CombatEvents.h"
#include "Connection.h"
#include "ControlsPage.h"
#include "Datagram.h"
#include "Key.h"
#include "LinkQuality.h"
#include "LocalView.h"
#include "MapManager.h"
#include "Menu.h"
#include "ParticleManager.h"
#include "Player.h"
#include "PlayerTrack.h"
#include "Settings.h"
#include "ShotAllowance.h"
#include "SoundEvents.h"
#include "SpawnShields.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// All of the client's game state, without sockets, threads, clocks or drawing, in the way the
// server's rules are: datagrams come in through receive(), time passes through update(), input
// through press(), release(), keyDown() and mouseMoved(), and whatever the game wants sent waits in
// outgoing() until the program has sent it. Every call is told the time, in milliseconds of
// one monotonic clock, so a test or a recording can drive it as well as a live match.
class Game {
  public:
    static constexpr size_t maxChatLines = 6;
    // Key messages are idempotent, so each change of a key goes out again in this many frames
    // (a quarter of a second): a lost release must not leave the key held on the server, and the
    // last copies of a change outlast a copy of the change before it that the network delayed.
    static constexpr int keyRepeatFrames = 15;

    char clientPlayerID = unknownPlayerID;
    // The time of the latest update().
    double currentTime = 0;
    // The roster as the server reported it last.
    std::vector<Player> players;
    // The roster as the picture shows it at currentTime: the own view turned by the mouse at
    // once, the others moving smoothly a little behind the newest report. Only drawing and
    // sound read it; whatever the server decides is taken from players.
    std::vector<Player> shownPlayers;
    MapManager mapManager;
    ParticleManager particleManager;
    bool talking = false;
    Settings settings;
    Menu menu;
    ControlsPage controlsPage;
    std::string talkMessage;
    std::vector<std::string> chatLines;
    float chatTimer = 0;
    Connection connection;
    CombatEvents combat;
    // What to hear of the updates handled since the sound last took them.
    SoundEvents sounds;
    // Where the own player looked from when it was last alive: the view while it awaits respawn.
    bool hasLastOwnView = false;
    vec3 lastOwnEye;
    vec3 lastOwnDirection;
    LinkQuality link;
    // A match played now; a replay has no link to tell of.
    bool live = true;

    Game();

    // The map from its text: the line to print when it cannot be played, or an empty string.
    [[nodiscard]] std::string loadMap(const std::string& text);
    // The game begins at now on the server at address, which the player named host:port.
    void start(const std::string& host, int port, const PeerAddress& address, double now);
    // The join, sent now and again every two seconds until the server answers it.
    void join(std::string_view playerName, double now);
    // One datagram as it arrived from sender; only the server's are heard.
    void receive(std::string_view datagram, const PeerAddress& sender, double now);
    // Once a frame, after what arrived: the effects, the chat timer and what goes out unasked.
    void update(double now);
    // The leave message: the last thing the game sends.
    void leave();

    // An action's input went down or up; holder tells inputs apart (Input::id), so that an
    // action held by two (a key and a pad button) is let go when both are.
    void press(Action action, uint32_t holder);
    void release(Action action, uint32_t holder);
    // A key for the chat line: while it is open Backspace deletes, Return sends and Escape
    // cancels; otherwise Return shows the chat lines again.
    void keyDown(Key key);
    // Text typed while the chat line is open, as the keyboard layout makes it: the characters of
    // the font (the blank to '~') are kept, letters in upper case; the rest are dropped.
    void typeText(std::string_view text);
    // Relative mouse motion in pixels, already negated in x, at the time now: scaled by the
    // sensitivity, turned over when the mouse is inverted.
    void mouseMoved(int dx, int dy, double now);
    // A turn of exactly so many pixels, as a mouse message carries it.
    void turn(int dx, int dy, double now);

    Player* playerByID(char id);
    // The player as the picture shows it, or nullptr.
    Player* shownPlayer(char id);
    // Whether the server keeps the player from harm just after its spawn, as far as can be told.
    bool isShielded(char id) const { return shields.covers(id, currentTime); }
    // How far behind the newest report the other players are drawn, in milliseconds.
    double renderDelay() const;
    // What waits to be sent to the server, oldest first.
    const std::vector<WireBytes>& outgoing() const { return outbox; }
    void clearOutgoing() { outbox.clear(); }
    // Datagrams heard from others than the server, and dropped.
    size_t strangerDatagrams() const { return strangers; }

  private:
    struct KeyRepeat {
        bool pressed = false;
        int framesLeft = 0;
    };

    struct Holders {
        std::array<uint32_t, 8> ids{};
        size_t count = 0;
    };

    // A player as it was before the update being applied.
    struct PriorBody {
        char id;
        bool alive;
        Box body;
    };

    void applyUpdate(const ServerMessage& update, double now);
    void addChatLine(char sender, std::string_view text);
    void addServerFullLine();
    void checkForDisconnect();
    void rememberBodies();
    const PriorBody* priorBodyOf(char id) const;
    std::optional<Box> bodyAtShot(const Player& target) const;
    void startShotEffects(double now);
    void soundHit(const Player& shooter, const Player& target);
    void noticeDeaths(double now);
    void noticeSpawnsAndFire(double now);
    void rememberOwnView();
    void followOwnView(const Player* own, double now);
    double turnsSettleAfter() const;
    void presentPlayers(double now);
    void markPlayersInCrosshairs();
    void typeTalkMessage(Key key);
    void changeKey(int gameKey, bool pressed);
    void repeatKeyChanges();
    void sendJoin(double now);
    // Key and mouse messages count as input, which puts off the keep-alive; chat does not.
    void sendInput(const WireBytes& message);
    void send(const WireBytes& message) { outbox.push_back(message); }

    PeerAddress server;
    std::string joinName;
    bool joining = false;
    double lastSendTime = 0;
    std::vector<WireBytes> outbox;
    size_t strangers = 0;
    std::array<KeyRepeat, controlCount> keyRepeats{};
    std::array<Holders, controlCount> holders{};
    LocalView localView;
    // By the id byte: any byte may come from the server.
    std::array<PlayerTrack, 256> tracks{};
    // Kept from update to update so that no update allocates.
    std::vector<PriorBody> priorBodies;
    std::vector<Box> targetBodies;
    std::vector<const Player*> targets;
    double mouseCarryX = 0;
    double mouseCarryY = 0;
    // Updates beyond it are a flood: the roster follows them, their shots are not worked out.
    ShotAllowance shotAllowance;
    SpawnShields shields;
};

#endif
