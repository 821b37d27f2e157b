#ifndef CUBEFRAY_QUATERNION_H
#define CUBEFRAY_QUATERNION_H

#include "Matrix.h"
#include "Vector.h"

// Rotation quaternion with the scalar part last: (x, y, z, w).
struct quat {
    float x, y, z, w;

    quat() : x(0), y(0), z(0), w(1) {}
    quat(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}

    void normalize();
    quat getConjugate() const { return {-x, -y, -z, w}; }
    void fromAxisAngle(vec3 axis, float angle);
    float getAxisAngle(vec3& axis, float& angle) const;
    quat operator*(quat const& q) const;
    vec3 operator*(vec3 const& v) const;
    mat4 toMatrix() const;
    void display() const;
};

#endif
