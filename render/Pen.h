#ifndef CUBEFRAY_PEN_H
#define CUBEFRAY_PEN_H

#include "LightProgram.h"
#include "Matrix.h"
#include "Mesh.h"
#include "SimpleTextureProgram.h"
#include "SolidColorProgram.h"

#include <string>

// The pen's images, by resource name.
const char* const tilesImage = "tiles.png";
const char* const crosshairsImage = "crosshairs.png";
const char* const gunImage = "g36Tex.png";

// Everything drawing needs at hand: the three programs, the unit square, the camera and the
// shared textures. Built empty; init fills it once a GL context exists, and replaces the
// programs, projection included, so set the projection after it. init stops at the first file
// it cannot load and returns what the client says of it, empty when everything loaded.
class Pen {
  public:
    SolidColorProgram solidColorProgram;
    SimpleTextureProgram simpleTextureProgram;
    LightProgram lightProgram;
    Mesh square;
    mat4 view;
    unsigned int tilesTexture = 0;
    unsigned int crosshairsTexture = 0;
    unsigned int gunTexture = 0;

    Pen() = default;

    [[nodiscard]] std::string init();
    // No GL call: the programs pick the projection up when they next draw.
    void setPMat(mat4 m) {
        solidColorProgram.setPMat(m);
        simpleTextureProgram.setPMat(m);
        lightProgram.setPMat(m);
    }
    void setView(mat4 m) { view = m; }
    // A rectangle of the colour in the units of the view, turned by degrees about its centre;
    // blending is the caller's.
    void fillRect(vec2 centre, vec2 size, vec4 color, float degrees = 0);
};

#endif
