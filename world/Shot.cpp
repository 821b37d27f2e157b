#include "Shot.h"

#include "Collisions.h"

bool isHit(vec3 point) {
    return point.x >= 0 && point.y >= 0 && point.z >= 0;
}

std::optional<vec3> shotImpact(const Player& shooter, const MapManager& map) {
    vec3 point = shooter.shoot(&map);
    if (!isHit(point)) {
        return std::nullopt;
    }
    return point;
}

vec3 shotEnd(const Player& shooter, const MapManager& map) {
    return shotEnd(shooter, shotImpact(shooter, map));
}

vec3 shotEnd(const Player& shooter, const std::optional<vec3>& impact) {
    return impact ? *impact : shooter.getPosition() + shooter.getDirection() * shotReach;
}

bool segmentCrosses(vec3 start, vec3 end, const Box& body, vec3& entry) {
    return Line_AABB(start, end, body.min, body.max, entry);
}

Crossing firstBodyCrossed(vec3 start, vec3 end, const Box* bodies, size_t count) {
    Crossing first;
    float nearest = 0;
    for (size_t i = 0; i < count; ++i) {
        vec3 entry;
        if (!segmentCrosses(start, end, bodies[i], entry)) {
            continue;
        }
        float distance = distanceVec3(start, entry);
        if (first.index < 0 || distance < nearest) {
            first.index = int(i);
            first.entry = entry;
            nearest = distance;
        }
    }
    return first;
}
