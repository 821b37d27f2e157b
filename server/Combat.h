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
// The living player other than the shooter whose body the shot crosses nearest to the shooter's
// eye, or nullptr.
ServerPlayer* playerHitBy(const ServerPlayer& shooter, std::vector<ServerPlayer>& players,
                          const MapManager& map);

#endif
