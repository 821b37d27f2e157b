#include "Vector.h"

#include <cmath>

namespace {

// The root is taken in double precision so that lengths agree with the rest of the math code.
float rootOf(float squaredLength) {
    return static_cast<float>(std::sqrt(double(squaredLength)));
}

template <typename Vec> void normalizeInPlace(Vec& v) {
    float len = rootOf(v.dot(v));
    if (len != 0) {
        v /= len;
    }
}

} // namespace

vec2& vec2::operator/=(float const& s) {
    x /= s;
    y /= s;
    return *this;
}

void vec2::normalize() {
    normalizeInPlace(*this);
}

vec3& vec3::operator+=(vec3 const& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

vec3& vec3::operator-=(vec3 const& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

vec3& vec3::operator/=(float const& s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
}

float vec3::length() const {
    return rootOf(dot(*this));
}

void vec3::normalize() {
    normalizeInPlace(*this);
}

vec4& vec4::operator+=(vec4 const& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}

vec4& vec4::operator/=(float const& s) {
    x /= s;
    y /= s;
    z /= s;
    w /= s;
    return *this;
}

void vec4::normalize() {
    normalizeInPlace(*this);
}

std::ostream& operator<<(std::ostream& out, vec2 const& v) {
    return out << v.x << ", " << v.y;
}

std::ostream& operator<<(std::ostream& out, vec3 const& v) {
    return out << v.x << ", " << v.y << ", " << v.z;
}

std::ostream& operator<<(std::ostream& out, vec4 const& v) {
    return out << v.x << ", " << v.y << ", " << v.z << ", " << v.w;
}
