#include "MapChunks.h"
#include "MathOps.h"
#include "ViewVolume.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// A floor of 8 x 1 cells along x: faces in chunks of two cells.
Model floorModel() {
    MapManager map = loadedMap(mapText(8, 2, 1, [](int, int y, int) { return y == 0; }));
    return map.buildModel();
}

TEST(MapChunks, EachChunkIsOneRunOfItsOwnFacesAndTheRunsKeepEveryElement) {
    Model model = floorModel();
    std::vector<unsigned int> before = model.elements;
    MapChunks chunks(model, 128);
    ASSERT_EQ(chunks.chunks().size(), 4u);
    std::vector<unsigned int> after = model.elements;
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    int next = 0;
    for (const MapChunks::Chunk& chunk : chunks.chunks()) {
        EXPECT_EQ(chunk.firstElement, next);
        next += chunk.elementCount;
        for (int e = chunk.firstElement; e < chunk.firstElement + chunk.elementCount; ++e) {
            float x = model.vertices[3 * model.elements[size_t(e)]];
            EXPECT_GE(x, chunk.min.x);
            EXPECT_LE(x, chunk.max.x);
        }
        EXPECT_LE(chunk.max.x - chunk.min.x, 128);
    }
    EXPECT_EQ(next, int(model.elements.size()));
}

TEST(MapChunks, OnlyChunksInViewAreDrawnNearestFirst) {
    Model model = floorModel();
    MapChunks chunks(model, 128);
    mat4 projection = perspective(1.5f, 60, 0.1f, 5000);
    // Standing over x = 300 looking along +x: the chunks from x = 256 on lie ahead, nearest
    // first; those behind are skipped.
    vec3 eye(300, 100, 32);
    mat4 view = lookAt(eye, eye + vec3(1, -0.3f, 0), vec3(0, 1, 0));
    std::vector<int> seen = chunks.visibleNearestFirst(eye, projection * view);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_LT(chunks.chunks()[size_t(seen[0])].min.x, chunks.chunks()[size_t(seen[1])].min.x);
    EXPECT_GE(chunks.chunks()[size_t(seen[0])].min.x, 256);
    // A hostile eye leaves the order defined and the chunks drawable.
    vec3 lost(std::nanf(""), INFINITY, 0);
    EXPECT_LE(
        chunks.visibleNearestFirst(lost, projection * lookAt(lost, vec3(), vec3(0, 1, 0))).size(),
        4u);
}

TEST(ViewVolume, RejectsOnlyWhatLiesWhollyBeyondOnePlane) {
    mat4 viewProjection =
        perspective(1, 90, 1, 100) * lookAt(vec3(0, 0, 0), vec3(0, 0, 1), vec3(0, 1, 0));
    EXPECT_FALSE(outsideView(vec3(0, 0, 10), 1, viewProjection));
    EXPECT_TRUE(outsideView(vec3(0, 0, -10), 1, viewProjection));
    EXPECT_TRUE(outsideView(vec3(0, 0, 500), 1, viewProjection));
    EXPECT_TRUE(outsideView(vec3(30, 0, 10), 1, viewProjection));
    // Straddling a plane is kept.
    EXPECT_FALSE(outsideView(vec3(10, 0, 10), 1, viewProjection));
}

} // namespace
