#ifndef CUBEFRAY_TEST_SUPPORT_H
#define CUBEFRAY_TEST_SUPPORT_H

#include "Codec.h"
#include "MapManager.h"
#include "Quaternion.h"
#include "Vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

// Map text whose cells are solid, with side tile 1, where solid(x, y, z) holds. The file lists
// cells with x slowest and z fastest.
template <typename Solid> std::string mapText(int columns, int rows, int depths, Solid solid) {
    std::string text =
        std::to_string(columns) + " " + std::to_string(rows) + " " + std::to_string(depths) + " ";
    for (int i = 0; i < columns * rows * depths; ++i) {
        text += solid(i / (rows * depths), i / depths % rows, i % depths) ? "1 1 " : "0 0 ";
    }
    return text;
}

inline MapManager loadedMap(const std::string& text) {
    MapManager map;
    map.load(text);
    return map;
}

// A wire record as the bytes of a datagram.
template <typename Record> std::string bytesOf(const Record& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof(record));
}

// One player of an update; a name of twelve characters fills its field without a terminator.
inline PlayerUpdate playerRecord(char id, const char* name, vec3 position,
                                 vec3 direction = vec3(1, 0, 0), bool shooting = false) {
    PlayerUpdate r;
    r.playerID = id;
    std::memcpy(r.name, name, std::min(std::strlen(name), sizeof(r.name)));
    r.position = position;
    r.direction = direction;
    r.shooting = shooting ? 1 : 0;
    return r;
}

inline std::string wire(const WireBytes& message) {
    return std::string(message.view());
}

inline std::string updateDatagram(std::initializer_list<PlayerUpdate> records) {
    return wire(encodeUpdate(records));
}

// Named after the process: other builds on this machine run the same tests at the same time.
inline std::string writeTempFile(const std::string& name, const std::string& contents) {
    const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

struct Components {
    static std::vector<float> of(vec2 v) { return {v.x, v.y}; }
    static std::vector<float> of(vec3 v) { return {v.x, v.y, v.z}; }
    static std::vector<float> of(vec4 v) { return {v.x, v.y, v.z, v.w}; }
    static std::vector<float> of(quat q) { return {q.x, q.y, q.z, q.w}; }
};

// Component-wise closeness, reported at the caller's line through EXPECT_TRUE; NaN is never near.
template <typename Vec>
::testing::AssertionResult near(const Vec& actual, const Vec& expected, float tolerance = 1e-5f) {
    const std::vector<float> a = Components::of(actual), e = Components::of(expected);
    for (size_t i = 0; i < a.size(); ++i) {
        if (!(std::fabs(a[i] - e[i]) <= tolerance)) {
            return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(a);
        }
    }
    return ::testing::AssertionSuccess();
}

#endif
