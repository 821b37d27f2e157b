#include "MathOps.h"
#include "test_support.h"

#include <cmath>
#include <limits>

namespace {

const float pi = 3.14159265f;

vec4 row(const mat4& m, int r) {
    return vec4(m.m[4 * r], m.m[4 * r + 1], m.m[4 * r + 2], m.m[4 * r + 3]);
}

// What the drawing, the player and the server do with these shows in their own tests: the
// rotation's matrix and the order of products among them.
TEST(Quaternion, ZeroStaysZeroAndTheAxisNeedNotBeOfUnitLength) {
    // A zero quaternion stays zero rather than turning into NaN.
    quat two(0, 0, 0, 2), zero(0, 0, 0, 0);
    two.normalize();
    zero.normalize();
    EXPECT_TRUE(near(two, quat(), 0));
    EXPECT_EQ(zero.w, 0);
    // Counter-clockwise about the axis.
    quat q;
    q.fromAxisAngle(vec3(0, 0, 2), pi / 2);
    EXPECT_TRUE(near(q, quat(0, 0, 0.7071068f, 0.7071068f)));
}

TEST(Transforms, TheMirroringLookAt) {
    mat4 v = lookAt(vec3(0, 0, 0), vec3(0, 0, -1), vec3(0, 1, 0));
    EXPECT_TRUE(near(row(v, 0), vec4(-1, 0, 0, 0), 0));
    EXPECT_TRUE(near(row(v, 1), vec4(0, 1, 0, 0), 0));
    EXPECT_TRUE(near(row(v, 2), vec4(0, 0, 1, 0), 0));
    // A triangle wound clockwise seen from the camera's side reaches eye space counter-clockwise.
    vec4 a = v * vec4(0, 0, -2, 1), b = v * vec4(0, 1, -2, 1), c = v * vec4(1, 0, -2, 1);
    EXPECT_GT((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y), 0);
}

TEST(Conversion, ZeroStaysZeroAndClampAndTruncationSaturate) {
    vec3 zero;
    zero.normalize();
    EXPECT_TRUE(near(zero, vec3(0, 0, 0), 0));
    EXPECT_TRUE(std::isnan(clamp(std::nanf(""), 0.0f, 3.0f)));
    // An empty range: below it gives the lower end, anything else the upper end.
    EXPECT_EQ(clamp(-5, 0, -1), 0);
    EXPECT_EQ(clamp(0, 0, -1), -1);
    EXPECT_TRUE(near(clamp(vec4(-1, 0.5f, 2, 0.75f), 0, 1), vec4(0, 0.5f, 1, 0.75f), 0));
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(truncateToInt(-63.9), -63);
    EXPECT_EQ(truncateToInt(std::nan("")), 0);
    EXPECT_EQ(truncateToInt(1e30), std::numeric_limits<int>::max());
    EXPECT_EQ(truncateToInt(-inf), std::numeric_limits<int>::min());
    EXPECT_EQ(truncateToUnsigned(-3), 0u);
    EXPECT_EQ(truncateToUnsigned(inf), std::numeric_limits<unsigned>::max());
}

} // namespace
