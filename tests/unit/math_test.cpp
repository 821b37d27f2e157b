#include "MathOps.h"
#include "ScreenRect.h"
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

namespace {

ScreenRect rect(float x, float y, float width, float height) {
    return {vec2(x, y), vec2(x + width, y + height)};
}

bool same(const std::optional<ScreenRect>& place, const ScreenRect& expected) {
    return place && near(place->min, expected.min, 1e-4f) && near(place->max, expected.max, 1e-4f);
}

} // namespace

TEST(LabelPlacement, StaysInsideTheWindowAndMovesTheLeastToClearTakenAreas) {
    const ScreenRect window = rect(0, 0, 720, 480);
    // Nothing taken: only the window's edges move it; one wider than the window keeps its left.
    EXPECT_TRUE(
        same(placeClear(rect(700, -8, 60, 20), window, nullptr, 0, 4, 100), rect(660, 0, 60, 20)));
    EXPECT_TRUE(
        same(placeClear(rect(-30, 470, 60, 20), window, nullptr, 0, 4, 100), rect(0, 460, 60, 20)));
    EXPECT_TRUE(same(placeClear(rect(100, 100, 800, 20), window, nullptr, 0, 4, 100),
                     rect(0, 100, 800, 20)));
    // A column of score rows 25 apart: a label over the second row goes below the last, where
    // it keeps the gap from every row.
    const ScreenRect rows[3] = {rect(10, 450, 120, 20), rect(10, 425, 120, 20),
                                rect(10, 400, 120, 20)};
    EXPECT_TRUE(
        same(placeClear(rect(20, 428, 60, 20), window, rows, 3, 4, 100), rect(20, 376, 60, 20)));
    // Nearer to the right edge of the column, it steps aside instead.
    EXPECT_TRUE(
        same(placeClear(rect(110, 428, 60, 20), window, rows, 3, 4, 100), rect(134, 428, 60, 20)));
    // Touching is apart enough without a gap; nothing free within reach leaves it out.
    EXPECT_TRUE(
        same(placeClear(rect(130, 450, 10, 20), window, rows, 3, 0, 100), rect(130, 450, 10, 20)));
    const ScreenRect everything = rect(-1, -1, 722, 482);
    EXPECT_FALSE(placeClear(rect(300, 200, 60, 20), window, &everything, 1, 4, 1000));
    EXPECT_FALSE(placeClear(rect(20, 428, 60, 20), window, rows, 3, 4, 30));
}
