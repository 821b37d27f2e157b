#include "MapManager.h"
#include "ParticleManager.h"
#include "test_support.h"

#include <cmath>
#include <limits>

namespace {

// A 3 x 3 x 3 map whose bottom layer is solid.
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

// Sizes and velocities of a spawn within their ranges, one gravity and one birth time for all.
void expectSpread(const std::vector<Particle>& spawned, float smallest, float largest, vec3 lowest,
                  vec3 highest, float gravity) {
    ASSERT_EQ(spawned.size(), 200u);
    for (const Particle& p : spawned) {
        EXPECT_GE(p.size, smallest);
        EXPECT_LE(p.size, largest + 1e-4f);
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(Components::of(p.velocity)[k], Components::of(lowest)[k]);
            EXPECT_LE(Components::of(p.velocity)[k], Components::of(highest)[k] + 1e-5f);
        }
        EXPECT_FLOAT_EQ(p.gravity, gravity);
        EXPECT_EQ(p.birthTime, spawned[0].birthTime);
    }
}

TEST(Particles, SpawnsSpreadWithinTheirRangesAndTheCountIsCapped) {
    ParticleManager shot, explosion, sparks;
    shot.add(200, vec3(10, 20, 30), vec4(0, 1, 1, 4), 2.0f);
    expectSpread(shot.particles, 1, 2.98f, vec3(-1, -1, -1), vec3(0.98f, 0.98f, 0.98f), 0.1f);
    explosion.addExplosion(200, vec3(), vec4(0, 1, 1, 4), 12, 7);
    expectSpread(explosion.particles, 6, 17.88f, vec3(-3.5f, -3.5f, -3.5f),
                 vec3(3.43f, 3.43f, 3.43f), 0.1f);
    sparks.addSparks(200, vec3(), vec4(), vec3(1, -1, 0), 1);
    expectSpread(sparks.particles, 0.5f, 1.49f, vec3(0, -2, -2), vec3(1.98f, -0.02f, -0.02f),
                 0.05f);
    ParticleManager fixed;
    fixed.add(0, vec3(), vec4(), 1);
    fixed.add(-4, vec3(), vec4(), 1);
    EXPECT_TRUE(fixed.particles.empty());
    fixed.add(2, vec3(), vec4(), vec3(1, 2, 3), quat(0, 1, 0, 0), 5);
    EXPECT_EQ(fixed.particles[1].size, 5);
    EXPECT_TRUE(near(fixed.particles[1].rotation, quat(0, 1, 0, 0), 0));
    // Past the cap every kind of spawn is dropped.
    fixed.addExplosion(int(ParticleManager::maxParticles), vec3(), vec4(), 1, 1);
    fixed.add(1, vec3(), vec4(), 1);
    fixed.add(1, vec3(), vec4(), vec3(), quat(), 1);
    EXPECT_EQ(fixed.particles.size(), ParticleManager::maxParticles);
}

TEST(Particles, UpdatesFadeRemoveInOrderRestOnCubeTopsAndCapTheFall) {
    // Alpha is the remaining life: 4 lasts 80 updates, 0.05 a single one.
    MapManager map = floorMap();
    ParticleManager manager;
    manager.particles.push_back(resting(vec3(96, 150, 96), 4));
    manager.particles.push_back(resting(vec3(96, 150, 96), 0.05f));
    manager.update(map);
    EXPECT_EQ(manager.particles.size(), 2u);
    manager.update(map);
    EXPECT_EQ(manager.particles.size(), 1u);
    for (int i = 2; i < 80; ++i) {
        manager.update(map);
    }
    ASSERT_EQ(manager.particles.size(), 1u);
    EXPECT_GT(manager.particles[0].color.w, 0);
    manager.update(map);
    EXPECT_TRUE(manager.particles.empty());
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

TEST(Particles, CartsExpireAfterFiftyMilliseconds) {
    ParticleManager manager;
    manager.add(1, vec3(0, 0, 0), vec4(0, 0, 0, 0), vec3(1, 0, 0), quat(), 1);
    manager.updateCarts();
    ASSERT_EQ(manager.particles.size(), 1u);
    EXPECT_FLOAT_EQ(manager.particles[0].position.x, 1);
    EXPECT_FLOAT_EQ(manager.particles[0].velocity.y, -0.01f);
    manager.particles[0].birthTime -= 50;
    manager.updateCarts();
    EXPECT_TRUE(manager.particles.empty());
}

} // namespace
