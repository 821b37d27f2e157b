#ifndef CUBEFRAY_BOUNDS_H
#define CUBEFRAY_BOUNDS_H

#include "Vector.h"

#include <ostream>

// A 2-D rectangle; edges count as inside.
struct Bounds {
    float left, right, bottom, top, width, height, halfWidth, halfHeight;

    Bounds(vec2 corner, float w, float h);
    Bounds(float l, float r, float b, float t);

    bool contains(vec2 p) const;
};

std::ostream& operator<<(std::ostream& out, Bounds const& b);

#endif
