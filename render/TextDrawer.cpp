#include "TextDrawer.h"

#include "FilePath.h"
#include "ImageLoader.h"
#include "Model.h"

#include <epoxy/gl.h>

#include <iostream>
#include <optional>

namespace {

constexpr unsigned char firstGlyph = 32;
constexpr unsigned char lastGlyph = 127;
// The corners of the unit square that every glyph is drawn on, in its vertex order.
const vec2 squareCorners[4] = {vec2(-0.5f, -0.5f), vec2(0.5f, -0.5f), vec2(0.5f, 0.5f),
                               vec2(-0.5f, 0.5f)};

// Fresh storage for each string: rewriting a buffer that an earlier draw of the frame still
// reads would make the driver finish that draw first.
void upload(GLenum target, GLuint buffer, const void* data, size_t bytes) {
    glBindBuffer(target, buffer);
    glBufferData(target, GLsizeiptr(bytes), data, GL_STREAM_DRAW);
}

} // namespace

std::string TextDrawer::init() {
    LoadedTexture font = loadTexture(getResourcePath(fontImage));
    if (!font.failure.empty()) {
        return font.failure;
    }
    fontTexture = font.texture;
    glyphUVs = initUVs(1024, 1024, 64, 64);
    initBuffers();
    return "";
}

void TextDrawer::initBuffers() {
    std::cout << "uvs.size(): " << glyphUVs.size() << std::endl;
    std::cout << "sprites.size(): " << glyphUVs.size() / 4 << std::endl;
    Model quads;
    for (unsigned int glyph = 0; glyph < batchGlyphs; ++glyph) {
        float first = float(4 * glyph);
        quads.pushElements(first, first + 1, first + 2, first + 3);
    }
    quads.vertices.assign(std::size(positions), 0);
    quads.uvs.assign(std::size(uvs), 0);
    batch.init(quads, 0);
}

bool TextDrawer::appendGlyph(unsigned char c, vec2 cursor, float size) {
    const size_t glyph = size_t(c) - firstGlyph;
    if (c < firstGlyph || c > lastGlyph || 4 * glyph + 3 >= glyphUVs.size()) {
        return false;
    }
    for (size_t k = 0; k < 4; ++k) {
        const size_t corner = size_t(batched) * 4 + k;
        positions[3 * corner] = cursor.x + squareCorners[k].x * size;
        positions[3 * corner + 1] = cursor.y + squareCorners[k].y * size;
        positions[3 * corner + 2] = 0;
        uvs[2 * corner] = glyphUVs[4 * glyph + k].x;
        uvs[2 * corner + 1] = glyphUVs[4 * glyph + k].y;
    }
    ++batched;
    return true;
}

void TextDrawer::flush(Pen& pen) {
    if (batched == 0) {
        return;
    }
    const size_t corners = size_t(batched) * 4;
    upload(GL_ARRAY_BUFFER, batch.vertexBuffer, positions, corners * 3 * sizeof(float));
    upload(GL_ARRAY_BUFFER, batch.uvBuffer, uvs, corners * 2 * sizeof(float));
    Mesh glyphs = batch;
    glyphs.elementCount = batched * 6;
    pen.simpleTextureProgram.bind(glyphs);
    pen.simpleTextureProgram.draw(pen.view);
    batched = 0;
}

void TextDrawer::draw(Pen& pen, std::string_view text, vec2 position, int size, int advance) {
    if (!batch.initialised) {
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    pen.simpleTextureProgram.bindTexture(fontTexture);
    vec2 cursor = position;
    const vec2 half(float(size) / 2, float(size) / 2);
    std::optional<ScreenRect> covered;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            cursor.x = position.x;
            cursor.y -= static_cast<float>(advance);
            continue;
        }
        if (!appendGlyph(c, cursor, float(size))) {
            continue;
        }
        ScreenRect glyph{cursor - half, cursor + half};
        covered = covered ? covered->joined(glyph) : glyph;
        cursor.x += static_cast<float>(advance);
        if (batched == batchGlyphs) {
            flush(pen);
        }
    }
    flush(pen);
    glDisable(GL_BLEND);
    if (covered) {
        keepClear(*covered);
    }
}

void TextDrawer::keepClear(const ScreenRect& area) {
    if (drawnCount < drawnRoom) {
        drawn[drawnCount++] = area;
    } else {
        drawn[drawnRoom - 1] = drawn[drawnRoom - 1].joined(area);
    }
}

void TextDrawer::release() {
    glDeleteTextures(1, &fontTexture);
    fontTexture = 0;
    if (batch.initialised) {
        GLuint buffers[] = {batch.vertexBuffer, batch.uvBuffer, batch.normalBuffer,
                            batch.elementBuffer};
        glDeleteBuffers(4, buffers);
    }
    batch = Mesh();
    glyphUVs.clear();
}
