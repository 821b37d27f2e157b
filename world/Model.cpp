#include "Model.h"

#include "MathOps.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <map>

namespace {

void appendAll(std::vector<float>& out, std::initializer_list<vec3> points) {
    for (vec3 p : points) {
        out.insert(out.end(), {p.x, p.y, p.z});
    }
}

bool isPositiveFinite(float value) {
    return std::isfinite(value) && value > 0;
}

} // namespace

void Model::pushVertices(vec3 a, vec3 b, vec3 c, vec3 d) {
    appendAll(vertices, {a, b, c, d});
}

void Model::pushNormals(vec3 a, vec3 b, vec3 c, vec3 d) {
    appendAll(normals, {a, b, c, d});
}

void Model::pushUVs(vec2 a, vec2 b, vec2 c, vec2 d) {
    uvs.insert(uvs.end(), {a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y});
}

void Model::pushElements(float a, float b, float c, float d) {
    unsigned int ia = truncateToUnsigned(a);
    unsigned int ib = truncateToUnsigned(b);
    unsigned int ic = truncateToUnsigned(c);
    unsigned int id = truncateToUnsigned(d);
    elements.insert(elements.end(), {ia, ib, ic, ia, ic, id});
}

Model makeSquare() {
    static const float positions[] = {-0.5f, -0.5f, 0, 0.5f,  -0.5f, 0,
                                      0.5f,  0.5f,  0, -0.5f, 0.5f,  0};
    static const float coordinates[] = {0, 0, 1, 0, 1, 1, 0, 1};
    static const float normals[] = {0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1};
    Model model;
    model.vertices.assign(std::begin(positions), std::end(positions));
    model.uvs.assign(std::begin(coordinates), std::end(coordinates));
    model.normals.assign(std::begin(normals), std::end(normals));
    model.elements = {0, 1, 2, 0, 2, 3};
    return model;
}

Model makeCube() {
    // Corner k has bit 0 set for x = +0.5, bit 1 for y = +0.5 and bit 2 for z = +0.5.
    vec3 corner[8];
    for (int k = 0; k < 8; ++k) {
        corner[k] = vec3(k & 1 ? 0.5f : -0.5f, k & 2 ? 0.5f : -0.5f, k & 4 ? 0.5f : -0.5f);
    }
    struct Face {
        int a, b, c, d;
        vec3 normal;
    };
    const Face faces[] = {
        {4, 0, 2, 6, vec3(-1, 0, 0)}, {1, 5, 7, 3, vec3(1, 0, 0)},  {0, 4, 5, 1, vec3(0, -1, 0)},
        {2, 3, 7, 6, vec3(0, 1, 0)},  {0, 1, 3, 2, vec3(0, 0, -1)}, {5, 4, 6, 7, vec3(0, 0, 1)},
    };
    const std::vector<vec2> whole = initUVs(1, 1, 1, 1);

    Model model;
    float first = 0;
    for (const Face& f : faces) {
        model.pushVertices(corner[f.a], corner[f.b], corner[f.c], corner[f.d]);
        model.pushUVs(whole[0], whole[1], whole[2], whole[3]);
        model.pushNormals(f.normal, f.normal, f.normal, f.normal);
        model.pushElements(first, first + 1, first + 2, first + 3);
        first += 4;
    }
    return model;
}

