#ifndef CUBEFRAY_VECTOR_H
#define CUBEFRAY_VECTOR_H

#include <ostream>

struct vec2 {
    float x, y;

    vec2() : x(0), y(0) {}
    vec2(float x, float y) : x(x), y(y) {}

    vec2 operator+(vec2 const& v) const { return {x + v.x, y + v.y}; }
    vec2 operator-(vec2 const& v) const { return {x - v.x, y - v.y}; }
    vec2 operator*(float const& s) const { return {x * s, y * s}; }
    vec2& operator/=(float const& s);
    float dot(vec2 v) const { return x * v.x + y * v.y; }
    void normalize();
};

struct vec3 {
    float x, y, z;

    vec3() : x(0), y(0), z(0) {}
    explicit vec3(float s) : x(s), y(s), z(s) {}
    vec3(float x, float y, float z) : x(x), y(y), z(z) {}

    vec3 operator+(vec3 const& v) const { return {x + v.x, y + v.y, z + v.z}; }
    vec3 operator-(vec3 const& v) const { return {x - v.x, y - v.y, z - v.z}; }
    vec3 operator*(float const& s) const { return {x * s, y * s, z * s}; }
    vec3 operator/(vec3 const& v) const { return {x / v.x, y / v.y, z / v.z}; }
    vec3 operator/(float const& s) const { return {x / s, y / s, z / s}; }
    vec3& operator+=(vec3 const& v);
    vec3& operator-=(vec3 const& v);
    vec3& operator/=(float const& s);
    float dot(vec3 v) const { return x * v.x + y * v.y + z * v.z; }
    vec3 cross(vec3 b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
    float length() const;
    void normalize();
};

struct vec4 {
    float x, y, z, w;

    vec4() : x(0), y(0), z(0), w(0) {}
    vec4(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
    vec4(vec3 v, float w) : x(v.x), y(v.y), z(v.z), w(w) {}

    vec4 operator+(vec4 const& v) const { return {x + v.x, y + v.y, z + v.z, w + v.w}; }
    vec4 operator-(vec4 const& v) const { return {x - v.x, y - v.y, z - v.z, w - v.w}; }
    vec4 operator*(float const& s) const { return {x * s, y * s, z * s, w * s}; }
    vec4& operator+=(vec4 const& v);
    vec4& operator/=(float const& s);
    float dot(vec4 v) const { return x * v.x + y * v.y + z * v.z + w * v.w; }
    void normalize();
};

// A normalised copy; a zero vector stays zero.
template <typename Vec> Vec normalized(Vec v) {
    v.normalize();
    return v;
}

std::ostream& operator<<(std::ostream& out, vec2 const& v);
std::ostream& operator<<(std::ostream& out, vec3 const& v);
std::ostream& operator<<(std::ostream& out, vec4 const& v);

#endif
