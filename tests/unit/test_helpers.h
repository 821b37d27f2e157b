#ifndef CUBEFRAY_TEST_HELPERS_H
#define CUBEFRAY_TEST_HELPERS_H

#include "Matrix.h"
#include "Quaternion.h"
#include "Vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <unistd.h>

// Death tests match the child's standard error; the client reports on standard output.
inline void sendStdoutToStderr() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

inline std::string writeTempFile(const std::string& name, const std::string& contents) {
    std::string path = ::testing::TempDir() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(contents.data(), 1, contents.size(), f);
    std::fclose(f);
    return path;
}

// Component-wise closeness, reported at the caller's line through EXPECT_TRUE.
template <typename Vec> float largestDifference(const Vec& a, const Vec& b);
template <> inline float largestDifference(const vec2& a, const vec2& b) {
    return std::max(std::fabs(a.x - b.x), std::fabs(a.y - b.y));
}
template <> inline float largestDifference(const vec3& a, const vec3& b) {
    return std::max({std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)});
}
template <> inline float largestDifference(const vec4& a, const vec4& b) {
    return std::max(
        {std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z), std::fabs(a.w - b.w)});
}
template <> inline float largestDifference(const quat& a, const quat& b) {
    return std::max(
        {std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z), std::fabs(a.w - b.w)});
}

inline std::string describe(const quat& q) {
    std::ostringstream text;
    text << q.x << ", " << q.y << ", " << q.z << ", " << q.w;
    return text.str();
}
template <typename Vec> std::string describe(const Vec& v) {
    std::ostringstream text;
    text << v;
    return text.str();
}

template <typename Vec>
::testing::AssertionResult near(const Vec& actual, const Vec& expected, float tolerance = 1e-5f) {
    if (largestDifference(actual, expected) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got (" << describe(actual) << ")";
}

inline void expectRow(const mat4& m, int row, float a, float b, float c, float d, float tol) {
    EXPECT_NEAR(m.m[4 * row + 0], a, tol) << "row " << row;
    EXPECT_NEAR(m.m[4 * row + 1], b, tol) << "row " << row;
    EXPECT_NEAR(m.m[4 * row + 2], c, tol) << "row " << row;
    EXPECT_NEAR(m.m[4 * row + 3], d, tol) << "row " << row;
}

#endif
