#ifndef CUBEFRAY_SERVER_MOTION_H
#define CUBEFRAY_SERVER_MOTION_H

#include "Arena.h"
#include "Player.h"

// Units a tick squared, units a tick. A jump rises jumpSpeed^2 / (2 gravity) = 120 units: enough
// to climb onto one cell (64) with room to spare, not onto two.
const float gravity = 0.6f;
const float maxFallSpeed = 30;

struct MotionState {
    float verticalSpeed = 0;
    bool onGround = false;
};

// What the held controls ask for in one tick: forward -1..1 (back, forward), right -1..1 (towards
// the left or the right of the player's picture), and whether to jump.
struct MoveIntent {
    int forward = 0;
    int right = 0;
    bool jump = false;
};

// One tick of walking (Player::move and Player::strafe, 6 units each), jumping and falling. The
// body moves axis by axis and stops at a solid cell or the edge of the world on the axis that
// would enter it, so it slides along walls; landing or bumping the head ends vertical speed.
void stepBody(Player& body, MotionState& state, const MoveIntent& intent, const Arena& arena);

#endif
