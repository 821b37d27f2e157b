#include "Game.h"
#include "MapManager.h"
#include "MathOps.h"
#include "test_support.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

// A 4 x 3 x 2 map whose only solid cell is (0, 0, 0), with room around it.
MapManager singleCubeMap() {
    return loadedMap(mapText(4, 3, 2, [](int x, int y, int z) { return x + y + z == 0; }));
}

TEST(MapFile, ReadsCountsAndCellsWithZFastestMissingOrMalformedNumbersAsZeroAndCapsTheCells) {
    MapManager map = loadedMap("2 1 3 1 0 0 0 0 0 0 0 0 0 1 0 ");
    EXPECT_EQ(map.getWidth(), 128);
    EXPECT_EQ(map.cubeType(0, 0, 0), 1);
    EXPECT_EQ(map.cubeType(1, 0, 2), 1);
    Box cell = map.getCube(1, 0, 2);
    EXPECT_TRUE(near(cell.min, vec3(64, 0, 128), 0));
    EXPECT_TRUE(near(cell.max, vec3(128, 64, 192), 0));
    // Carriage returns left by CR LF files count as white space.
    MapManager crlf = loadedMap("2 1 3\r1 0\r0 0\r0 0\r0 0\r0 0\r1 0\r");
    EXPECT_EQ(crlf.cubeType(1, 0, 2), 1);
    MapManager shortText = loadedMap("2 1 1 1 3");
    EXPECT_EQ(shortText.cubeType(0, 0, 0), 1);
    EXPECT_EQ(shortText.getCube(0, 0, 0).tile, 3);
    EXPECT_EQ(shortText.cubeType(1, 0, 0), 0);
    MapManager garbage = loadedMap("2 x 1");
    EXPECT_EQ(garbage.getRowCount(), 0);
    // Negative counts and their reports are the client's and the server's map file tests';
    // a zero count, emptying the map, the fuzz corpus's.
    EXPECT_EQ(garbage.load("1025 1024 1").problem, MapLoadResult::tooManyCells);
    EXPECT_EQ(garbage.load("1024 1024 1").problem, MapLoadResult::none);
}

// The client stops on a map it cannot play, after saying why.
TEST(MapFile, TheClientRefusesAMapItCannotHold) {
    Game game;
    EXPECT_EQ(game.loadMap("2000000000 2000000000 2000000000"),
              "Map too large: 2000000000 x 2000000000 x 2000000000 cells, the client holds at "
              "most 1048576\n");
    EXPECT_EQ(game.loadMap("3 -1 3"), "Broken map: negative cell count in 3 x -1 x 3\n");
    EXPECT_EQ(game.loadMap("1 1 1 1 1"), "");
}

