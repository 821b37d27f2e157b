#ifndef CUBEFRAY_COLLISIONS_H
#define CUBEFRAY_COLLISIONS_H

#include "Box.h"
#include "Vector.h"

// Outward unit normal of face i of a box, in the face order of Box.
vec3 faceNormal(int face);

// Surfaces count as inside; boxes that only touch intersect.
bool intersects(Box box, vec3 p);
bool intersects(Box a, Box b);
bool pointIsInSinglePlane(vec3 point, vec3 planePoint, vec3 normal);

// One slab step of the segment test: clips [enter, exit] of start + t * dir to [min, max].
bool Line_AABB_1d(float start, float dir, float min, float max, float& enter, float& exit);
// Whether the segment from start to end meets the box [min, max]; hit is its first point there.
bool Line_AABB(vec3 start, vec3 end, vec3 min, vec3 max, vec3& hit);
// Clips the segment a-b by the box's six face planes; point is the clipped start (always
// written), normal the face it entered through (written only when a face moved the start).
bool intersectsLineAABB(vec3 a, vec3 b, Box box, vec3& point, vec3& normal);

// The exposed face of b that a reaches least far into (ties keep the earlier face).
vec3 normalOfAABBCollision(Box a, Box b);
// The exposed face of b nearest to a point inside it.
vec3 normalOfAABBCollision(Box b, vec3 point);

float distanceVec3(vec3 a, vec3 b);

#endif
