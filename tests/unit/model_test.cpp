#include "Model.h"
#include "test_support.h"

#include <limits>
#include <vector>

namespace {

using Floats = std::vector<float>;
using Indices = std::vector<unsigned int>;

vec3 at3(const Floats& v, unsigned int k) {
    return vec3(v[3 * k], v[3 * k + 1], v[3 * k + 2]);
}

// Points the way the corners of triangle t turn counter-clockwise.
vec3 rightHandNormal(const Model& m, std::size_t t) {
    vec3 a = at3(m.vertices, m.elements[3 * t]);
    return (at3(m.vertices, m.elements[3 * t + 1]) - a)
        .cross(at3(m.vertices, m.elements[3 * t + 2]) - a);
}

void expectConsistent(const Model& m, std::size_t vertexCount) {
    EXPECT_EQ(m.vertices.size(), 3 * vertexCount);
    EXPECT_EQ(m.normals.size(), 3 * vertexCount);
    EXPECT_EQ(m.uvs.size(), 2 * vertexCount);
    for (unsigned int e : m.elements) {
        ASSERT_LT(e, vertexCount);
    }
}

} // namespace

TEST(ModelShapesTest, CubeFacesAreSeparateAndClockwiseFromOutside) {
    Model m = makeCube();
    expectConsistent(m, 24);
    ASSERT_EQ(m.elements.size(), 36u);
    for (std::size_t t = 0; t < 12; ++t) {
        // The stored normal points out of the face's plane and against the corners' turn.
        vec3 stored = at3(m.normals, m.elements[3 * t]);
        vec3 turn = rightHandNormal(m, t);
        EXPECT_FLOAT_EQ(turn.dot(stored), -turn.length()) << "triangle " << t;
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(at3(m.vertices, m.elements[3 * t + k]).dot(stored), 0.5f) << "triangle " << t;
        }
    }
}

TEST(ModelShapesTest, SphereRunsFromTopPoleToBottomPoleClockwiseFromOutside) {
    Model m = makeSphere(20, 20);
    expectConsistent(m, 462);
    // One triangle a segment touches each pole, two fill every band between.
    EXPECT_EQ(m.elements.size(), 3u * 21 * (2 * 20 - 1));
    EXPECT_TRUE(near(at3(m.vertices, 0), vec3(0, 1, 0), 1e-6f));
    EXPECT_TRUE(near(at3(m.vertices, 461), vec3(0, -1, 0), 1e-6f));
    for (unsigned int k = 0; k < 462; ++k) {
        EXPECT_NEAR(at3(m.vertices, k).length(), 1, 1e-6f) << "vertex " << k;
        EXPECT_TRUE(near(at3(m.normals, k), at3(m.vertices, k), 0)) << "vertex " << k;
    }
    for (std::size_t t = 0; t < m.elements.size() / 3; ++t) {
        vec3 turn = rightHandNormal(m, t);
        if (turn.length() > 1e-5f) { // slivers at the seam and the poles have no direction
            EXPECT_LT(turn.dot(at3(m.vertices, m.elements[3 * t])), 0) << "triangle " << t;
        }
    }
}

// The tiles of an atlas show in the map's mesh and the text drawing.
TEST(ModelInitUVsTest, SizesThatGiveNoTileGiveNoCoordinates) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[][4] = {{64, 64, 128, 128}, {64, 64, 128, 32}, {0, 64, 8, 8},
                              {64, 64, 0, 0},     {-64, -64, 8, 8},  {64, 64, -8, -8},
                              {nan, 64, 8, 8},    {64, 64, 8, nan},  {inf, 64, 8, 8}};
    for (const auto& c : cases) {
        EXPECT_TRUE(initUVs(c[0], c[1], c[2], c[3]).empty())
            << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    }
}

namespace {

TEST(ModelWeldTest, RepeatedCornersMergeAndTheTrianglesStay) {
    // Two triangles sharing an edge, written as six separate corners; one corner differs from
    // its twin in the normal alone and so stays apart.
    Model loose;
    const float corners[6][8] = {{0, 0, 0, 0, 0, 0, 0, 1}, {1, 0, 0, 1, 0, 0, 0, 1},
                                 {1, 1, 0, 1, 1, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 1},
                                 {1, 1, 0, 1, 1, 0, 0, 1}, {0, 1, 0, 0, 1, 0, 1, 0}};
    for (const float* c : corners) {
        loose.vertices.insert(loose.vertices.end(), {c[0], c[1], c[2]});
        loose.uvs.insert(loose.uvs.end(), {c[3], c[4]});
        loose.normals.insert(loose.normals.end(), {c[5], c[6], c[7]});
    }
    loose.elements = {0, 1, 2, 3, 4, 5, 99};
    Model welded = weldVertices(loose);
    EXPECT_EQ(welded.vertices.size(), 4u * 3);
    EXPECT_EQ(welded.uvs.size(), 4u * 2);
    EXPECT_EQ(welded.elements, (std::vector<unsigned int>{0, 1, 2, 0, 2, 3, 0}));
    EXPECT_EQ(welded.normals[3 * 3 + 2], 0);
}

} // namespace
