#include "Player.h"
#include "test_support.h"

#include <cmath>

namespace {

Player standardPlayer() {
    return Player(vec3(100, 75, 100), vec3(100, 75, 99), vec3(0, 1, 0));
}

// Strafing, climbing and falling show in the server's motion tests, on level ground.
TEST(Player, WalkingWhileLookingUpDropsTheVerticalPartAndCarriesLookAndBox) {
    Player p(vec3(0, 0, 0), vec3(0, 0.6f, -0.8f), vec3(0, 1, 0));
    p.move(1);
    EXPECT_TRUE(near(p.getPosition(), vec3(0, 0, -4.8f), 1e-5f));
    EXPECT_TRUE(near(p.getLook(), vec3(0, 0.6f, -5.6f), 1e-5f));
    EXPECT_TRUE(near(p.getBox().center, vec3(0, 0, -4.8f), 1e-5f));
}

TEST(Player, ViewTurnsADegreeFractionPerPixelAndStopsShortOfVertical) {
    Player p = standardPlayer();
    // Mouse motion arrives with x already negated: -90 pixels turns the view left by 90/360 rad.
    p.rotateView(-90, 0);
    EXPECT_TRUE(near(p.getDirection(), vec3(-std::sin(0.25f), 0, -std::cos(0.25f)), 1e-5f));
    EXPECT_TRUE(near(p.getLook(), p.getPosition() + p.getDirection(), 1e-5f));
    // The model rotation follows the view: it carries the first direction onto the current one.
    EXPECT_TRUE(near(p.getRotation() * vec3(0, 0, -1), p.getDirection(), 1e-5f));
    Player q = standardPlayer();
    q.rotateView(0, 500);
    EXPECT_LT(q.getDirection().y, -0.99f * std::sin(500 / 360.0f));
    vec3 before = q.getDirection();
    quat rotationBefore = q.getRotation();
    // Another 100 pixels would bring x and z within 0.1 of zero: the pitch is refused ...
    q.rotateView(0, 100);
    EXPECT_TRUE(near(q.getDirection(), before, 1e-5f));
    EXPECT_TRUE(near(q.getRotation(), rotationBefore, 1e-5f));
    // ... while the yaw of the same motion is still applied.
    q.rotateView(90, 100);
    EXPECT_NEAR(q.getDirection().y, before.y, 1e-5f);
    EXPECT_GT(std::fabs(q.getDirection().x - before.x), 0.03f);
}

TEST(Player, ViewMatrixMirrorsAndGunMatrixRotatesFirst) {
    Player p = standardPlayer();
    mat4 view = p.getViewMatrix();
    EXPECT_TRUE(near(view * vec4(100, 75, 90, 1), vec4(0, 0, -10, 1), 1e-4f));
    // World +x in front of the eye lands on eye-space -x.
    EXPECT_LT((view * vec4(110, 75, 90, 1)).x, 0);
    quat turn;
    turn.fromAxisAngle(vec3(0, 1, 0), 3.14159265f / 2);
    p.setRotation(turn);
    EXPECT_TRUE(near(p.gunModelMatrix() * vec4(0, 0, -1, 1), vec4(99, 75, 100, 1), 1e-5f));
}

// Waiting to respawn shows in the scene's and the roster's tests, the position, the direction,
// the points and shots in the roster's.
TEST(Player, UpdateTakesTheRotationAndTheViewFollows) {
    Player p = standardPlayer();
    PlayerState record;
    record.rotation = quat(0, 1, 0, 0);
    record.position = vec3(0, 100, 200);
    record.direction = vec3(1, 0, 0);
    p.applyState(record, 0);
    EXPECT_TRUE(near(p.getRotation(), quat(0, 1, 0, 0), 0));
    // Look stays until the view matrix rewrites it from the new position and direction.
    EXPECT_TRUE(near(p.getLook(), vec3(100, 75, 99), 0));
    p.getViewMatrix();
    EXPECT_TRUE(near(p.getLook(), vec3(1, 100, 200), 0));
}

} // namespace
