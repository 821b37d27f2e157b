#include "MapMesh.h"

void MapMesh::init(MapManager& map) {
    mesh.init(map.buildModel(), 0);
}

void MapMesh::draw(Pen& pen) const {
    LightProgram& program = pen.lightProgram;
    program.bind(mesh);
    program.bindTexture(pen.tilesTexture);
    // A negative alpha makes the lit shader take the surface colour from the tile atlas.
    program.color(0, 0, 0, -1);
    program.draw(pen.view, -1);
}
