#include "MapManager.h"
#include "Pen.h"

void MapManager::init(std::string text) {
    load(text);
    constructMesh();
}

void MapManager::constructMesh() {
    mesh.init(buildModel(), 0);
}

void MapManager::draw(Pen* pen) {
    LightProgram& program = pen->lightProgram;
    program.bind(mesh);
    program.bindTexture(pen->tilesTexture);
    // A negative alpha makes the lit shader take the surface colour from the tile atlas.
    program.color(0, 0, 0, -1);
    program.draw(pen->view, -1);
}
