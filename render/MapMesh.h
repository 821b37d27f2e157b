#ifndef CUBEFRAY_MAPMESH_H
#define CUBEFRAY_MAPMESH_H

#include "MapManager.h"
#include "Mesh.h"
#include "Pen.h"

// The map's exposed faces on the GPU, lit and textured from the tile atlas.
class MapMesh {
  public:
    // Builds the geometry (marking the exposed faces in the map's cells) and uploads it; needs
    // the GL context.
    void init(MapManager& map);
    void draw(Pen& pen) const;
    const Mesh& getMesh() const { return mesh; }

  private:
    Mesh mesh;
};

#endif
