#include "MapMesh.h"

namespace {

// Four cells a side: small enough that a view along a wall skips most of the map, large enough
// that the draws stay few.
const float chunkEdge = 4 * cellSize;

} // namespace

void MapMesh::init(MapManager& map) {
    Model model = map.buildModel();
    chunks.emplace(model, chunkEdge);
    mesh.init(model, 0);
}

void MapMesh::draw(Pen& pen, vec3 eye) {
    LightProgram& program = pen.lightProgram;
    program.bind(mesh);
    program.bindTexture(pen.tilesTexture);
    // A negative alpha makes the lit shader take the surface colour from the tile atlas.
    program.color(0, 0, 0, -1);
    program.setTransform(pen.view, -1);
    if (!chunks) {
        return;
    }
    for (int index : chunks->visibleNearestFirst(eye, program.pMat * pen.view)) {
        const MapChunks::Chunk& chunk = chunks->chunks()[size_t(index)];
        program.drawElements(chunk.firstElement, chunk.elementCount);
    }
}
