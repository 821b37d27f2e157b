#include "MapChunks.h"

#include "Collisions.h"
#include "MathOps.h"
#include "ViewVolume.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

const size_t elementsPerQuad = 6;

vec3 vertexAt(const Model& model, unsigned int index) {
    size_t at = size_t(index) * 3;
    if (at + 2 >= model.vertices.size()) {
        return vec3();
    }
    return vec3(model.vertices[at], model.vertices[at + 1], model.vertices[at + 2]);
}

int columnOf(float coordinate, float edge) {
    return truncateToInt(std::floor(double(coordinate) / double(edge)));
}

// An eye that is no number (the server's word is untrusted) counts as infinitely far from
// everything, which keeps the order well defined.
float distanceToBox(vec3 point, vec3 min, vec3 max) {
    vec3 nearest(clamp(point.x, min.x, max.x), clamp(point.y, min.y, max.y),
                 clamp(point.z, min.z, max.z));
    float distance = distanceVec3(point, nearest);
    return std::isnan(distance) ? INFINITY : distance;
}

} // namespace

MapChunks::MapChunks(Model& model, float chunkEdge) {
    std::map<std::pair<int, int>, std::vector<unsigned int>> quadsByColumn;
    for (size_t first = 0; first + elementsPerQuad <= model.elements.size();
         first += elementsPerQuad) {
        vec3 centre;
        for (size_t k = 0; k < elementsPerQuad; ++k) {
            centre += vertexAt(model, model.elements[first + k]);
        }
        centre /= float(elementsPerQuad);
        std::vector<unsigned int>& run =
            quadsByColumn[{columnOf(centre.x, chunkEdge), columnOf(centre.z, chunkEdge)}];
        run.insert(run.end(), model.elements.begin() + long(first),
                   model.elements.begin() + long(first + elementsPerQuad));
    }
    std::vector<unsigned int> reordered;
    for (const auto& [column, elements] : quadsByColumn) {
        Chunk chunk;
        chunk.firstElement = int(reordered.size());
        chunk.elementCount = int(elements.size());
        chunk.min = chunk.max = vertexAt(model, elements.front());
        for (unsigned int index : elements) {
            vec3 v = vertexAt(model, index);
            chunk.min = vec3(std::min(chunk.min.x, v.x), std::min(chunk.min.y, v.y),
                             std::min(chunk.min.z, v.z));
            chunk.max = vec3(std::max(chunk.max.x, v.x), std::max(chunk.max.y, v.y),
                             std::max(chunk.max.z, v.z));
        }
        reordered.insert(reordered.end(), elements.begin(), elements.end());
        all.push_back(chunk);
    }
    model.elements = std::move(reordered);
    visible.reserve(all.size());
    distances.resize(all.size());
}

const std::vector<int>& MapChunks::visibleNearestFirst(vec3 eye, const mat4& viewProjection) {
    visible.clear();
    for (size_t i = 0; i < all.size(); ++i) {
        if (!outsideView(all[i].min, all[i].max, viewProjection)) {
            visible.push_back(int(i));
            distances[i] = distanceToBox(eye, all[i].min, all[i].max);
        }
    }
    std::sort(visible.begin(), visible.end(),
              [this](int a, int b) { return distances[size_t(a)] < distances[size_t(b)]; });
    return visible;
}
