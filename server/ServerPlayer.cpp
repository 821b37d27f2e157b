#include "ServerPlayer.h"

#include <algorithm>
#include <cstring>

namespace {

const vec3 up(0, 1, 0);
const vec3 initialDirection(0, 0, -1);

Player bodyAt(vec3 eye, char id, const std::string& name) {
    Player body(eye, eye + initialDirection, up);
    body.setPlayerID(id);
    body.setPlayerName(name);
    return body;
}

} // namespace

ServerPlayer::ServerPlayer(char id, const std::string& name, bool isBot, PeerAddress peer)
    : body(bodyAt(graveyard, id, name)), isBot(isBot), peer(peer) {}

MoveIntent ServerPlayer::moveIntent() const {
    MoveIntent intent;
    intent.forward = int(holds(walkForward)) - int(holds(walkBack));
    intent.right = int(holds(strafeRight)) - int(holds(strafeLeft));
    intent.jump = holds(jump);
    return intent;
}

void ServerPlayer::spawnAt(vec3 eye, float yaw) {
    body = bodyAt(eye, id(), name());
    body.rotateViewAround(yaw, up, false);
    body.updateDirAndStrafe();
    motion = MotionState();
    hitsTaken = 0;
    shotCooldown = 0;
    respawnDelay = 0;
}

void ServerPlayer::die(int respawnTicks) {
    body = bodyAt(graveyard, id(), name());
    respawnDelay = respawnTicks;
    hitsTaken = 0;
}

void ServerPlayer::turn(int dx, int dy) {
    // Walking rounds position and look apart a little every tick; re-anchoring look on the
    // direction first keeps those errors out of the direction that rotateView derives from it.
    body.getViewMatrix();
    body.rotateView(dx, dy);
    // rotateView derives the strafe axis before it turns; A and D must follow the new view.
    body.updateDirAndStrafe();
    quat rotation = body.getRotation();
    rotation.normalize();
    body.setRotation(rotation);
}

PlayerUpdate ServerPlayer::record() const {
    PlayerUpdate record;
    record.rotation = body.getRotation();
    record.position = body.getPosition();
    record.direction = body.getDirection();
    std::string playerName = name();
    std::memcpy(record.name, playerName.data(), std::min(playerName.size(), sizeof(record.name)));
    record.points = points;
    record.shooting = firedThisTick ? 1 : 0;
    record.playerID = id();
    return record;
}
