#ifndef CUBEFRAY_TEST_HELPERS_H
#define CUBEFRAY_TEST_HELPERS_H

#include "Matrix.h"
#include "Quaternion.h"
#include "Vector.h"
#include "map_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

// Death tests match the child's standard error; the client reports on standard output.
inline void sendStdoutToStderr() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

// The client ends with status 0 on a broken resource, after saying why.
#define EXPECT_QUITS_SAYING(statement, pattern)                                                    \
    EXPECT_EXIT((sendStdoutToStderr(), statement), ::testing::ExitedWithCode(0), pattern)

inline std::string writeTempFile(const std::string& name, const std::string& contents) {
    std::string path = ::testing::TempDir() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(contents.data(), 1, contents.size(), f);
    std::fclose(f);
    return path;
}

// The components of the math types, for near().
struct Components {
    static std::vector<float> of(vec2 v) { return {v.x, v.y}; }
    static std::vector<float> of(vec3 v) { return {v.x, v.y, v.z}; }
    static std::vector<float> of(vec4 v) { return {v.x, v.y, v.z, v.w}; }
    static std::vector<float> of(quat q) { return {q.x, q.y, q.z, q.w}; }
};

inline vec4 row(const mat4& m, int r) {
    return vec4(m.m[4 * r], m.m[4 * r + 1], m.m[4 * r + 2], m.m[4 * r + 3]);
}

// Component-wise closeness, reported at the caller's line through EXPECT_TRUE; NaN is never near.
template <typename Vec>
::testing::AssertionResult near(const Vec& actual, const Vec& expected, float tolerance = 1e-5f) {
    std::vector<float> a = Components::of(actual), e = Components::of(expected);
    bool close = true;
    std::string got;
    for (size_t i = 0; i < a.size(); ++i) {
        close = close && std::fabs(a[i] - e[i]) <= tolerance;
        got += (i ? ", " : "") + std::to_string(a[i]);
    }
    return close ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "got " << got;
}

#endif
