#include "Box.h"

Box::Box(vec3 center, vec3 size)
    : center(center), min(center - size / 2), max(center + size / 2), halfSize(size / 2) {}

void Box::move(vec3 v, float f) {
    vec3 delta = v * f;
    center += delta;
    min += delta;
    max += delta;
}

void Box::moveTo(vec3 c) {
    center = c;
    min = c - halfSize;
    max = c + halfSize;
}