Model makeSphere(int rings, int segments) {
    Model model;
    if (rings < 1 || segments < 1) {
        return model;
    }
    // Every step is rounded to float at a fixed point, so each build produces the same vertices
    // bit for bit whatever the compiler keeps in wider registers.
    const float dTheta = static_cast<float>(pi / rings);
    const float dPhi = static_cast<float>(2 * pi / segments);
    // 64-bit counters: the loops run to the requested counts inclusive, which must not overflow.
    const long long ringCount = rings;
    const long long segmentCount = segments;
    const unsigned int rowStep = static_cast<unsigned int>(segmentCount + 1);
    unsigned int idx = 0;

    for (long long i = 0; i <= ringCount; ++i) {
        const float theta = static_cast<float>(i) * dTheta;
        const float cosTheta = static_cast<float>(std::cos(double(theta)));
        const float sinTheta = static_cast<float>(std::sin(double(theta)));
        const float v =
            static_cast<float>(1.0 - double(static_cast<float>(i) / static_cast<float>(ringCount)));

        for (long long j = 0; j <= segmentCount; ++j) {
            const float phi = dPhi * static_cast<float>(j);
            const float x = static_cast<float>(std::cos(double(phi)) * double(sinTheta));
            const float z = static_cast<float>(std::sin(double(phi)) * -double(sinTheta));
            const float u = static_cast<float>(
                1.0 - double(static_cast<float>(j) / static_cast<float>(segmentCount)));
            if (i > 0) {
                model.elements.insert(model.elements.end(), {idx, idx - rowStep, idx + 1});
                if (i < ringCount) {
                    model.elements.insert(model.elements.end(), {idx, idx + 1, idx + rowStep + 1});
                }
            }
            model.vertices.insert(model.vertices.end(), {x, cosTheta, z});
            model.uvs.insert(model.uvs.end(), {u, v});
            model.normals.insert(model.normals.end(), {x, cosTheta, z});
            ++idx;
        }
        model.vertices.insert(model.vertices.end(), {sinTheta, cosTheta, 0});
        model.uvs.insert(model.uvs.end(), {1, v});
        model.normals.insert(model.normals.end(), {sinTheta, cosTheta, 0});
        ++idx;
    }
    return model;
}

std::vector<vec2> initUVs(float texWidth, float texHeight, float tileWidth, float tileHeight) {
    std::vector<vec2> coords;
    if (!isPositiveFinite(texWidth) || !isPositiveFinite(texHeight) ||
        !isPositiveFinite(tileWidth) || !isPositiveFinite(tileHeight)) {
        return coords;
    }
    const unsigned int count = truncateToUnsigned(texWidth * texHeight / (tileWidth * tileHeight));
    const unsigned int perRow = truncateToUnsigned(texWidth / tileWidth);
    if (perRow < 1 || count < 1) {
        return coords;
    }
    const float du = tileWidth / texWidth;
    const float dv = tileHeight / texHeight;
    const float e = 0.001f;
    coords.reserve(std::size_t(count) * 4);
    float u = 0;
    float v = 0;
    for (unsigned int k = 0; k < count; ++k) {
        coords.insert(coords.end(), {vec2(u + e, v + e), vec2(u - e + du, v + e),
                                     vec2(u - e + du, v - e + dv), vec2(u + e, v - e + dv)});
        if ((k + 1) % perRow == 0) {
            v += dv;
            u = 0;
        } else {
            u += du;
        }
    }
    return coords;
}

Model weldVertices(const Model& model) {
    using Corner = std::array<float, 8>;
    const size_t count = model.vertices.size() / 3;
    auto attribute = [](const std::vector<float>& values, size_t at) {
        return at < values.size() ? values[at] : 0.0f;
    };
    Model welded;
    std::map<Corner, unsigned int> indexOf;
    std::vector<unsigned int> renumbered(count);
    for (size_t v = 0; v < count; ++v) {
        Corner corner;
        for (size_t k = 0; k < 3; ++k) {
            corner[k] = model.vertices[3 * v + k];
            corner[5 + k] = attribute(model.normals, 3 * v + k);
        }
        corner[3] = attribute(model.uvs, 2 * v);
        corner[4] = attribute(model.uvs, 2 * v + 1);
        auto [place, isNew] = indexOf.emplace(corner, unsigned(indexOf.size()));
        if (isNew) {
            welded.vertices.insert(welded.vertices.end(), corner.begin(), corner.begin() + 3);
            welded.uvs.insert(welded.uvs.end(), corner.begin() + 3, corner.begin() + 5);
            welded.normals.insert(welded.normals.end(), corner.begin() + 5, corner.end());
        }
        renumbered[v] = place->second;
    }
    for (unsigned int element : model.elements) {
        welded.elements.push_back(element < count ? renumbered[element] : 0);
    }
    return welded;
}
