#include "Quaternion.h"

#include <cmath>
#include <iostream>

void quat::normalize() {
    const double tolerance = 0.00001f;
    float n = w * w + x * x + y * y + z * z;
    // A quaternion already within the tolerance of unit length is left alone, so repeated
    // normalisation does not drift.
    if (std::fabs(double(n)) > tolerance && std::fabs(double(n) - 1.0) > tolerance) {
        float s = static_cast<float>(std::sqrt(double(n)));
        w /= s;
        x /= s;
        y /= s;
        z /= s;
    }
}

void quat::fromAxisAngle(vec3 axis, float angle) {
    float half = angle * 0.5f;
    axis.normalize();
    float s = static_cast<float>(std::sin(double(half)));
    x = axis.x * s;
    y = axis.y * s;
    z = axis.z * s;
    w = static_cast<float>(std::cos(double(half)));
}

float quat::getAxisAngle(vec3& axis, float& angle) const {
    float len = static_cast<float>(std::sqrt(double(x * x + y * y + z * z)));
    axis = vec3(x / len, y / len, z / len);
    angle = 2.0f * std::acos(w);
    return angle;
}

quat quat::operator*(quat const& q) const {
    return {w * q.x + x * q.w + y * q.z - z * q.y, w * q.y + y * q.w + z * q.x - x * q.z,
            w * q.z + z * q.w + x * q.y - y * q.x, w * q.w - x * q.x - y * q.y - z * q.z};
}

vec3 quat::operator*(vec3 const& v) const {
    vec3 vn = normalized(v);
    quat p(vn.x, vn.y, vn.z, 0);
    quat r = *this * (p * getConjugate());
    return {r.x, r.y, r.z};
}

mat4 quat::toMatrix() const {
    return {1 - (2 * y * y + 2 * z * z),
            2 * x * y - 2 * z * w,
            2 * x * z + 2 * y * w,
            0,
            2 * x * y + 2 * z * w,
            1 - (2 * x * x + 2 * z * z),
            2 * y * z - 2 * x * w,
            0,
            2 * x * z - 2 * y * w,
            2 * y * z + 2 * x * w,
            1 - (2 * x * x + 2 * y * y),
            0,
            0,
            0,
            0,
            1};
}

void quat::display() const {
    std::cout << "quat(" << x << ", " << y << ", " << z << ", " << w << ")";
}
