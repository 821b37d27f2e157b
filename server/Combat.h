#ifndef CUBEFRAY_SERVER_COMBAT_H
#define CUBEFRAY_SERVER_COMBAT_H

#include "MapManager.h"
#include "ServerPlayer.h"

#include <vector>

// Ticks between two shots while the fire control is held.
const int shotInterval = 6;
const int hitsToKill = 4;
// Three seconds at 60 ticks a second.
const int respawnTicks = 180;
// A player who has just spawned cannot be hurt for two seconds, or until it fires: time to see
// where it is before anyone can take it down.
const int spawnProtectionTicks = 120;
// The living player other than the shooter whose body the shot crosses nearest to the shooter's
// eye, or nullptr.
ServerPlayer* playerHitBy(const ServerPlayer& shooter, std::vector<ServerPlayer>& players,
                          const MapManager& map);

#endif
