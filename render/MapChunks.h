#ifndef CUBEFRAY_MAPCHUNKS_H
#define CUBEFRAY_MAPCHUNKS_H

#include "Box.h"
#include "Matrix.h"
#include "Model.h"
#include "Vector.h"

#include <vector>

// The map's faces grouped into columns of cells, so that a frame can skip the groups outside the
// view and draw the others nearest first. On a software rasteriser a fragment hidden behind one
// already drawn fails its depth test before it is shaded, so near-to-far order saves most of
// the shading of hidden walls and floors.
class MapChunks {
  public:
    // A run of elements of the reordered model, and the box around its faces.
    struct Chunk {
        int firstElement = 0;
        int elementCount = 0;
        vec3 min;
        vec3 max;
    };

    // Reorders the elements of model, quads of six elements as the map is built, so that each
    // chunk's faces are one run; faces are grouped by the column of chunkEdge units they centre
    // in.
    MapChunks(Model& model, float chunkEdge);

    const std::vector<Chunk>& chunks() const { return all; }
    // The chunks that may show through the camera, nearest to the eye first. The returned list
    // is kept between calls, so no frame allocates.
    const std::vector<int>& visibleNearestFirst(vec3 eye, const mat4& viewProjection);

  private:
    std::vector<Chunk> all;
    std::vector<int> visible;
    std::vector<float> distances;
};

#endif
