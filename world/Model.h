#ifndef CUBEFRAY_MODEL_H
#define CUBEFRAY_MODEL_H

#include "Vector.h"

#include <vector>

// Geometry on the CPU side, ready to be copied into vertex buffers. The arrays run in parallel:
// vertex k has its position at vertices[3k], its normal at normals[3k] and its texture
// coordinate at uvs[2k]; every three elements name one triangle.
//
// Winding: every triangle is clockwise seen from outside in the right-handed world. The camera
// matrix mirrors the picture, so on screen they arrive counter-clockwise and survive back-face
// culling.
struct Model {
    std::vector<float> vertices;
    std::vector<float> normals;
    std::vector<float> uvs;
    std::vector<unsigned int> elements;

    void pushVertices(vec3 a, vec3 b, vec3 c, vec3 d);
    void pushNormals(vec3 a, vec3 b, vec3 c, vec3 d);
    void pushUVs(vec2 a, vec2 b, vec2 c, vec2 d);
    // The quad a b c d as the triangles a b c and a c d. Indices are truncated towards zero;
    // negative or NaN ones become 0.
    void pushElements(float a, float b, float c, float d);
};

// Unit square in the plane z = 0, centred on the origin, facing -z.
Model makeSquare();
// Cube from -0.5 to 0.5 on every axis; each face has its own four vertices and the whole texture.
Model makeCube();
// Unit sphere with its poles on the y axis. Each ring repeats its first vertex at the end so the
// texture seam has u = 1 on one side and 0 on the other. Fewer than one ring or segment gives an
// empty model.
Model makeSphere(int rings, int segments);

// Texture coordinates of every tile of size tileWidth x tileHeight in a texture atlas, row by
// row, four corners a tile, pulled in by 0.001 so neighbouring tiles do not bleed in. A tile that
// does not fit, or a size that is not a positive finite number, gives no coordinates.
// The same triangles with every vertex that repeats another in all its attributes merged into
// one: the vertex shader then runs once for each. Elements naming no vertex name the first.
Model weldVertices(const Model& model);

std::vector<vec2> initUVs(float texWidth, float texHeight, float tileWidth, float tileHeight);

#endif
