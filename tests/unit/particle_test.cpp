#include "MapManager.h"
#include "ParticleManager.h"
#include "test_support.h"

#include <cmath>
#include <limits>

namespace {

MapManager floorMap() {
    return loadedMap(mapText(3, 3, 3, [](int, int y, int) { return y == 0; }));
}

Particle resting(vec3 position, float alpha, vec3 velocity = vec3(), float gravity = 0) {
    Particle p;
    p.position = position;
    p.velocity = velocity;
    p.gravity = gravity;
    p.color = vec4(0, 1, 1, alpha);
    return p;
}

// How the particles scatter is their look, seen in the frames; the count matters to the frame.
TEST(Particles, SpawnsTheCountAskedForUpToTheCap) {
    ParticleManager manager;
    manager.add(200, vec3(10, 20, 30), vec4(0, 1, 1, 4), 2.0f);
    manager.addExplosion(200, vec3(), vec4(0, 1, 1, 4), 12, 7);
    manager.add(0, vec3(), vec4(), 1);
    manager.add(-4, vec3(), vec4(), 1);
    EXPECT_EQ(manager.particles.size(), 400u);
    manager.addExplosion(int(ParticleManager::maxParticles), vec3(), vec4(), 1, 1);
    manager.add(1, vec3(), vec4(), 1);
    EXPECT_EQ(manager.particles.size(), ParticleManager::maxParticles);
}

TEST(Particles, UpdatesFadeRemoveInOrderRestOnCubeTopsAndCapTheFall) {
    // Alpha is the remaining life: 4 lasts 80 updates, 0.05 a single one.
    MapManager map = floorMap();
    ParticleManager manager;
    manager.particles.push_back(resting(vec3(96, 150, 96), 4));
    manager.particles.push_back(resting(vec3(96, 150, 96), 0.05f));
    std::vector<size_t> left;
    for (int i = 0; i < 81; ++i) {
        manager.update(map);
        left.push_back(manager.particles.size());
    }
    EXPECT_EQ(left[0], 2u);
    EXPECT_EQ(left[1], 1u);
    EXPECT_EQ(left[79], 1u);
    EXPECT_EQ(left[80], 0u);
    // A particle that fades in the middle leaves the others in order, each moved once.
    for (int i = 0; i < 5; ++i) {
        manager.particles.push_back(
            resting(vec3(20 + 10 * i, 150, 96), i == 2 ? 0.01f : 1, vec3(1, 0, 0)));
    }
    manager.update(map);
    ASSERT_EQ(manager.particles.size(), 4u);
    const float expectedX[] = {21, 31, 51, 61};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(manager.particles[i].position.x, expectedX[i]);
    }
    // One comes to rest on the floor and slides on; one falling faster than ten keeps its speed.
    manager.particles.clear();
    manager.particles.push_back(resting(vec3(40, 70, 96), 4, vec3(0.5f, -3, 0), 0.1f));
    manager.particles.push_back(resting(vec3(96, 1e6f, 96), 4, vec3(0, -10.05f, 0), 0.1f));
    for (int i = 0; i < 10; ++i) {
        manager.update(map);
    }
    const Particle& settled = manager.particles[0];
    EXPECT_EQ(settled.velocity.y, 0);
    EXPECT_GT(settled.position.y, 64);
    EXPECT_FLOAT_EQ(settled.position.x, 45);
    EXPECT_FLOAT_EQ(manager.particles[1].velocity.y, -10.05f);
}

TEST(Particles, HostileValuesNeitherCrashNorLinger) {
    MapManager map = floorMap();
    ParticleManager manager;
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    manager.addExplosion(10, vec3(nan, inf, -1e30f), vec4(0, 1, 1, 4), 12, 7);
    manager.add(3, vec3(1e30f, -inf, nan), vec4(0, 1, 1, 4), 2);
    manager.particles.push_back(resting(vec3(10, 10, 10), nan));
    for (int i = 0; i < 81; ++i) {
        manager.update(map);
    }
    EXPECT_TRUE(manager.particles.empty());
}

} // namespace
