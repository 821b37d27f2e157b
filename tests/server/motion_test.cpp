#include "Motion.h"
#include "server_test_support.h"

namespace {

const float pi = 3.14159265f;

bool touchesSolidCell(const Arena& arena, const Box& box) {
    return arena.map().collides(box);
}

TEST(Motion, WalkingDiagonallyIntoAWallSlidesAlongIt) {
    TestGame game(walledRoom(6, 6));
    char id = game.join(1, "alice");
    // Mostly towards -x, a little towards -z: the -x wall first, then the corner.
    game.face(1, id, pi / 3);
    game.press(1, id, walkForward);
    for (int tick = 0; tick < 200; ++tick) {
        game.run(1, {{1, id}});
        ASSERT_FALSE(touchesSolidCell(game.arena, game.player(id).body.getBox())) << tick;
    }
    Box box = game.player(id).body.getBox();
    EXPECT_NEAR(box.min.x, 64, 0.1f);
    EXPECT_NEAR(box.min.z, 64, 0.1f);
    EXPECT_NEAR(box.min.y, 64, 0.1f);
}

// Facing -z, the client's mirrored picture shows +x on the left: A goes there.
TEST(Motion, StrafingMovesTowardsTheSidesOfThePicture) {
    TestGame game(centrePedestal());
    char id = game.join(1, "alice");
    game.face(1, id, 0);
    vec3 start = game.player(id).body.getPosition();
    game.press(1, id, strafeLeft);
    game.run(5, {{1, id}});
    vec3 left = game.player(id).body.getPosition();
    EXPECT_NEAR(left.x - start.x, 30, 0.5f);
    EXPECT_NEAR(left.z - start.z, 0, 0.5f);
    game.press(1, id, strafeLeft, false);
    game.press(1, id, strafeRight);
    game.run(10, {{1, id}});
    EXPECT_NEAR(game.player(id).body.getPosition().x - left.x, -60, 0.5f);
}

TEST(Motion, AStepIsClimbedByJumpingOnly) {
    TestGame game(stepCorridor());
    char id = game.join(1, "alice");
    EXPECT_NEAR(game.player(id).body.getPosition().z, 32, 1e-3f);
    EXPECT_GT(game.player(id).body.getDirection().z, 0.999f);

    // Off the pedestal and down to the bottom of the world.
    game.press(1, id, walkForward);
    game.run(40, {{1, id}});
    EXPECT_NEAR(game.player(id).body.getBox().min.y, 0, 0.1f);

    // Back towards it: walking alone stops at its face.
    game.face(1, id, 0);
    game.run(60, {{1, id}});
    Box blocked = game.player(id).body.getBox();
    EXPECT_NEAR(blocked.min.z, 64, 0.1f);
    EXPECT_NEAR(blocked.min.y, 0, 0.1f);

    game.press(1, id, jump);
    game.run(40, {{1, id}});
    game.press(1, id, jump, false);
    game.run(40, {{1, id}});
    Box onTop = game.player(id).body.getBox();
    EXPECT_NEAR(onTop.min.y, 64, 0.1f);
    EXPECT_LT(onTop.min.z, 64);
}

TEST(Motion, AJumpRisesAboutTwiceACellAndLandsAgain) {
    Arena arena(walledRoom(4, 4));
    Player body(arena.spawnPoints()[0], arena.spawnPoints()[0] + vec3(0, 0, -1), vec3(0, 1, 0));
    MotionState state;
    MoveIntent standStill;
    stepBody(body, state, standStill, arena);
    EXPECT_TRUE(state.onGround);
    float floor = body.getBox().min.y;

    MoveIntent jumpUp;
    jumpUp.jump = true;
    float highest = floor;
    for (int tick = 0; tick < 60; ++tick) {
        stepBody(body, state, tick == 0 ? jumpUp : standStill, arena);
        highest = std::max(highest, body.getBox().min.y);
    }
    EXPECT_GT(highest - floor, 100);
    EXPECT_LT(highest - floor, 2 * 64);
    EXPECT_TRUE(state.onGround);
    EXPECT_NEAR(body.getBox().min.y, floor, 0.01f);
}

TEST(Motion, TheWorldsEdgeHoldsLikeAWall) {
    TestGame game(mapText(3, 4, 3, [](int, int y, int) { return y == 0; }));
    char id = game.join(1, "alice");
    game.face(1, id, pi / 2);
    game.press(1, id, walkForward);
    game.press(1, id, jump);
    for (int tick = 0; tick < 120; ++tick) {
        game.run(1, {{1, id}});
        ASSERT_TRUE(game.arena.fits(game.player(id).body.getBox())) << tick;
    }
    EXPECT_NEAR(game.player(id).body.getBox().min.x, 0, 0.1f);
}

TEST(Motion, ViewTurnsKeepTheRotationOnTheDirection) {
    TestGame game(centrePedestal());
    char id = game.join(1, "alice");
    const int turns[][2] = {{-90, 0}, {300, 120}, {0, -400}, {10000, 10000}, {-7, 3}};
    for (const auto& turn : turns) {
        game.send(1, mouseBytes(id, turn[0], turn[1]));
        const Player& body = game.player(id).body;
        EXPECT_TRUE(near(body.getRotation() * vec3(0, 0, -1), body.getDirection(), 1e-4f));
        // A and D follow the new view: the strafe axis turns with it.
        vec3 expectedAxis = normalized(vec3(0, 1, 0).cross(body.getDirection()));
        EXPECT_TRUE(near(body.getStrafe(), expectedAxis, 1e-5f));
    }
}

} // namespace
