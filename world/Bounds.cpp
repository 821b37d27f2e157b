#include "Bounds.h"

Bounds::Bounds(vec2 corner, float w, float h)
    : left(corner.x), right(corner.x + w), bottom(corner.y), top(corner.y + h), width(w), height(h),
      halfWidth(w / 2), halfHeight(h / 2) {}

Bounds::Bounds(float l, float r, float b, float t)
    : left(l), right(r), bottom(b), top(t), width(r - l), height(t - b), halfWidth((r - l) / 2),
      halfHeight((t - b) / 2) {}

bool Bounds::contains(vec2 p) const {
    return left <= p.x && p.x <= right && bottom <= p.y && p.y <= top;
}

std::ostream& operator<<(std::ostream& out, Bounds const& b) {
    out << "l,r,b,t: " << b.left << ", " << b.right << ", " << b.bottom << ", " << b.top
        << std::endl;
    out << "w,h: " << b.width << ", " << b.height << std::endl;
    return out;
}
