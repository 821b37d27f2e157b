#include "ViewVolume.h"

#include <algorithm>
#include <iterator>

bool outsideView(vec3 min, vec3 max, const mat4& viewProjection) {
    int beyond[6] = {0, 0, 0, 0, 0, 0};
    for (int k = 0; k < 8; ++k) {
        vec3 corner(k & 1 ? max.x : min.x, k & 2 ? max.y : min.y, k & 4 ? max.z : min.z);
        vec4 clip = viewProjection * vec4(corner, 1);
        beyond[0] += clip.x < -clip.w;
        beyond[1] += clip.x > clip.w;
        beyond[2] += clip.y < -clip.w;
        beyond[3] += clip.y > clip.w;
        beyond[4] += clip.z < -clip.w;
        beyond[5] += clip.z > clip.w;
    }
    return std::any_of(std::begin(beyond), std::end(beyond), [](int n) { return n == 8; });
}

bool outsideView(vec3 centre, float radius, const mat4& viewProjection) {
    vec3 half(radius, radius, radius);
    return outsideView(centre - half, centre + half, viewProjection);
}
