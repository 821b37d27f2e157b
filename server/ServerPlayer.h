#ifndef CUBEFRAY_SERVER_SERVERPLAYER_H
#define CUBEFRAY_SERVER_SERVERPLAYER_H

#include "Codec.h"
#include "Datagram.h"
#include "Messages.h"
#include "Motion.h"
#include "Player.h"

#include <array>
#include <cstdint>
#include <string>

// Where the bodies of players awaiting respawn are kept: x below zero tells clients to hide them.
const vec3 graveyard(-1000, -1000, -1000);

// One seat in the game, a client's or a bot's, with everything the rules track for it. The body
// carries id, name, position and view; its rotation always turns (0, 0, -1) onto the view
// direction, because the view only ever changes through Player::rotateViewAround.
struct ServerPlayer {
    ServerPlayer(char id, const std::string& name, bool isBot, PeerAddress peer);

    char id() const { return body.getPlayerID(); }
    std::string name() const { return body.getPlayerName(); }
    bool isAlive() const { return respawnDelay == 0; }
    // Just spawned: shots do it no harm.
    bool isProtected() const { return protectionTicks > 0; }
    bool holds(Control control) const { return held[control]; }
    MoveIntent moveIntent() const;

    // Stands the body at the eye position looking along (0, 0, -1) turned by yaw radians about
    // the vertical, with a fresh rotation to match.
    void spawnAt(vec3 eye, float yaw);
    // Hides the body until the respawn delay has run out.
    void die(int respawnTicks);
    // Mouse motion in pixels, as Player::rotateView reads it.
    void turn(int dx, int dy);
    PlayerUpdate record() const;

    Player body;
    bool isBot;
    PeerAddress peer;
    std::array<bool, controlCount> held{};
    MotionState motion;
    int hitsTaken = 0;
    int points = 0;
    int shotCooldown = 0;
    bool firedThisTick = false;
    // Ticks left until respawn; zero while alive.
    int respawnDelay = 0;
    // Ticks left of the protection of a player who has just spawned.
    int protectionTicks = 0;
    uint64_t lastHeardTick = 0;
};

#endif
