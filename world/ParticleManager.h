#ifndef CUBEFRAY_PARTICLEMANAGER_H
#define CUBEFRAY_PARTICLEMANAGER_H

#include "Quaternion.h"
#include "Vector.h"

#include <vector>

class MapManager;

// A short-lived spark. Velocities are units per update; in update() the colour's alpha is also
// the remaining life.
struct Particle {
    vec3 position;
    vec3 velocity;
    vec4 color;
    quat rotation;
    float size = 0;
    float gravity = 0;
    float birthTime = 0;
};

// Sparks where shots land. Random draws come from rand() % 100, in a fixed order per particle,
// so a seeded run always gives the same particles.
class ParticleManager {
  public:
    // Spawns beyond this many live particles are dropped: a server reporting shots without end
    // must not grow the list, and the frame that draws it, without bound.
    static constexpr size_t maxParticles = 4096;

    std::vector<Particle> particles;

    // All the room the particles may take is taken at once, so spawning never allocates in a
    // frame.
    ParticleManager() { particles.reserve(maxParticles); }

    // Sparks of a shot that meets the map.
    void add(int n, vec3 position, vec4 color, float size);
    // Particles flying apart where a shot passes through a player.
    void addExplosion(int n, vec3 position, vec4 color, float size, float spread);
    // Particles flying into the octant of direction.
    void addSparks(int n, vec3 position, vec4 color, vec3 direction, float size);
    // n identical particles.
    void add(int n, vec3 position, vec4 color, vec3 velocity, quat rotation, float size);

    // Fades, falls and stops particles against the map axis by axis; removes faded ones.
    void update(const MapManager& map);
    // Moves particles without the map and removes those 50 ms old or older.
    void updateCarts();

  private:
    Particle spawn(vec3 position, vec4 color, float now) const;
    // n particles of random size whose velocity components each lie in
    // [lowest, lowest + range) in steps of a hundredth of the range.
    void addScattered(int n, vec3 position, vec4 color, float size, float gravity,
                      vec3 lowestVelocity, float velocityRange);
    bool isFull() const { return particles.size() >= maxParticles; }
};

#endif
