#ifndef CUBEFRAY_MAPMESH_H
#define CUBEFRAY_MAPMESH_H

#include "MapChunks.h"
#include "MapManager.h"
#include "Mesh.h"
#include "Pen.h"

#include <optional>

// The map's exposed faces on the GPU, lit and textured from the tile atlas, drawn chunk by chunk:
// those in view only, nearest first.
class MapMesh {
  public:
    // Builds the geometry (marking the exposed faces in the map's cells) and uploads it; needs
    // the GL context.
    void init(MapManager& map);
    // Draws with the pen's view and the lit program's projection, as seen from the eye.
    void draw(Pen& pen, vec3 eye);
    const Mesh& getMesh() const { return mesh; }

  private:
    Mesh mesh;
    std::optional<MapChunks> chunks;
};

#endif
