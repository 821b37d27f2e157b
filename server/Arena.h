#ifndef CUBEFRAY_SERVER_ARENA_H
#define CUBEFRAY_SERVER_ARENA_H

#include "Box.h"
#include "GameRules.h"
#include "MapManager.h"
#include "Vector.h"

#include <string>
#include <vector>

// The map as the game rules see it: where a body may be, where players spawn, what can be seen.
class Arena {
  public:
    explicit Arena(MapManager map);

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
