#include "Motion.h"

#include <algorithm>

namespace {

// Halvings of a blocked step while looking for the contact point: the body stops within
// 1/4096 of the step short of the obstacle.
const int contactSearchSteps = 12;

// The walk of one tick exactly as the player model takes it.
vec3 walkDelta(const Player& body, const MoveIntent& intent) {
    Player probe = body;
    probe.move(float(intent.forward));
    // The client's camera mirrors the picture: the strafe axis, the body's left in the world,
    // is what its player sees on the right.
    probe.strafe(float(intent.right));
    return probe.getPosition() - body.getPosition();
}

// The box the body will have after moveAll(delta, 1): placed on the moved eye, as Player does.
bool fitsAfter(const Player& body, vec3 delta, const Arena& arena) {
    Box moved = body.getBox();
    moved.moveTo(body.getPosition() + delta);
    return arena.fits(moved);
}

// Moves as far along delta as the body fits; whether it went the whole way.
bool moveUntilBlocked(Player& body, vec3 delta, const Arena& arena) {
    if (fitsAfter(body, delta, arena)) {
        body.moveAll(delta, 1.0f);
        return true;
    }
    float free = 0;
    float blocked = 1;
    for (int step = 0; step < contactSearchSteps; ++step) {
        float middle = (free + blocked) / 2;
        if (fitsAfter(body, delta * middle, arena)) {
            free = middle;
        } else {
            blocked = middle;
        }
    }
    body.moveAll(delta * free, 1.0f);
    return false;
}

} // namespace

void stepBody(Player& body, MotionState& state, const MoveIntent& intent, const Arena& arena) {
    vec3 walk = walkDelta(body, intent);
    moveUntilBlocked(body, vec3(walk.x, 0, 0), arena);
    moveUntilBlocked(body, vec3(0, 0, walk.z), arena);

    if (intent.jump && state.onGround) {
        state.verticalSpeed = jumpSpeed;
    }
    state.verticalSpeed = std::max(state.verticalSpeed - gravity, -maxFallSpeed);
    bool blocked = !moveUntilBlocked(body, vec3(0, state.verticalSpeed, 0), arena);
    state.onGround = blocked && state.verticalSpeed < 0;
    if (blocked) {
        state.verticalSpeed = 0;
    }
}
