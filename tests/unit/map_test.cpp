#include "MapManager.h"
#include "test_helpers.h"

#include <cmath>
#include <limits>
#include <sstream>

namespace {

// Cells listed with x slowest and z fastest, each number followed by a blank.
std::string mapText(int columns, int rows, int depths, const std::vector<int>& types,
                    int tile = 1) {
    std::ostringstream text;
    text << columns << " " << rows << " " << depths << " ";
    for (int type : types) {
        text << type << " " << tile << " ";
    }
    return text.str();
}

MapManager loaded(const std::string& text) {
    MapManager map;
    map.load(text);
    return map;
}

// A map whose only solid cell is (0, 0, 0), with room around it.
MapManager singleCubeMap() {
    std::vector<int> types(4 * 4 * 4, 0);
    types[0] = 1;
    return loaded(mapText(4, 4, 4, types));
}

TEST(MapFile, ReadsCountsAndCellsWithZFastest) {
    MapManager map = loaded("2 1 3 1 0 0 0 0 0 0 0 0 0 1 0 ");
    EXPECT_EQ(map.getWidth(), 128);
    EXPECT_EQ(map.getHeight(), 64);
    EXPECT_EQ(map.getDepth(), 192);
    EXPECT_EQ(map.getCubeSize(), 64);
    EXPECT_EQ(map.cubeType(0, 0, 0), 1);
    EXPECT_EQ(map.cubeType(1, 0, 2), 1);
    EXPECT_EQ(map.cubeType(0, 0, 1) + map.cubeType(0, 0, 2) + map.cubeType(1, 0, 0) +
                  map.cubeType(1, 0, 1),
              0);
    Box cell = map.getCube(1, 0, 2);
    EXPECT_TRUE(near(cell.min, vec3(64, 0, 128), 0));
    EXPECT_TRUE(near(cell.max, vec3(128, 64, 192), 0));
}

TEST(MapFile, LineEndsJoinDigitsUnlessABlankSeparatesThem) {
    // The lines "2 1 3", "1 0", "0 0", "0 0", "0 0", "0 0", "1 0" without trailing blanks, as
    // the file reader joins them: the last digit of each line runs into the next.
    MapManager joined = loaded("2 1 31 00 00 00 00 01 0");
    EXPECT_EQ(joined.getDepthCount(), 31);
    EXPECT_EQ(joined.cubeType(0, 0, 0), 0);
    EXPECT_EQ(joined.cubeType(0, 0, 2), 1);
    EXPECT_EQ(joined.cubeType(1, 0, 2), 0);
    // Carriage returns left by CR LF files count as white space.
    MapManager crlf = loaded("2 1 3\r1 0\r0 0\r0 0\r0 0\r0 0\r1 0\r");
    EXPECT_EQ(crlf.getDepthCount(), 3);
    EXPECT_EQ(crlf.cubeType(1, 0, 2), 1);
    EXPECT_EQ(crlf.cubeType(0, 0, 0), 1);
}

TEST(MapFile, MissingOrMalformedNumbersCountAsZero) {
    MapManager empty = loaded("");
    EXPECT_EQ(empty.getWidth(), 0);
    EXPECT_EQ(empty.getColumnCount(), 0);
    MapManager shortText = loaded("2 1 1 1 3");
    EXPECT_EQ(shortText.cubeType(0, 0, 0), 1);
    EXPECT_EQ(shortText.getCube(0, 0, 0).tile, 3);
    EXPECT_EQ(shortText.cubeType(1, 0, 0), 0);
    MapManager garbage = loaded("2 x 1");
    EXPECT_EQ(garbage.getColumnCount(), 2);
    EXPECT_EQ(garbage.getRowCount(), 0);
    MapManager negative = loaded("-2 3 3");
    EXPECT_EQ(negative.getWidth(), -128);
    EXPECT_TRUE(negative.buildModel().vertices.empty());
}

TEST(MapFileDeathTest, MoreCellsThanTheClientHoldsIsABrokenResource) {
    EXPECT_EXIT(
        {
            sendStdoutToStderr();
            loaded("2000000000 2000000000 2000000000");
        },
        ::testing::ExitedWithCode(0), "^Map too large: 2000000000 x 2000000000 x 2000000000 cells");
    EXPECT_EXIT(
        {
            sendStdoutToStderr();
            loaded("1025 1024 1");
        },
        ::testing::ExitedWithCode(0), "Map too large");
}

TEST(MapQueries, IndicesAreClampedOnBothSides) {
    MapManager map = singleCubeMap();
    EXPECT_EQ(map.getColumn(-0.5f), 0);
    EXPECT_EQ(map.getColumn(-64), 0);
    EXPECT_EQ(map.getColumn(63.9f), 0);
    EXPECT_EQ(map.getColumn(64), 1);
    EXPECT_EQ(map.getColumn(map.getWidth()), 3);
    EXPECT_EQ(map.getRow(1e30f), 3);
    EXPECT_EQ(map.getDepth(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(map.getDepth(std::nanf("")), 0);
    EXPECT_TRUE(near(map.cubeIndices(vec3(100, 300, -5)), vec3(1, 3, 0), 0));
}

TEST(MapQueries, EmptyMapClampsToMinusOneAndReportsBadAccess) {
    MapManager map = loaded("");
    // The lower bound is tested first: at or above 0 the empty range gives its upper end, -1.
    EXPECT_EQ(map.getColumn(0), -1);
    EXPECT_EQ(map.getColumn(-1000), 0);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(map.collides(vec3(5, 5, 5)));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Bad cube type access: -1, -1, -1\n");
    EXPECT_TRUE(near(map.boxToCheckForLineIntersection(vec3(0, 0, 0), vec3(0, -1, 0)),
                     vec3(-1, -1, -1), 0));
}

TEST(MapQueries, CellAccessOutsideTheGridIsReported) {
    MapManager map = singleCubeMap();
    EXPECT_FALSE(map.cubeIsNull(-1, 0, 0));
    EXPECT_FALSE(map.cubeIsNull(0, 0, 0));
    EXPECT_TRUE(map.cubeIsNull(1, 0, 0));
    testing::internal::CaptureStdout();
    EXPECT_EQ(map.cubeType(4, 0, 0), 0);
    Box fallback = map.getCube(0, -1, 7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Bad cube type access: 4, 0, 0\nBad cube access: 0, -1, 7\n");
    EXPECT_TRUE(near(fallback.max, vec3(0.5f, 0.5f, 0.5f), 0));
}

TEST(MapQueries, BoundaryPointsAreInside) {
    MapManager map = singleCubeMap();
    EXPECT_FALSE(map.outOfBounds(vec3(map.getWidth(), 0, 0)));
    EXPECT_TRUE(map.outOfBounds(vec3(map.getWidth() + 0.01f, 0, 0)));
    EXPECT_TRUE(map.outOfBounds(vec3(0, -0.01f, 0)));
    EXPECT_TRUE(map.collides(vec3(32, 63.99f, 32)));
    EXPECT_TRUE(map.collides(vec3(0, 0, 0)));
    // A point on a face between two cells belongs to the upper cell, which is empty here.
    EXPECT_FALSE(map.collides(vec3(32, 64, 32)));
    EXPECT_FALSE(map.collides(vec3(100, 100, 100)));
    // Where the grid ends the clamped index names the same cell, so its top face is inside.
    MapManager flat = loaded(mapText(1, 1, 1, {1}));
    EXPECT_TRUE(flat.collides(vec3(32, 64, 32)));
    EXPECT_FALSE(flat.collides(vec3(32, 64.01f, 32)));
    // A point outside the world tests against the clamped edge cell.
    EXPECT_FALSE(map.collides(vec3(-10, 32, 32)));
    EXPECT_TRUE(flat.collides(vec3(-0.0f, 10, 10)));
    // A body reaching one unit into the cell collides; one standing on it does not.
    EXPECT_TRUE(map.collides(Box(vec3(32, 64 + 74, 32), vec3(50, 150, 50))));
    EXPECT_FALSE(map.collides(Box(vec3(32, 64 + 75, 32), vec3(50, 150, 50))));
    EXPECT_TRUE(map.collides(Box(vec3(99.9f, 32, 32), vec3(72, 10, 10))));
    EXPECT_FALSE(map.collides(Box(vec3(100.1f, 32, 32), vec3(72, 10, 10))));
}

TEST(LineOfSight, MarchFindsTheCellAndTheEntryPoint) {
    MapManager map = singleCubeMap();
    EXPECT_TRUE(near(map.boxToCheckForLineIntersection(vec3(32, 100, 32), vec3(0, -1, 0)),
                     vec3(0, 0, 0), 0));
    EXPECT_TRUE(
        near(map.pointOfIntersection(vec3(32, 100, 32), vec3(0, -1, 0)), vec3(32, 64, 32), 1e-3f));
    vec3 dir = normalized(vec3(-1, -1, -0.5f));
    vec3 start = vec3(40, 60, 50) - dir * 150;
    // The ray passes over the +x face and enters through the top.
    EXPECT_TRUE(near(map.pointOfIntersection(start, dir), vec3(44, 64, 52), 1e-3f));
    // Starting inside the cell: the start itself.
    EXPECT_TRUE(
        near(map.pointOfIntersection(vec3(10, 10, 10), vec3(1, 0, 0)), vec3(10, 10, 10), 0));
}

TEST(LineOfSight, MissesAndHostileRaysAnswerNoHit) {
    MapManager map = singleCubeMap();
    const vec3 noHit(-1, -1, -1);
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(200, 200, 200), vec3(0, 1, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(32, 100, 32), vec3(0, 0, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(nan, 100, 32), vec3(0, -1, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(32, 100, 32), vec3(0, -inf, 0)), noHit, 0));
    EXPECT_TRUE(near(map.pointOfIntersection(vec3(32, 100, 32), vec3(nan, nan, nan)), noHit, 0));
    vec3 far = map.pointOfIntersection(vec3(1e30f, 1e30f, 1e30f), vec3(-1, 0, 0));
    EXPECT_TRUE(near(far, noHit, 0));
    map.pointOfIntersection(vec3(32, 100, 32), vec3(0, -1e30f, 0));
}

TEST(MapMesh, OnlyFacesTowardsEmptyNeighboursAreEmitted) {
    MapManager lonely = loaded(mapText(1, 1, 1, {1}));
    Model none = lonely.buildModel();
    EXPECT_TRUE(none.vertices.empty());
    for (bool exposed : lonely.getCube(0, 0, 0).exposedFaces) {
        EXPECT_FALSE(exposed);
    }

    MapManager row = loaded(mapText(3, 1, 1, {0, 1, 0}));
    Model sides = row.buildModel();
    EXPECT_EQ(sides.vertices.size(), 24u);
    EXPECT_EQ(sides.elements, (std::vector<unsigned>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    Box cell = row.getCube(1, 0, 0);
    EXPECT_TRUE(cell.exposedFaces[0]);
    EXPECT_TRUE(cell.exposedFaces[1]);
    EXPECT_FALSE(cell.exposedFaces[3]);
    // The -x face: corners c4, c0, c2, c6 with normal (-1, 0, 0).
    EXPECT_EQ(std::vector<float>(sides.vertices.begin(), sides.vertices.begin() + 12),
              (std::vector<float>{64, 0, 64, 64, 0, 0, 64, 64, 0, 64, 64, 64}));
    EXPECT_EQ(sides.normals[0], -1);
    EXPECT_EQ(sides.normals[12], 1);

    MapManager pair = loaded(mapText(4, 1, 1, {0, 1, 1, 0}));
    EXPECT_EQ(pair.buildModel().elements.size(), 12u);
}

TEST(MapMesh, TopAndBottomUseFixedTilesAndSidesTheCellTile) {
    // A column of air, solid, air: the solid cell shows its top and bottom only.
    MapManager column = loaded("1 3 1 0 0 1 3 0 0 ");
    Model tops = column.buildModel();
    ASSERT_EQ(tops.uvs.size(), 16u);
    // Bottom face first (face 2): tile 2 is the upper-left quarter of the atlas.
    EXPECT_NEAR(tops.uvs[0], 0.001f, 1e-6);
    EXPECT_NEAR(tops.uvs[1], 0.501f, 1e-6);
    // Top face (face 3): tile 0, the lower-left quarter.
    EXPECT_NEAR(tops.uvs[8], 0.001f, 1e-6);
    EXPECT_NEAR(tops.uvs[9], 0.001f, 1e-6);

    MapManager sides = loaded(mapText(3, 1, 1, {0, 1, 0}, 3));
    Model model = sides.buildModel();
    EXPECT_NEAR(model.uvs[0], 0.501f, 1e-6);
    EXPECT_NEAR(model.uvs[1], 0.501f, 1e-6);
    // A tile beyond the atlas is clamped to its last tile.
    MapManager wild = loaded(mapText(3, 1, 1, {0, 1, 0}, 99));
    EXPECT_EQ(wild.buildModel().uvs, model.uvs);
    MapManager negative = loaded(mapText(3, 1, 1, {0, 1, 0}, -5));
    EXPECT_NEAR(negative.buildModel().uvs[0], 0.001f, 1e-6);
}

TEST(MapMesh, ElementCountMatchesTheExposedFaces) {
    std::vector<int> types(5 * 3 * 5, 0);
    for (int x = 0; x < 5; ++x) {
        for (int z = 0; z < 5; ++z) {
            types[(x * 3 + 0) * 5 + z] = 1;
        }
    }
    types[(2 * 3 + 1) * 5 + 2] = 1;
    MapManager map = loaded(mapText(5, 3, 5, types));
    Model model = map.buildModel();
    // The floor's 25 tops, less the one covered by the block, plus the block's four sides and top.
    int faces = 24 + 5;
    EXPECT_EQ(model.elements.size(), size_t(6 * faces));
    EXPECT_EQ(model.vertices.size(), size_t(12 * faces));
    EXPECT_EQ(model.elements.back(), unsigned(4 * faces - 1));
}

} // namespace
