#include "Bounds.h"
#include "Collisions.h"
#include "test_support.h"

#include <cmath>
#include <limits>

namespace {

Box cell() {
    return Box(vec3(32, 32, 32), 64);
}

TEST(Box, CornersFollowCentreAndSizeAndSurfacesCountAsInside) {
    Box b(vec3(0, 0, 0), 1);
    EXPECT_TRUE(near(b.min, vec3(-0.5f, -0.5f, -0.5f), 0));
    b.move(vec3(1, 0, 0), 2);
    EXPECT_TRUE(near(b.center, vec3(2, 0, 0), 0));
    EXPECT_EQ(b.min.x, 1.5f);
    b.moveTo(vec3(10, 10, 10));
    EXPECT_TRUE(near(b.max, vec3(10.5f, 10.5f, 10.5f), 0));
    Box body(vec3(100, 75, 100), vec3(50, 150, 50));
    EXPECT_TRUE(near(body.near(), vec3(100, 75, 75), 0));
    EXPECT_TRUE(intersects(cell(), vec3(64, 10, 10)));
    EXPECT_TRUE(intersects(cell(), vec3(0, 0, 0)));
    EXPECT_FALSE(intersects(cell(), vec3(64.01f, 10, 10)));
    EXPECT_FALSE(intersects(cell(), vec3(std::nanf(""), 10, 10)));
    EXPECT_TRUE(intersects(cell(), Box(vec3(96, 32, 32), 64)));
    EXPECT_FALSE(intersects(cell(), Box(vec3(96.5f, 32, 32), 64)));
    EXPECT_FLOAT_EQ(distanceVec3(vec3(1, 2, 3), vec3(3, 5, 9)), 7);
}

TEST(LineAABB, SlabTestAndFaceClippingFindTheEntryPoint) {
    const vec3 lo(0, 0, 0), hi(64, 64, 64);
    vec3 hit(-7, -7, -7);
    EXPECT_TRUE(Line_AABB(vec3(-10, 32, 32), vec3(100, 32, 32), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(0, 32, 32), 1e-4f));
    // A miss leaves the hit point alone.
    EXPECT_FALSE(Line_AABB(vec3(-10, 70, 32), vec3(100, 70, 32), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(0, 32, 32), 1e-4f));
    // The segment ends before the box: exit is capped at the end point.
    EXPECT_FALSE(Line_AABB(vec3(-10, 32, 32), vec3(-1, 32, 32), lo, hi, hit));
    // A start inside the box is its own hit point.
    EXPECT_TRUE(Line_AABB(vec3(5, 5, 5), vec3(100, 5, 5), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(5, 5, 5), 0));
    // Diagonal entry through the top face.
    EXPECT_TRUE(Line_AABB(vec3(32, 100, 0), vec3(32, 0, 100), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(32, 64, 36), 1e-4f));
    // Non-numbers and infinities neither crash nor hit.
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::nanf("");
    Line_AABB(vec3(nan, nan, nan), vec3(1, 1, 1), lo, hi, hit);
    Line_AABB(vec3(-inf, 1, 1), vec3(inf, 1, 1), lo, hi, hit);
    EXPECT_FALSE(Line_AABB(vec3(1e30f, 1, 1), vec3(2e30f, 1, 1), lo, hi, hit));
    // One axis at a time: the interval narrows, a miss leaves it alone.
    float enter = 0, exit = 1;
    EXPECT_TRUE(Line_AABB_1d(0, 10, 2, 4, enter, exit));
    EXPECT_FLOAT_EQ(enter, 0.2f);
    EXPECT_FLOAT_EQ(exit, 0.4f);
    EXPECT_FALSE(Line_AABB_1d(0, 10, 5, 6, enter, exit));
    EXPECT_FLOAT_EQ(enter, 0.2f);
    EXPECT_TRUE(Line_AABB_1d(3, 0, 2, 4, enter, exit));
    EXPECT_FALSE(Line_AABB_1d(5, 1e-9f, 2, 4, enter, exit));
    // Clipping the segment at each face plane finds the entry point and its face's normal.
    vec3 point, normal(9, 9, 9);
    EXPECT_TRUE(intersectsLineAABB(vec3(32, 100, 32), vec3(32, -9900, 32), cell(), point, normal));
    EXPECT_TRUE(near(point, vec3(32, 64, 32), 1e-3f));
    EXPECT_TRUE(near(normal, vec3(0, 1, 0), 0));
    EXPECT_TRUE(intersectsLineAABB(vec3(-10, 10, 20), vec3(90, 10, 20), cell(), point, normal));
    EXPECT_TRUE(near(point, vec3(0, 10, 20), 1e-4f));
    EXPECT_TRUE(near(normal, vec3(-1, 0, 0), 0));
    // Starting inside: the start is the answer and the normal keeps the caller's value.
    normal = vec3(9, 9, 9);
    EXPECT_TRUE(intersectsLineAABB(vec3(5, 5, 5), vec3(500, 5, 5), cell(), point, normal));
    EXPECT_TRUE(near(point, vec3(5, 5, 5), 0));
    EXPECT_TRUE(near(normal, vec3(9, 9, 9), 0));
    // A miss still writes the clipped start.
    EXPECT_FALSE(intersectsLineAABB(vec3(-10, 100, 20), vec3(90, 100, 20), cell(), point, normal));
    EXPECT_TRUE(near(point, vec3(0, 100, 20), 1e-4f));
}

TEST(NormalOfCollision, OnlyExposedFacesAreChosen) {
    Box b = cell();
    EXPECT_TRUE(near(normalOfAABBCollision(b, vec3(32, 63, 32)), vec3(-1, 0, 0), 0));
    b.exposedFaces[3] = true;
    EXPECT_TRUE(near(normalOfAABBCollision(b, vec3(32, 63, 32)), vec3(0, 1, 0), 0));
    b.exposedFaces[0] = true;
    // Equally near to the -x and the top face: ties keep the earlier face.
    EXPECT_TRUE(near(normalOfAABBCollision(b, vec3(1, 63, 32)), vec3(-1, 0, 0), 0));
    EXPECT_TRUE(near(normalOfAABBCollision(b, vec3(2, 63, 32)), vec3(0, 1, 0), 0));
    Box player(vec3(32, 137, 32), vec3(50, 150, 50));
    EXPECT_TRUE(near(normalOfAABBCollision(player, b), vec3(0, 1, 0), 0));
    Box sideways(vec3(-20, 32, 32), vec3(50, 20, 50));
    EXPECT_TRUE(near(normalOfAABBCollision(sideways, b), vec3(-1, 0, 0), 0));
}

TEST(Bounds, EdgesAreInside) {
    Bounds b(vec2(0, 0), 4, 2);
    EXPECT_TRUE(b.contains(vec2(4, 2)));
    EXPECT_TRUE(b.contains(vec2(0, 0)));
    EXPECT_FALSE(b.contains(vec2(4.01f, 2)));
    EXPECT_FALSE(b.contains(vec2(1, 2.01f)));
    EXPECT_EQ(b.halfWidth, 2);
    Bounds fromEdges(1, 3, -1, 5);
    EXPECT_EQ(fromEdges.width, 2);
    EXPECT_EQ(fromEdges.halfHeight, 3);
}

} // namespace
