#include "Pen.h"

#include "FilePath.h"
#include "ImageLoader.h"
#include "MathOps.h"
#include "Model.h"
#include "Shaders.h"

void Pen::init() {
    solidColorProgram = SolidColorProgram(loadShaders("vsSolidColor", "fsSolidColor"));
    simpleTextureProgram = SimpleTextureProgram(loadShaders("vsSimpleTexture", "fsSimpleTexture"));
    lightProgram = LightProgram(loadShaders("vsLight", "fsLight"));
    square.init(makeSquare(), 0);
    tilesTexture = loadTexture(getResourcePath(tilesImage));
    crosshairsTexture = loadTexture(getResourcePath(crosshairsImage));
    gunTexture = loadTexture(getResourcePath(gunImage));
}

void Pen::fillRect(vec2 centre, vec2 size, vec4 color, float degrees) {
    solidColorProgram.bind(square);
    solidColorProgram.color(color.x, color.y, color.z, color.w);
    solidColorProgram.draw(view * translate(centre.x, centre.y, 0) * rotateZ(degrees) *
                           scale(size.x, size.y, 1));
}
