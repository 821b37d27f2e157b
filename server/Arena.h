#ifndef CUBEFRAY_SERVER_ARENA_H
#define CUBEFRAY_SERVER_ARENA_H

#include "Box.h"
#include "MapManager.h"
#include "Vector.h"

#include <string>
#include <vector>

// The size of every player's body; the eye is its centre.
const vec3 bodySize(50, 150, 50);

// The map as the game rules see it: where a body may be, where players spawn, what can be seen.
class Arena {
  public:
    // The text of a map file; see MapManager::load.
    explicit Arena(const std::string& mapText);

    const MapManager& map() const { return mapManager; }
    // The world is a closed box: its outer faces hold bodies like solid cells do.
    bool fits(const Box& body) const;
    // Eye positions of a body standing just above each solid cell that has room for it. Empty
    // for a map where nobody can stand.
    const std::vector<vec3>& spawnPoints() const { return spawns; }
    // Whether no solid cell stands between the two points.
    bool canSee(vec3 from, vec3 to) const;
    vec3 centre() const;

  private:
    void findSpawnPoints();

    MapManager mapManager;
    std::vector<vec3> spawns;
};

#endif
