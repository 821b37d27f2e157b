#ifndef CUBEFRAY_MATRIX_H
#define CUBEFRAY_MATRIX_H

#include "Vector.h"

// Matrices are stored row by row and applied to column vectors (M * v).
struct mat3 {
    float m[9];

    mat3();
    mat3(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8);

    mat3 transpose() const;
    vec3 operator*(vec3 const& v) const;
    void display() const;
};

struct mat4 {
    float m[16];

    mat4();
    mat4(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8,
         float m9, float m10, float m11, float m12, float m13, float m14, float m15);

    mat4 transpose() const;
    mat3 toMat3() const;
    mat4 operator*(mat4 const& b) const;
    vec4 operator*(vec4 const& v) const;
    void display() const;
};

#endif
