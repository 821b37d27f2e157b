#include "MapFile.h"
#include "server_test_support.h"

#include <cstdio>
#include <fstream>

namespace {

std::string writeFile(const std::string& name, const std::string& contents) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << contents;
    return path;
}

TEST(Arena, SpawnPointsStandOnSolidCellsWithRoomAbove) {
    // Floor everywhere but (1, 0, 1); a one-cell block at (2, 1, 0); a low roof over x = 0.
    Arena arena(mapText(3, 5, 2, [](int x, int y, int z) {
        bool hole = x == 1 && z == 1;
        return (y == 0 && !hole) || (x == 2 && y == 1 && z == 0) || (x == 0 && y == 3);
    }));
    std::vector<vec3> expected = {vec3(96, 139.5f, 32), vec3(160, 139.5f, 96),
                                  vec3(160, 203.5f, 32)};
    ASSERT_EQ(arena.spawnPoints().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(near(arena.spawnPoints()[i], expected[i], 1e-4f)) << i;
        EXPECT_TRUE(arena.fits(Box(expected[i], bodySize)));
    }
}

TEST(Arena, NoPlaceToStandMeansNoSpawnPoints) {
    EXPECT_TRUE(Arena("").spawnPoints().empty());
    EXPECT_TRUE(Arena("0 0 0").spawnPoints().empty());
    EXPECT_TRUE(Arena(mapText(2, 2, 2, [](int, int, int) { return true; })).spawnPoints().empty());
    EXPECT_THROW(TestGame game(mapText(2, 3, 2, [](int, int, int) { return false; })),
                 std::invalid_argument);
}

TEST(Arena, BodiesFitOnlyInsideTheWorldAndClearOfCells) {
    Arena arena(walledRoom(4, 4));
    EXPECT_TRUE(arena.fits(Box(vec3(128, 140, 128), bodySize)));
    EXPECT_FALSE(arena.fits(Box(vec3(128, 138.9f, 128), bodySize)));
    EXPECT_FALSE(arena.fits(Box(vec3(88.9f, 140, 128), bodySize)));
    EXPECT_FALSE(arena.fits(Box(vec3(128, 309.1f, 128), bodySize)));
}

TEST(Arena, SightIsBlockedBySolidCellsOnly) {
    Arena arena(mapText(1, 4, 10, [](int, int y, int z) { return y == 1 && z == 5; }));
    EXPECT_TRUE(arena.canSee(vec3(32, 200, 32), vec3(32, 200, 600)));
    EXPECT_FALSE(arena.canSee(vec3(32, 100, 32), vec3(32, 100, 600)));
    EXPECT_TRUE(arena.canSee(vec3(32, 100, 32), vec3(32, 100, 300)));
    EXPECT_TRUE(arena.canSee(vec3(32, 100, 32), vec3(32, 100, 32)));
}

TEST(MapFile, ReadsAsTheClientDoes) {
    std::string path = writeFile("server_map_ok", "1 2 1\n1 1\n0 0\n");
    MapFile file = readMapFile(path);
    EXPECT_EQ(file.error, "");
    EXPECT_EQ(file.text, "1 2 11 10 0");
    std::remove(path.c_str());
}

TEST(MapFile, RefusesMissingAndOversizedMaps) {
    std::string missing = ::testing::TempDir() + "no_such_map";
    EXPECT_EQ(readMapFile(missing).error, "cannot read map " + missing);
    EXPECT_EQ(readMapFile(::testing::TempDir()).error.rfind("cannot read map", 0), 0u);
    std::string huge = writeFile("server_map_huge", "2000 2000 2000\n");
    EXPECT_EQ(readMapFile(huge).error, "map " + huge + " is too large: more than 1048576 cells");
    std::string unreadableCounts = writeFile("server_map_counts", "99999999999 2000 2000\n");
    EXPECT_EQ(readMapFile(unreadableCounts).error, "");
    std::remove(huge.c_str());
    std::remove(unreadableCounts.c_str());
}

} // namespace