TEST(MapQueries, IndicesClampAndAccessOutsideTheGridIsReported) {
    MapManager map = singleCubeMap();
    EXPECT_EQ(map.getRow(1e30f), 2);
    EXPECT_EQ(map.getDepth(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(map.getDepth(std::nanf("")), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(map.cubeType(4, 0, 0), 0);
    map.getCube(0, -1, 7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Bad cube type access: 4, 0, 0\nBad cube access: 0, -1, 7\n");
    // In an empty map every index clamps to -1 or 0: nothing may read a cell.
    MapManager empty = loadedMap("");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(empty.collides(vec3(5, 5, 5)));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Bad cube type access: -1, -1, -1\n");
    EXPECT_TRUE(
        near(empty.pointOfIntersection(vec3(0, 0, 0), vec3(0, -1, 0)), vec3(-1, -1, -1), 0));
}

TEST(MapQueries, BoundaryPointsAreInside) {
    MapManager map = singleCubeMap();
    EXPECT_FALSE(map.outOfBounds(vec3(map.getWidth(), 0, 0)));
    EXPECT_TRUE(map.outOfBounds(vec3(map.getWidth() + 0.01f, 0, 0)));
    EXPECT_TRUE(map.outOfBounds(vec3(0, -0.01f, 0)));
    EXPECT_TRUE(map.collides(vec3(32, 63.99f, 32)));
    // A point on a face between two cells belongs to the upper cell, which is empty here.
    EXPECT_FALSE(map.collides(vec3(32, 64, 32)));
    // A point outside the world tests against the clamped edge cell.
    EXPECT_FALSE(map.collides(vec3(-10, 32, 32)));
    // Where the grid ends the clamped index names the same cell, so its top face is inside.
    MapManager flat = loadedMap("1 1 1 1 1 ");
    EXPECT_TRUE(flat.collides(vec3(32, 64, 32)));
    EXPECT_FALSE(flat.collides(vec3(32, 64.01f, 32)));
    EXPECT_TRUE(flat.collides(vec3(-0.0f, 10, 10)));
    // A body reaching one unit into the cell collides; one standing on it does not.
    EXPECT_TRUE(map.collides(Box(vec3(32, 64 + 74, 32), vec3(50, 150, 50))));
    EXPECT_FALSE(map.collides(Box(vec3(32, 64 + 75, 32), vec3(50, 150, 50))));
    EXPECT_TRUE(map.collides(Box(vec3(99.9f, 32, 32), vec3(72, 10, 10))));
    EXPECT_FALSE(map.collides(Box(vec3(100.1f, 32, 32), vec3(72, 10, 10))));
}

TEST(LineOfSight, MarchFindsTheEntryPointAndHostileRaysMeetNothing) {
    MapManager map = singleCubeMap();
    EXPECT_TRUE(
        near(map.pointOfIntersection(vec3(32, 100, 32), vec3(0, -1, 0)), vec3(32, 64, 32), 1e-3f));
    // The ray passes over the +x face and enters through the top.
    vec3 dir = normalized(vec3(-1, -1, -0.5f));
    EXPECT_TRUE(
        near(map.pointOfIntersection(vec3(40, 60, 50) - dir * 150, dir), vec3(44, 64, 52), 1e-3f));
    // Starting inside the cell: the start itself.
    EXPECT_TRUE(
        near(map.pointOfIntersection(vec3(10, 10, 10), vec3(1, 0, 0)), vec3(10, 10, 10), 0));
    const vec3 noHit(-1, -1, -1);
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(200, 200, 200), vec3(0, 1, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(32, 100, 32), vec3(0, 0, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(nan, 100, 32), vec3(0, -1, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(32, 100, 32), vec3(0, -inf, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(1e30f, 1e30f, 1e30f), vec3(-1, 0, 0)), noHit, 0));
    map.pointOfIntersection(vec3(32, 100, 32), vec3(0, -1e30f, 0));
}

// The march as it was before it kept to the map's box: every step asks the grid.
vec3 marchEveryStep(const MapManager& map, vec3 p, vec3 dir) {
    vec3 firstInside;
    bool metCell = false;
    for (int step = 0; step < 5000 && !metCell; ++step) {
        metCell = map.collides(p);
        firstInside = p;
        p = metCell ? p - dir * 64.0f : p + dir;
    }
    for (int step = 0; step < 65; ++step) {
        if (map.collides(p)) {
            return map.cubeIndices(p);
        }
        p += dir;
    }
    return metCell ? map.cubeIndices(firstInside) : vec3(-1, -1, -1);
}

TEST(LineOfSight, ALineThatMeetsACellOnItsFaceIsNotLetThrough) {
    // The line touches the face z = 1984 of cell (8, 4, 31) exactly on a step; stepping back and
    // forth again ends a hair short of it.
    MapManager map = loadedMap(
        mapText(32, 10, 32, [](int x, int y, int z) { return x == 8 && y == 4 && z == 31; }));
    float angle = float(25 * pi / 180);
    vec3 point =
        map.pointOfIntersection(vec3(96, 259.5f, 1056), vec3(std::sin(angle), 0, std::cos(angle)));
    EXPECT_TRUE(near(point, vec3(96 + 928 * std::tan(angle), 259.5f, 1984), 1e-2f));
}

TEST(LineOfSight, KeepingToTheMapsBoxFindsTheSameCellsAsMarchingEveryStep) {
    std::mt19937 random(7);
    auto uniform = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    int hits = 0;
    for (int round = 0; round < 40; ++round) {
        int columns = 1 + int(random() % 12), rows = 1 + int(random() % 6);
        int depths = 1 + int(random() % 12);
        MapManager map = loadedMap(mapText(
            columns, rows, depths, [&](int, int y, int) { return y == 0 || random() % 9 == 0; }));
        vec3 size(map.getWidth(), map.getHeight(), map.getDepth());
        for (int line = 0; line < 500; ++line) {
            // Starts inside, around and far beyond the map; half the lines aimed into it; unit,
            // short, long and axis-bound directions.
            float spread = line % 5 == 0 ? 30.0f : 2.0f;
            vec3 start(uniform(-spread, spread) * size.x, uniform(-spread, spread) * size.y,
                       uniform(-spread, spread) * size.z);
            vec3 target(uniform(0, 1) * size.x, uniform(0, 1) * size.y, uniform(0, 1) * size.z);
            vec3 aim = line % 2 == 0 ? target - start
                                     : vec3(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1));
            vec3 dir = normalized(aim);
            dir = dir * (line % 7 == 0 ? uniform(0.01f, 40.0f) : 1.0f);
            if (line % 11 == 0) {
                dir.x = 0;
            }
            vec3 expected = marchEveryStep(map, start, dir);
            vec3 found = map.boxToCheckForLineIntersection(start, dir);
            ASSERT_TRUE(near(found, expected, 0)) << round << " " << line;
            hits += expected.x >= 0 ? 1 : 0;
        }
    }
    EXPECT_GT(hits, 6000);
}

TEST(MapMesh, OnlyFacesTowardsEmptyNeighboursAreEmitted) {
    EXPECT_TRUE(loadedMap("1 1 1 1 1 ").buildModel().vertices.empty());
    Model sides = loadedMap("3 1 1 0 0 1 1 0 0 ").buildModel();
    EXPECT_EQ(sides.elements, (std::vector<unsigned>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    // The -x face: corners c4, c0, c2, c6 with normal (-1, 0, 0).
    EXPECT_EQ(std::vector<float>(sides.vertices.begin(), sides.vertices.begin() + 12),
              (std::vector<float>{64, 0, 64, 64, 0, 0, 64, 64, 0, 64, 64, 64}));
    EXPECT_EQ(sides.normals[0], -1);
    EXPECT_EQ(sides.normals[12], 1);
    // A 5 x 3 x 5 floor with one block on it: the floor's 25 tops, less the one under the
    // block, and the block's four sides and top.
    MapManager floor = loadedMap(mapText(
        5, 3, 5, [](int x, int y, int z) { return y == 0 || (x == 2 && y == 1 && z == 2); }));
    Model model = floor.buildModel();
    const int faces = 24 + 5;
    EXPECT_EQ(model.elements.size(), size_t(6 * faces));
    EXPECT_EQ(model.elements.back(), unsigned(4 * faces - 1));
}

TEST(MapMesh, TopAndBottomUseFixedTilesAndSidesTheCellTile) {
    // A column of air, solid, air: the solid cell shows its bottom, then its top.
    Model tops = loadedMap("1 3 1 0 0 1 3 0 0 ").buildModel();
    ASSERT_EQ(tops.uvs.size(), 16u);
    // Tile 2, the bottom's, is the upper-left quarter of the atlas; tile 0 the lower-left.
    EXPECT_TRUE(near(vec2(tops.uvs[0], tops.uvs[1]), vec2(0.001f, 0.501f), 1e-6f));
    EXPECT_TRUE(near(vec2(tops.uvs[8], tops.uvs[9]), vec2(0.001f, 0.001f), 1e-6f));
    Model sides = loadedMap("3 1 1 0 0 1 3 0 0 ").buildModel();
    EXPECT_TRUE(near(vec2(sides.uvs[0], sides.uvs[1]), vec2(0.501f, 0.501f), 1e-6f));
    // A tile beyond the atlas is clamped to its last or first tile.
    EXPECT_EQ(loadedMap("3 1 1 0 0 1 99 0 0 ").buildModel().uvs, sides.uvs);
    EXPECT_NEAR(loadedMap("3 1 1 0 0 1 -5 0 0 ").buildModel().uvs[0], 0.001f, 1e-6);
}

} // namespace
