#include "MapManager.h"
#include "ParticleManager.h"
#include "test_helpers.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

MapManager floorMap() {
    // A 3 x 3 x 3 map whose bottom layer is solid.
    std::string text = "3 3 3 ";
    for (int x = 0; x < 3; ++x) {
        for (int y = 0; y < 3; ++y) {
            for (int z = 0; z < 3; ++z) {
                text += y == 0 ? "1 1 " : "0 0 ";
            }
        }
    }
    MapManager map;
    map.load(text);
    return map;
}

Particle resting(vec3 position, float alpha) {
    Particle p;
    p.position = position;
    p.color = vec4(0, 1, 1, alpha);
    return p;
}

TEST(Particles, SpawnDrawsInAFixedOrder) {
    ParticleManager manager;
    std::srand(7);
    manager.add(3, vec3(10, 20, 30), vec4(0, 1, 1, 4), 2.0f);
    std::srand(7);
    std::vector<int> draws;
    for (int i = 0; i < 12; ++i) {
        draws.push_back(std::rand() % 100);
    }
    ASSERT_EQ(manager.particles.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const Particle& p = manager.particles[i];
        EXPECT_FLOAT_EQ(p.size, float(1 + draws[4 * i] / 100.0 * 2));
        EXPECT_FLOAT_EQ(p.velocity.x, float(draws[4 * i + 1] / 100.0 * 2 - 1));
        EXPECT_FLOAT_EQ(p.velocity.y, float(draws[4 * i + 2] / 100.0 * 2 - 1));
        EXPECT_FLOAT_EQ(p.velocity.z, float(draws[4 * i + 3] / 100.0 * 2 - 1));
        EXPECT_FLOAT_EQ(p.gravity, 0.1f);
        EXPECT_TRUE(near(p.position, vec3(10, 20, 30), 0));
        EXPECT_EQ(p.birthTime, manager.particles[0].birthTime);
    }
}

TEST(Particles, SpreadsStayInTheirRanges) {
    ParticleManager manager;
    manager.addExplosion(200, vec3(), vec4(0, 1, 1, 4), 12, 7);
    for (const Particle& p : manager.particles) {
        EXPECT_GE(p.size, 6);
        EXPECT_LE(p.size, 17.88f + 1e-4f);
        for (float v : {p.velocity.x, p.velocity.y, p.velocity.z}) {
            EXPECT_GE(v, -3.5f);
            EXPECT_LE(v, 3.43f + 1e-5f);
        }
    }
    ParticleManager still;
    still.addExplosion(5, vec3(), vec4(), 1, 0);
    for (const Particle& p : still.particles) {
        EXPECT_TRUE(near(p.velocity, vec3(0, 0, 0), 0));
    }
    ParticleManager sparks;
    sparks.addSparks(200, vec3(), vec4(), vec3(1, -1, 0), 1);
    for (const Particle& p : sparks.particles) {
        EXPECT_GE(p.velocity.x, 0);
        EXPECT_LE(p.velocity.x, 1.98f + 1e-5f);
        EXPECT_LE(p.velocity.y, -0.02f + 1e-5f);
        EXPECT_LE(p.velocity.z, -0.02f + 1e-5f);
        EXPECT_EQ(p.gravity, 0.05f);
    }
    ParticleManager none;
    none.add(0, vec3(), vec4(), 1);
    none.add(-4, vec3(), vec4(), 1);
    EXPECT_TRUE(none.particles.empty());
    ParticleManager fixed;
    fixed.add(2, vec3(), vec4(), vec3(1, 2, 3), quat(0, 1, 0, 0), 5);
    EXPECT_EQ(fixed.particles[1].size, 5);
    EXPECT_TRUE(near(fixed.particles[1].rotation, quat(0, 1, 0, 0), 0));
}

TEST(Particles, AlphaFourLivesEightyUpdates) {
    MapManager map = floorMap();
    ParticleManager manager;
    manager.particles.push_back(resting(vec3(96, 150, 96), 4));
    for (int i = 0; i < 80; ++i) {
        manager.update(map);
    }
    ASSERT_EQ(manager.particles.size(), 1u);
    EXPECT_GT(manager.particles[0].color.w, 0);
    manager.update(map);
    EXPECT_TRUE(manager.particles.empty());

    manager.particles.push_back(resting(vec3(96, 150, 96), 0.05f));
    manager.update(map);
    EXPECT_EQ(manager.particles.size(), 1u);
    manager.update(map);
    EXPECT_TRUE(manager.particles.empty());
}

TEST(Particles, RemovalInTheMiddleKeepsOrderAndUpdatesOthersOnce) {
    MapManager map = floorMap();
    ParticleManager manager;
    for (int i = 0; i < 5; ++i) {
        Particle p = resting(vec3(20 + 10 * i, 150, 96), i == 2 ? 0.01f : 1);
        p.velocity = vec3(1, 0, 0);
        manager.particles.push_back(p);
    }
    manager.update(map);
    ASSERT_EQ(manager.particles.size(), 4u);
    const float expectedX[] = {21, 31, 51, 61};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(manager.particles[i].position.x, expectedX[i]);
    }
}

TEST(Particles, ComeToRestOnACubeTopAndKeepSliding) {
    MapManager map = floorMap();
    ParticleManager manager;
    Particle p = resting(vec3(40, 70, 96), 4);
    p.velocity = vec3(0.5f, -3, 0);
    p.gravity = 0.1f;
    manager.particles.push_back(p);
    for (int i = 0; i < 10; ++i) {
        manager.update(map);
    }
    const Particle& settled = manager.particles[0];
    EXPECT_EQ(settled.velocity.y, 0);
    EXPECT_GT(settled.position.y, 64);
    EXPECT_LT(settled.position.y, 70);
    EXPECT_FLOAT_EQ(settled.position.x, 45);
}

TEST(Particles, FallSpeedStopsGrowingPastTen) {
    MapManager map = floorMap();
    ParticleManager manager;
    Particle p = resting(vec3(96, 1e6f, 96), 4);
    p.velocity.y = -10.05f;
    p.gravity = 0.1f;
    manager.particles.push_back(p);
    manager.update(map);
    EXPECT_FLOAT_EQ(manager.particles[0].velocity.y, -10.05f);
}

TEST(Particles, HostileValuesNeitherCrashNorLinger) {
    MapManager map = floorMap();
    ParticleManager manager;
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    manager.addExplosion(10, vec3(nan, inf, -1e30f), vec4(0, 1, 1, 4), 12, 7);
    manager.add(3, vec3(1e30f, -inf, nan), vec4(0, 1, 1, 4), 2);
    Particle undead = resting(vec3(10, 10, 10), nan);
    manager.particles.push_back(undead);
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
