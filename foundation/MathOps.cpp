#include "MathOps.h"

#include <climits>
#include <cmath>

namespace {

const double radiansPerDegree = 0.017453292519943295;

float roundedQuotient(float numerator, float denominator) {
    return static_cast<float>(double(numerator) / double(denominator));
}

struct SinCos {
    float s, c;
};

SinCos sinCosOfDegrees(float degrees) {
    double rad = degrees * radiansPerDegree;
    return {static_cast<float>(std::sin(rad)), static_cast<float>(std::cos(rad))};
}

template <typename Vec> Vec slerpVector(Vec a, Vec b, float t) {
    float d = clamp(a.dot(b), -1.0f, 1.0f);
    float theta = std::acos(d) * t;
    Vec rel = normalized(b - a * d);
    return a * std::cos(theta) + rel * std::sin(theta);
}

template <typename Vec> Vec reflectVector(Vec incident, Vec normal) {
    return incident - (normal * 2) * normal.dot(incident);
}

} // namespace

mat4 perspective(float l, float r, float b, float t, float n, float f) {
    return {2 * n / (r - l),
            0,
            (r + l) / (r - l),
            0, //
            0,
            2 * n / (t - b),
            (t + b) / (t - b),
            0, //
            0,
            0,
            -(f + n) / (f - n),
            -(2 * f * n) / (f - n), //
            0,
            0,
            -1,
            0};
}

mat4 perspective(float aspect, float fovY, float zNear, float zFar) {
    float h = static_cast<float>(std::tan(double(fovY / 360.0f) * pi) * zNear);
    float w = h * aspect;
    return perspective(-w, w, -h, h, zNear, zFar);
}

mat4 ortho(float l, float r, float b, float t, float n, float f) {
    return {roundedQuotient(2, r - l),
            0,
            0,
            -(r + l) / (r - l), //
            0,
            roundedQuotient(2, t - b),
            0,
            -(t + b) / (t - b), //
            0,
            0,
            roundedQuotient(-2, f - n),
            -(f + n) / (f - n), //
            0,
            0,
            0,
            1};
}

mat4 ortho(float aspect, float zNear, float zFar) {
    if (aspect <= 1) {
        return ortho(-1, 1, 1 / aspect, -1 / aspect, zNear, zFar);
    }
    return ortho(-aspect, aspect, 1, -1, zNear, zFar);
}

mat4 lookAt(vec3 eye, vec3 center, vec3 up) {
    vec3 f = normalized(eye - center);
    vec3 s = normalized(f.cross(up));
    vec3 u = s.cross(f);
    mat4 rotation(s.x, s.y, s.z, 0, u.x, u.y, u.z, 0, f.x, f.y, f.z, 0, 0, 0, 0, 1);
    return rotation * translate(-eye.x, -eye.y, -eye.z);
}

mat4 translate(float x, float y, float z) {
    return {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1};
}

mat4 translate(vec3 v) {
    return translate(v.x, v.y, v.z);
}

mat4 scale(float x, float y, float z) {
    return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1};
}

mat4 scale(float s) {
    return scale(s, s, s);
}

mat4 rotateX(float degrees) {
    SinCos a = sinCosOfDegrees(degrees);
    return {1, 0, 0, 0, 0, a.c, -a.s, 0, 0, a.s, a.c, 0, 0, 0, 0, 1};
}

mat4 rotateY(float degrees) {
    SinCos a = sinCosOfDegrees(degrees);
    return {a.c, 0, a.s, 0, 0, 1, 0, 0, -a.s, 0, a.c, 0, 0, 0, 0, 1};
}

mat4 rotateZ(float degrees) {
    SinCos a = sinCosOfDegrees(degrees);
    return {a.c, -a.s, 0, 0, a.s, a.c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}
vec2 lerp(vec2 a, vec2 b, float t) {
    return a + (b - a) * t;
}
vec3 lerp(vec3 a, vec3 b, float t) {
    return a + (b - a) * t;
}
vec4 lerp(vec4 a, vec4 b, float t) {
    return a + (b - a) * t;
}

quat lerp(quat a, quat b, float t) {
    float rest = static_cast<float>(1.0 - t);
    return {a.x * rest + b.x * t, a.y * rest + b.y * t, a.z * rest + b.z * t, a.w * rest + b.w * t};
}

vec2 nlerp(vec2 a, vec2 b, float t) {
    return normalized(lerp(a, b, t));
}
vec3 nlerp(vec3 a, vec3 b, float t) {
    return normalized(lerp(a, b, t));
}
vec4 nlerp(vec4 a, vec4 b, float t) {
    return normalized(lerp(a, b, t));
}

quat nlerp(quat a, quat b, float t) {
    quat q = lerp(a, b, t);
    q.normalize();
    return q;
}

vec2 slerp(vec2 a, vec2 b, float t) {
    return slerpVector(a, b, t);
}
vec3 slerp(vec3 a, vec3 b, float t) {
    return slerpVector(a, b, t);
}
vec4 slerp(vec4 a, vec4 b, float t) {
    return slerpVector(a, b, t);
}

quat slerp(quat a, quat b, float t) {
    vec4 from(a.x, a.y, a.z, a.w);
    vec4 to(b.x, b.y, b.z, b.w);
    from.normalize();
    to.normalize();
    // q and -q are the same rotation: take the one that lies on the shorter arc.
    if (from.dot(to) < 0) {
        to = to * -1.0f;
    }
    vec4 r = normalized(slerpVector(from, to, t));
    return {r.x, r.y, r.z, r.w};
}

vec2 reflect(vec2 incident, vec2 normal) {
    return reflectVector(incident, normal);
}
vec3 reflect(vec3 incident, vec3 normal) {
    return reflectVector(incident, normal);
}
vec4 reflect(vec4 incident, vec4 normal) {
    return reflectVector(incident, normal);
}

float clamp(float x, float lo, float hi) {
    if (lo > x) {
        return lo;
    }
    if (x > hi) {
        return hi;
    }
    return x;
}

int clamp(int x, int lo, int hi) {
    if (x < lo) {
        return lo;
    }
    if (x > hi) {
        return hi;
    }
    return x;
}

vec2 clamp(vec2 v, float lo, float hi) {
    return {clamp(v.x, lo, hi), clamp(v.y, lo, hi)};
}

vec3 clamp(vec3 v, float lo, float hi) {
    return {clamp(v.x, lo, hi), clamp(v.y, lo, hi), clamp(v.z, lo, hi)};
}

vec4 clamp(vec4 v, float lo, float hi) {
    return {clamp(v.x, lo, hi), clamp(v.y, lo, hi), clamp(v.z, lo, hi), clamp(v.w, lo, hi)};
}

int truncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= double(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= double(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

unsigned int truncateToUnsigned(double value) {
    if (std::isnan(value) || value <= 0) {
        return 0;
    }
    if (value >= double(UINT_MAX)) {
        return UINT_MAX;
    }
    return static_cast<unsigned int>(value);
}

vec2 projectToViewport(const mat4& toClip, vec3 point, vec2 size) {
    vec4 clip = toClip * vec4(point, 1);
    return vec2((clip.x / clip.w + 1) * (size.x - 1) / 2, (clip.y / clip.w + 1) * (size.y - 1) / 2);
}
