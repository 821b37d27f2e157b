#include "Collisions.h"

#include <cmath>

namespace {

const vec3 faceNormals[6] = {vec3(-1, 0, 0), vec3(1, 0, 0),  vec3(0, -1, 0),
                             vec3(0, 1, 0),  vec3(0, 0, -1), vec3(0, 0, 1)};

// Picks the exposed face with the smallest distance; (-1, 0, 0) when none is exposed.
vec3 nearestExposedFace(const Box& b, const float (&distances)[6]) {
    int best = 0;
    float smallest = 1e10f;
    for (int i = 0; i < 6; ++i) {
        if (b.exposedFaces[i] && distances[i] < smallest) {
            best = i;
            smallest = distances[i];
        }
    }
    return faceNormals[best];
}

} // namespace

vec3 faceNormal(int face) {
    return faceNormals[face];
}

bool intersects(Box box, vec3 p) {
    return box.min.x <= p.x && p.x <= box.max.x && box.min.y <= p.y && p.y <= box.max.y &&
           box.min.z <= p.z && p.z <= box.max.z;
}

bool intersects(Box a, Box b) {
    return a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y && b.min.y <= a.max.y &&
           a.min.z <= b.max.z && b.min.z <= a.max.z;
}

bool pointIsInSinglePlane(vec3 point, vec3 planePoint, vec3 normal) {
    return normal.dot(point - planePoint) >= 0;
}

bool Line_AABB_1d(float start, float dir, float min, float max, float& enter, float& exit) {
    if (std::fabs(double(dir)) < 1e-8) {
        return start >= min && start <= max;
    }
    float inv = 1 / dir;
    float t0 = (min - start) * inv;
    float t1 = (max - start) * inv;
    if (t0 > t1) {
        float swap = t0;
        t0 = t1;
        t1 = swap;
    }
    if (t0 > exit || t1 < enter) {
        return false;
    }
    if (t0 > enter) {
        enter = t0;
    }
    if (t1 < exit) {
        exit = t1;
    }
    return true;
}

bool Line_AABB(vec3 start, vec3 end, vec3 min, vec3 max, vec3& hit) {
    float enter = 0;
    float exit = 1;
    vec3 d = end - start;
    if (!Line_AABB_1d(start.x, d.x, min.x, max.x, enter, exit) ||
        !Line_AABB_1d(start.y, d.y, min.y, max.y, enter, exit) ||
        !Line_AABB_1d(start.z, d.z, min.z, max.z, enter, exit)) {
        return false;
    }
    hit = start + d * enter;
    return true;
}

bool intersectsLineAABB(vec3 a, vec3 b, Box box, vec3& point, vec3& normal) {
    const vec3 planePoints[6] = {vec3(box.min.x, 0, 0), vec3(box.max.x, 0, 0),
                                 vec3(0, box.min.y, 0), vec3(0, box.max.y, 0),
                                 vec3(0, 0, box.min.z), vec3(0, 0, box.max.z)};
    for (int i = 0; i < 6; ++i) {
        const vec3& q = planePoints[i];
        const vec3& n = faceNormals[i];
        bool aOut = pointIsInSinglePlane(a, q, n);
        bool bOut = pointIsInSinglePlane(b, q, n);
        if (aOut == bOut) {
            continue;
        }
        float t = n.dot(q - a) / n.dot(b - a);
        vec3 crossing = a + (b - a) * t;
        if (aOut) {
            a = crossing;
            normal = n;
        } else {
            b = crossing;
        }
    }
    point = a;
    return intersects(box, a);
}

vec3 normalOfAABBCollision(Box a, Box b) {
    const float penetration[6] = {a.max.x - b.min.x, b.max.x - a.min.x, a.max.y - b.min.y,
                                  b.max.y - a.min.y, a.max.z - b.min.z, b.max.z - a.min.z};
    return nearestExposedFace(b, penetration);
}

vec3 normalOfAABBCollision(Box b, vec3 p) {
    const float distance[6] = {p.x - b.min.x, b.max.x - p.x, p.y - b.min.y,
                               b.max.y - p.y, p.z - b.min.z, b.max.z - p.z};
    return nearestExposedFace(b, distance);
}

float distanceVec3(vec3 a, vec3 b) {
    vec3 d = a - b;
    return static_cast<float>(std::sqrt(double(d.x * d.x + d.y * d.y + d.z * d.z)));
}
