#include "Pen.h"

#include "FilePath.h"
#include "ImageLoader.h"
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
