#include "Matrix.h"

#include <iostream>

namespace {

void displayRows(const float* elements, int size) {
    for (int r = 0; r < size; ++r) {
        std::cout << "|";
        for (int c = 0; c < size; ++c) {
            std::cout << (c ? ", " : "") << elements[r * size + c];
        }
        std::cout << "|\n";
    }
}

} // namespace

mat3::mat3() : m{1, 0, 0, 0, 1, 0, 0, 0, 1} {}

mat3::mat3(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8} {}

mat3 mat3::transpose() const {
    return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
}

vec3 mat3::operator*(vec3 const& v) const {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

void mat3::display() const {
    displayRows(m, 3);
}

mat4::mat4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

mat4::mat4(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8,
           float m9, float m10, float m11, float m12, float m13, float m14, float m15)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15} {}

mat4 mat4::transpose() const {
    mat4 t;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            t.m[4 * c + r] = m[4 * r + c];
        }
    }
    return t;
}

mat3 mat4::toMat3() const {
    return {m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]};
}

mat4 mat4::operator*(mat4 const& b) const {
    mat4 p;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += m[4 * r + k] * b.m[4 * k + c];
            }
            p.m[4 * r + c] = sum;
        }
    }
    return p;
}

vec4 mat4::operator*(vec4 const& v) const {
    const float in[4] = {v.x, v.y, v.z, v.w};
    float out[4];
    for (int r = 0; r < 4; ++r) {
        out[r] =
            m[4 * r] * in[0] + m[4 * r + 1] * in[1] + m[4 * r + 2] * in[2] + m[4 * r + 3] * in[3];
    }
    return {out[0], out[1], out[2], out[3]};
}

void mat4::display() const {
    displayRows(m, 4);
}
