#include "server_test_support.h"

namespace {

const float pi = 3.14159265f;

// Open ground (the bottom of the world) with one solid cell in the middle: the one place to
// spawn is on top of it, eye at (224, 139.5, 224).
std::string centrePedestal() {
    return mapText(7, 5, 7, [](int x, int y, int z) { return x == 3 && y == 0 && z == 3; });
}

TEST(Motion, WallsAndTheWorldsEdgeHoldAWalkerThatSlidesAlongThem) {
    // Mostly towards -x, a little towards -z: the -x wall first, then the corner.
    TestGame room(walledRoom(6, 6));
    char id = room.join(1, "alice");
    room.face(1, id, pi / 3);
    room.press(1, id, walkForward);
    for (int tick = 0; tick < 200; ++tick) {
        room.run(1, {{1, id}});
        ASSERT_TRUE(room.arena.fits(room.player(id).body.getBox())) << tick;
    }
    EXPECT_TRUE(near(room.player(id).body.getBox().min, vec3(64, 64, 64), 0.1f));

    TestGame open(mapText(3, 4, 3, [](int, int y, int) { return y == 0; }));
    id = open.join(1, "alice");
    open.face(1, id, pi / 2);
    open.press(1, id, walkForward);
    open.press(1, id, jump);
    for (int tick = 0; tick < 120; ++tick) {
        open.run(1, {{1, id}});
        ASSERT_TRUE(open.arena.fits(open.player(id).body.getBox())) << tick;
    }
    EXPECT_NEAR(open.player(id).body.getBox().min.x, 0, 0.1f);
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

// A corridor one cell wide along z whose floor is the bottom of the world, with one solid cell
// at its start: the one place to spawn is on top of it, facing +z.
TEST(Motion, AStepIsClimbedByJumpingOnly) {
    TestGame game(mapText(1, 5, 6, [](int, int y, int z) { return y == 0 && z == 0; }));
    char id = game.join(1, "alice");
    game.press(1, id, walkForward);
    game.run(40, {{1, id}});
    EXPECT_NEAR(game.player(id).body.getBox().min.y, 0, 0.1f);

    // Back towards it: walking alone stops at its face.
    game.face(1, id, 0);
    game.run(60, {{1, id}});
    Box blocked = game.player(id).body.getBox();
    EXPECT_NEAR(blocked.min.z, 64, 0.1f);
    EXPECT_NEAR(blocked.min.y, 0, 0.1f);

    // One jump, the key held a while, rises above one cell but not two, and lands on the step.
    float highest = 0;
    for (int tick = 0; tick < 80; ++tick) {
        game.press(1, id, jump, tick < 10);
        game.run(1, {{1, id}});
        highest = std::max(highest, game.player(id).body.getBox().min.y);
    }
    EXPECT_GT(highest, 100);
    EXPECT_LT(highest, 2 * 64);
    Box onTop = game.player(id).body.getBox();
    EXPECT_NEAR(onTop.min.y, 64, 0.1f);
    EXPECT_LT(onTop.min.z, 64);
}

} // namespace
