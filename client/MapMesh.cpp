#include "MapManager.h"
#include "Pen.h"

#include <epoxy/gl.h>

void MapManager::init(std::string text) {
    load(text);
    constructMesh();
}

void MapManager::constructMesh() {
    mesh.init(buildModel(), 0);
}

// The map covers most of the window, often several faces deep. Laying its depth down first with
// the cheap flat program means the lit program shades each visible pixel once. The two programs
// round positions differently, so the first pass is pushed back a little and the second accepts
// equal depths.
void MapManager::draw(Pen* pen) {
    SolidColorProgram& depthOnly = pen->solidColorProgram;
    depthOnly.bind(mesh);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    depthOnly.draw(pen->view);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    LightProgram& program = pen->lightProgram;
    program.bind(mesh);
    program.bindTexture(pen->tilesTexture);
    // A negative alpha makes the lit shader take the surface colour from the tile atlas.
    program.color(0, 0, 0, -1);
    glDepthFunc(GL_LEQUAL);
    program.draw(pen->view, -1);
    glDepthFunc(GL_LESS);
}
