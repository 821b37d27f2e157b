#include "ParticleManager.h"

#include "MapManager.h"
#include "Timing.h"

#include <cstdlib>

namespace {

const float maxFallSpeed = -10;
const double fadePerUpdate = 0.05;
const float cartLifetimeMillis = 50;

// One draw in [0, 0.99] in steps of 0.01.
double randomFraction() {
    return (std::rand() % 100) / 100.0;
}

float randomSize(float size) {
    return static_cast<float>(size / 2.0 + randomFraction() * size);
}

float randomInRange(double low, double width) {
    return static_cast<float>(low + randomFraction() * width);
}

float now() {
    return float(getCurrentMillisecond());
}

void applyGravity(Particle& p) {
    if (p.velocity.y > maxFallSpeed) {
        p.velocity.y -= p.gravity;
    }
}

} // namespace

Particle ParticleManager::spawn(vec3 position, vec4 color, float birthTime) const {
    Particle p;
    p.position = position;
    p.color = color;
    p.birthTime = birthTime;
    return p;
}

void ParticleManager::addScattered(int n, vec3 position, vec4 color, float size, float gravity,
                                   vec3 lowestVelocity, float velocityRange) {
    float birthTime = now();
    for (int i = 0; i < n && !isFull(); ++i) {
        Particle p = spawn(position, color, birthTime);
        p.size = randomSize(size);
        p.gravity = gravity;
        p.velocity.x = randomInRange(lowestVelocity.x, velocityRange);
        p.velocity.y = randomInRange(lowestVelocity.y, velocityRange);
        p.velocity.z = randomInRange(lowestVelocity.z, velocityRange);
        particles.push_back(p);
    }
}

void ParticleManager::add(int n, vec3 position, vec4 color, float size) {
    addScattered(n, position, color, size, 0.1f, vec3(-1, -1, -1), 2);
}

void ParticleManager::addExplosion(int n, vec3 position, vec4 color, float size, float spread) {
    float low = static_cast<float>(-spread / 2.0);
    addScattered(n, position, color, size, 0.1f, vec3(low, low, low), spread);
}

void ParticleManager::addSparks(int n, vec3 position, vec4 color, vec3 direction, float size) {
    vec3 low(direction.x > 0 ? 0 : -2, direction.y > 0 ? 0 : -2, direction.z > 0 ? 0 : -2);
    addScattered(n, position, color, size, 0.05f, low, 2);
}

void ParticleManager::add(int n, vec3 position, vec4 color, vec3 velocity, quat rotation,
                          float size) {
    float birthTime = now();
    for (int i = 0; i < n && !isFull(); ++i) {
        Particle p = spawn(position, color, birthTime);
        p.size = size;
        p.gravity = 0.01f;
        p.velocity = velocity;
        p.rotation = rotation;
        particles.push_back(p);
    }
}

void ParticleManager::update(const MapManager& map) {
    size_t kept = 0;
    for (size_t i = 0; i < particles.size(); ++i) {
        Particle p = particles[i];
        p.color.w = static_cast<float>(p.color.w - fadePerUpdate);
        // Written as "not above zero" so that a NaN life ends too.
        if (!(p.color.w > 0)) {
            continue;
        }
        applyGravity(p);
        p.position.x += p.velocity.x;
        if (map.collides(p.position)) {
            p.position.x -= p.velocity.x;
        }
        p.position.y += p.velocity.y;
        if (map.collides(p.position)) {
            p.position.y -= p.velocity.y;
            p.velocity.y = 0;
        }
        p.position.z += p.velocity.z;
        if (map.collides(p.position)) {
            p.position.z -= p.velocity.z;
        }
        particles[kept++] = p;
    }
    particles.resize(kept);
}

void ParticleManager::updateCarts() {
    size_t kept = 0;
    for (size_t i = 0; i < particles.size(); ++i) {
        Particle p = particles[i];
        if (now() - p.birthTime >= cartLifetimeMillis) {
            continue;
        }
        applyGravity(p);
        p.position += p.velocity;
        particles[kept++] = p;
    }
    particles.resize(kept);
}
