#include "Arena.h"

#include "Collisions.h"
#include "Shot.h"

#include <utility>

namespace {

// A spawned body hangs this far above its floor and settles in its first tick: a box that
// touches a cell may count as colliding with it.
const float spawnClearance = 0.5f;

} // namespace

Arena::Arena(MapManager map) : mapManager(std::move(map)) {
    findSpawnPoints();
}

bool Arena::fits(const Box& body) const {
    bool insideWorld = body.min.x >= 0 && body.min.y >= 0 && body.min.z >= 0 &&
                       body.max.x <= mapManager.getWidth() &&
                       body.max.y <= mapManager.getHeight() && body.max.z <= mapManager.getDepth();
    return insideWorld && !mapManager.collides(body);
}

void Arena::findSpawnPoints() {
    const float cell = mapManager.getCubeSize();
    for (int x = 0; x < mapManager.getColumnCount(); ++x) {
        for (int y = 1; y < mapManager.getRowCount(); ++y) {
            for (int z = 0; z < mapManager.getDepthCount(); ++z) {
                if (mapManager.cubeType(x, y - 1, z) == 0) {
                    continue;
                }
                vec3 eye(cell * (x + 0.5f), cell * y + spawnClearance + eyeHeight,
                         cell * (z + 0.5f));
                if (fits(Box(eye, bodySize))) {
                    spawns.push_back(eye);
                }
            }
        }
    }
}

bool Arena::canSee(vec3 from, vec3 to) const {
    float distance = distanceVec3(from, to);
    if (distance == 0) {
        return true;
    }
    vec3 wall = mapManager.pointOfIntersection(from, (to - from) / distance);
    return !isHit(wall) || distanceVec3(from, wall) >= distance;
}

vec3 Arena::centre() const {
    return vec3(mapManager.getWidth(), mapManager.getHeight(), mapManager.getDepth()) / 2;
}
