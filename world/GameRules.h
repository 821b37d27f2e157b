#ifndef CUBEFRAY_GAMERULES_H
#define CUBEFRAY_GAMERULES_H

#include "Vector.h"

// The facts of the game that the client and the server must agree on, written once. Motion
// quantities are per tick on the server and per frame on the client, which run at the same rate.

// Every map cell is a cube of this edge, in world units.
const float cellSize = 64;

// Every player's body is a box of this size centred on the eye.
const vec3 bodySize(50, 150, 50);
// From the soles to the eye.
const float eyeHeight = bodySize.y / 2;

// Units a tick, forward, back and sideways alike.
const float walkSpeed = 6;
// Vertical speed at take-off, units a tick.
const float jumpSpeed = 12;

// A player who has just spawned cannot be hurt for this many ticks (two seconds), or until it
// fires: time to see where it is before anyone can take it down.
const int spawnProtectionTicks = 120;

// A shot that meets no solid cube ends this far from the shooter's eye.
const float shotReach = 5000;

// The id a client uses before the server has told it its own.
const char unknownPlayerID = '0';

// The controls a key message names, by their code on the wire.
enum Control { strafeLeft, strafeRight, walkBack, walkForward, jump, fire, controlCount };

#endif
