#ifndef CUBEFRAY_SHOT_H
#define CUBEFRAY_SHOT_H

#include "Box.h"
#include "MapManager.h"
#include "Player.h"
#include "Vector.h"

#include <optional>

// What a shot meets. The line of fire runs from the shooter's eye along its view direction.

// The line-of-sight queries answer (-1, -1, -1) when they find nothing; an answer names a point
// only when all three coordinates are at least 0 (NaN never does).
bool isHit(vec3 point);

// Where the shooter's line of fire first meets a solid cube, if it does.
std::optional<vec3> shotImpact(const Player& shooter, const MapManager& map);

// Where the line of fire ends: at the cube it meets, else shotReach from the eye.
vec3 shotEnd(const Player& shooter, const MapManager& map);
// The same for an impact already found.
vec3 shotEnd(const Player& shooter, const std::optional<vec3>& impact);

// Whether the segment from start to end crosses the body; entry is where it goes in.
bool segmentCrosses(vec3 start, vec3 end, const Box& body, vec3& entry);

// The body that the segment enters nearest to its start.
struct Crossing {
    // Index into the bodies; -1 when the segment crosses none.
    int index = -1;
    vec3 entry;
};
Crossing firstBodyCrossed(vec3 start, vec3 end, const Box* bodies, size_t count);

#endif
