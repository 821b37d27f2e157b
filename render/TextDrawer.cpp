#include "TextDrawer.h"

#include "FilePath.h"
#include "ImageLoader.h"
#include "MathOps.h"
#include "Model.h"
#include "Sprites.h"

#include <epoxy/gl.h>

namespace {

constexpr unsigned char firstGlyph = 32;
constexpr unsigned char lastGlyph = 127;

} // namespace

void TextDrawer::init() {
    fontTexture = loadTexture(getResourcePath("font_zub.png"));
    setSprites(glyphBuffers, initUVs(1024, 1024, 64, 64));
}

void TextDrawer::draw(Pen& pen, std::string text, vec2 position, int size, int advance) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    pen.simpleTextureProgram.bindTexture(fontTexture);
    pen.simpleTextureProgram.bind(pen.square);
    const mat4 glyphScale = scale(static_cast<float>(size));
    vec2 cursor = position;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            cursor.x = position.x;
            cursor.y -= static_cast<float>(advance);
            continue;
        }
        const size_t glyph = static_cast<size_t>(c) - firstGlyph;
        if (c < firstGlyph || c > lastGlyph || glyph >= glyphBuffers.size()) {
            continue;
        }
        pen.simpleTextureProgram.bindUVB(glyphBuffers[glyph]);
        pen.simpleTextureProgram.draw(pen.view * translate(cursor.x, cursor.y, 0) * glyphScale);
        cursor.x += static_cast<float>(advance);
    }
    glDisable(GL_BLEND);
}

void TextDrawer::release() {
    glDeleteTextures(1, &fontTexture);
    fontTexture = 0;
    if (!glyphBuffers.empty()) {
        glDeleteBuffers(static_cast<GLsizei>(glyphBuffers.size()), glyphBuffers.data());
    }
    glyphBuffers.clear();
}
