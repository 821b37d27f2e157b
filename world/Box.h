#ifndef CUBEFRAY_BOX_H
#define CUBEFRAY_BOX_H

#include "Vector.h"

// Axis-aligned box. Faces are numbered 0 = -x, 1 = +x, 2 = -y, 3 = +y, 4 = -z, 5 = +z.
struct Box {
    vec3 center;
    vec3 min;
    vec3 max;
    vec3 halfSize;
    // For map cells: the faces that border an empty cell, whether the cell is solid, and the
    // atlas tile of its sides.
    bool exposedFaces[6] = {false, false, false, false, false, false};
    int type = 0;
    int tile = 0;

    Box() = default;
    Box(vec3 center, float size) : Box(center, vec3(size, size, size)) {}
    Box(vec3 center, vec3 size);

    void move(vec3 v, float f);
    void moveTo(vec3 c);
    vec3 left() const { return {min.x, center.y, center.z}; }
    vec3 right() const { return {max.x, center.y, center.z}; }
    vec3 bottom() const { return {center.x, min.y, center.z}; }
    vec3 top() const { return {center.x, max.y, center.z}; }
    vec3 near() const { return {center.x, center.y, min.z}; }
    vec3 far() const { return {center.x, center.y, max.z}; }
};

#endif
