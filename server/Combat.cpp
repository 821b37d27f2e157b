#include "Combat.h"

#include "Shot.h"

ServerPlayer* playerHitBy(const ServerPlayer& shooter, std::vector<ServerPlayer>& players,
                          const MapManager& map) {
    std::vector<ServerPlayer*> targets;
    std::vector<Box> bodies;
    for (ServerPlayer& target : players) {
        if (target.id() != shooter.id() && target.isAlive()) {
            targets.push_back(&target);
            bodies.push_back(target.body.getBox());
        }
    }
    vec3 eye = shooter.body.getPosition();
    Crossing first =
        firstBodyCrossed(eye, shotEnd(shooter.body, map), bodies.data(), bodies.size());
    return first.index < 0 ? nullptr : targets[size_t(first.index)];
}
