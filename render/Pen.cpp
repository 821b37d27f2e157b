#include "Pen.h"

#include "FilePath.h"
#include "ImageLoader.h"
#include "MathOps.h"
#include "Model.h"
#include "Shaders.h"

#include <utility>

namespace {

// Leaves the program empty when its files cannot be loaded.
template <typename Program>
std::string loadProgram(Program& program, const char* vertexName, const char* fragmentName) {
    LoadedProgram loaded = loadShaders(vertexName, fragmentName);
    if (loaded.failure.empty()) {
        program = Program(loaded.program);
    }
    return loaded.failure;
}

} // namespace

std::string Pen::init() {
    std::string failure = loadProgram(solidColorProgram, "vsSolidColor", "fsSolidColor");
    if (failure.empty()) {
        failure = loadProgram(simpleTextureProgram, "vsSimpleTexture", "fsSimpleTexture");
    }
    if (failure.empty()) {
        failure = loadProgram(lightProgram, "vsLight", "fsLight");
    }
    if (!failure.empty()) {
        return failure;
    }
    square.init(makeSquare(), 0);
    const std::pair<unsigned int*, const char*> images[] = {{&tilesTexture, tilesImage},
                                                            {&crosshairsTexture, crosshairsImage},
                                                            {&gunTexture, gunImage}};
    for (const auto& [texture, imageName] : images) {
        LoadedTexture loaded = loadTexture(getResourcePath(imageName));
        if (!loaded.failure.empty()) {
            return loaded.failure;
        }
        *texture = loaded.texture;
    }
    return "";
}

void Pen::fillRect(vec2 centre, vec2 size, vec4 color, float degrees) {
    solidColorProgram.bind(square);
    solidColorProgram.color(color.x, color.y, color.z, color.w);
    solidColorProgram.draw(view * translate(centre.x, centre.y, 0) * rotateZ(degrees) *
                           scale(size.x, size.y, 1));
}
