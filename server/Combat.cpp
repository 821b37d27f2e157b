#include "Combat.h"

#include "Collisions.h"

vec3 shotEnd(const Player& shooter, const MapManager& map) {
    vec3 wall = shooter.shoot(&map);
    bool hitsWall = wall.x >= 0 && wall.y >= 0 && wall.z >= 0;
    return hitsWall ? wall : shooter.getPosition() + shooter.getDirection() * shotReach;
}

ServerPlayer* playerHitBy(const ServerPlayer& shooter, std::vector<ServerPlayer>& players,
                          const MapManager& map) {
    vec3 eye = shooter.body.getPosition();
    vec3 end = shotEnd(shooter.body, map);
    ServerPlayer* nearest = nullptr;
    float nearestDistance = 0;
    for (ServerPlayer& target : players) {
        if (target.id() == shooter.id() || !target.isAlive()) {
            continue;
        }
        Box body = target.body.getBox();
        vec3 entry;
        if (!Line_AABB(eye, end, body.min, body.max, entry)) {
            continue;
        }
        float distance = distanceVec3(eye, entry);
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = &target;
            nearestDistance = distance;
        }
    }
    return nearest;
}
