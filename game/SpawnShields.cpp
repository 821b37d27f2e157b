#include "SpawnShields.h"

#include "GameRules.h"
#include "LinkQuality.h"

#include <limits>

namespace {

const double shieldMillis = spawnProtectionTicks * LinkQuality::updateInterval;
const double never = -std::numeric_limits<double>::infinity();

size_t slot(char id) {
    return static_cast<unsigned char>(id);
}

} // namespace

SpawnShields::SpawnShields() {
    shieldedUntil.fill(never);
}

void SpawnShields::spawned(char id, double now) {
    shieldedUntil[slot(id)] = now + shieldMillis;
}

void SpawnShields::fired(char id) {
    shieldedUntil[slot(id)] = never;
}

bool SpawnShields::covers(char id, double now) const {
    return now < shieldedUntil[slot(id)];
}
