#include "MapFile.h"
#include "Shot.h"
#include "server_test_support.h"

#include <cstdio>
#include <fstream>

namespace {

TEST(Arena, SpawnPointsStandOnSolidCellsWithRoomAbove) {
    // Floor everywhere but (1, 0, 1); a one-cell block at (2, 1, 0); a low roof over x = 0.
    Arena arena(loadedMap(mapText(3, 5, 2, [](int x, int y, int z) {
        bool hole = x == 1 && z == 1;
        return (y == 0 && !hole) || (x == 2 && y == 1 && z == 0) || (x == 0 && y == 3);
    })));
    std::vector<vec3> expected = {vec3(96, 139.5f, 32), vec3(160, 139.5f, 96),
                                  vec3(160, 203.5f, 32)};
    ASSERT_EQ(arena.spawnPoints().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(near(arena.spawnPoints()[i], expected[i], 1e-4f)) << i;
        EXPECT_TRUE(arena.fits(Box(expected[i], bodySize)));
    }
    // No place to stand: no spawn points, and no game.
    EXPECT_TRUE(Arena(loadedMap("0 0 0")).spawnPoints().empty());
    EXPECT_TRUE(Arena(loadedMap(mapText(2, 2, 2, [](int, int, int) { return true; })))
                    .spawnPoints()
                    .empty());
    EXPECT_THROW(TestGame game(mapText(2, 3, 2, [](int, int, int) { return false; })),
                 std::invalid_argument);
}

TEST(Arena, SightIsBlockedBySolidCellsOnly) {
    Arena corridor(
        loadedMap(mapText(1, 4, 10, [](int, int y, int z) { return y == 1 && z == 5; })));
    EXPECT_TRUE(corridor.canSee(vec3(32, 200, 32), vec3(32, 200, 600)));
    EXPECT_FALSE(corridor.canSee(vec3(32, 100, 32), vec3(32, 100, 600)));
    EXPECT_TRUE(corridor.canSee(vec3(32, 100, 32), vec3(32, 100, 300)));
    EXPECT_TRUE(corridor.canSee(vec3(32, 100, 32), vec3(32, 100, 32)));
}

TEST(MapFile, LoadsWithTheClientsLoaderAndRefusesMissingBrokenAndOversizedMaps) {
    std::string ok = writeTempFile("server_map_ok", "1 2 1\n1 1\n0 0\n");
    EXPECT_EQ(readMapFile(ok).error, "");
    // Line feeds vanish before the numbers are read: the header says 1 x 2 x 11.
    EXPECT_EQ(readMapFile(ok).map.getDepthCount(), 11);
    std::string missing = ::testing::TempDir() + "no_such_map";
    EXPECT_EQ(readMapFile(missing).error, "cannot read map " + missing);
    EXPECT_EQ(readMapFile(::testing::TempDir()).error.rfind("cannot read map", 0), 0u);
    std::string huge = writeTempFile("server_map_huge", "2000 2000 2000\n");
    EXPECT_EQ(readMapFile(huge).error, "map " + huge + " is too large: more than 1048576 cells");
    std::string negative = writeTempFile("server_map_negative", "4 -2147483648 4\n");
    EXPECT_EQ(readMapFile(negative).error, "map " + negative + " has a negative cell count");
    // A count the map reader cannot read is 0: an empty map, not an oversized one.
    std::string unreadable = writeTempFile("server_map_counts", "99999999999 2000 2000\n");
    EXPECT_EQ(readMapFile(unreadable).error, "");
    for (const std::string& path : {ok, huge, negative, unreadable}) {
        std::remove(path.c_str());
    }
}

// The shipped arena: from every spawn point, at eye level and at the top of a jump, a look in any
// direction meets a wall before the end of the world, and a newcomer faces the middle.
TEST(Arena, TheShippedMapHidesTheVoidFromEverySpawnPointAndNewcomersFaceInwards) {
    std::ifstream file(CUBEFRAY_ARENA_MAP);
    std::stringstream text;
    text << file.rdbuf();
    TestGame game(text.str());
    const std::vector<vec3>& spots = game.arena.spawnPoints();
    ASSERT_GT(spots.size(), 100u);
    const float jumpRise = 120;
    for (vec3 spot : spots) {
        for (float rise : {0.0f, jumpRise}) {
            for (int step = 0; step < 72; ++step) {
                float angle = float(step * pi / 36);
                vec3 from = spot + vec3(0, rise, 0);
                vec3 look(std::sin(angle), 0, std::cos(angle));
                ASSERT_TRUE(isHit(game.arena.map().pointOfIntersection(from, look)))
                    << spot.x << " " << spot.y << " " << spot.z << " rise " << rise << " step "
                    << step;
            }
        }
    }
    for (int visit = 0; visit < 30; ++visit) {
        char id = game.join(1, "newcomer");
        vec3 eye = game.player(id).body.getPosition();
        vec3 facing = game.player(id).body.getDirection();
        vec3 inwards = game.arena.centre() - eye;
        facing.y = inwards.y = 0;
        EXPECT_GT(normalized(facing).dot(normalized(inwards)), 0.999f) << eye.x << " " << eye.z;
        game.send(1, {MessageType::leave, id});
    }
}

} // namespace
