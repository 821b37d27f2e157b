#include "Collisions.h"
#include "test_support.h"

#include <cmath>
#include <limits>

namespace {

Box cell() {
    return Box(vec3(32, 32, 32), 64);
}

// Moving boxes shows in the player's tests.
TEST(Box, SurfacesCountAsInside) {
    EXPECT_TRUE(intersects(cell(), vec3(64, 10, 10)));
    EXPECT_TRUE(intersects(cell(), vec3(0, 0, 0)));
    EXPECT_FALSE(intersects(cell(), vec3(64.01f, 10, 10)));
    EXPECT_FALSE(intersects(cell(), vec3(std::nanf(""), 10, 10)));
    EXPECT_TRUE(intersects(cell(), Box(vec3(96, 32, 32), 64)));
    EXPECT_FALSE(intersects(cell(), Box(vec3(96.5f, 32, 32), 64)));
}

TEST(LineAABB, SlabTestAndFaceClippingFindTheEntryPoint) {
    const vec3 lo(0, 0, 0), hi(64, 64, 64);
    vec3 hit(-7, -7, -7);
    EXPECT_TRUE(Line_AABB(vec3(-10, 32, 32), vec3(100, 32, 32), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(0, 32, 32), 1e-4f));
    // A miss leaves the hit point alone, and the segment's end caps it.
    EXPECT_FALSE(Line_AABB(vec3(-10, 70, 32), vec3(100, 70, 32), lo, hi, hit));
    EXPECT_FALSE(Line_AABB(vec3(-10, 32, 32), vec3(-1, 32, 32), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(0, 32, 32), 1e-4f));
    // A start inside the box is its own hit point.
    EXPECT_TRUE(Line_AABB(vec3(5, 5, 5), vec3(100, 5, 5), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(5, 5, 5), 0));
    EXPECT_TRUE(Line_AABB(vec3(32, 100, 0), vec3(32, 0, 100), lo, hi, hit));
    EXPECT_TRUE(near(hit, vec3(32, 64, 36), 1e-4f));
    // Non-numbers and infinities neither crash nor hit.
    const float inf = std::numeric_limits<float>::infinity();
    Line_AABB(vec3(std::nanf(""), 0, 0), vec3(1, 1, 1), lo, hi, hit);
    Line_AABB(vec3(-inf, 1, 1), vec3(inf, 1, 1), lo, hi, hit);
    EXPECT_FALSE(Line_AABB(vec3(1e30f, 1, 1), vec3(2e30f, 1, 1), lo, hi, hit));
    // Clipping the segment at each face plane finds the entry point and its face's normal.
    vec3 point, normal(9, 9, 9);
    EXPECT_TRUE(intersectsLineAABB(vec3(-10, 10, 20), vec3(90, 10, 20), cell(), point, normal));
    EXPECT_TRUE(near(point, vec3(0, 10, 20), 1e-4f));
    EXPECT_TRUE(near(normal, vec3(-1, 0, 0), 0));
    // Starting inside, the start is the answer; a miss still gives the clipped start.
    EXPECT_TRUE(intersectsLineAABB(vec3(5, 5, 5), vec3(500, 5, 5), cell(), point, normal));
    EXPECT_TRUE(near(point, vec3(5, 5, 5), 0));
    EXPECT_FALSE(intersectsLineAABB(vec3(-10, 100, 20), vec3(90, 100, 20), cell(), point, normal));
    EXPECT_TRUE(near(point, vec3(0, 100, 20), 1e-4f));
}

} // namespace
