#include "MapFile.h"
#include "server_test_support.h"

#include <cstdio>

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

} // namespace
