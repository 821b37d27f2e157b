#ifndef CUBEFRAY_TEXTDRAWER_H
#define CUBEFRAY_TEXTDRAWER_H

#include "Mesh.h"
#include "Pen.h"
#include "ScreenRect.h"
#include "Vector.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

const char* const fontImage = "font_zub.png";

// Draws text from a font atlas of 16 x 16 tiles holding the characters 32 to 127 from its first
// tile on. Tiles count as initUVs lays them out: left to right, rows from the bottom of the image
// upwards. Characters without a glyph, line feeds aside, are skipped without taking room.
//
// A whole string goes to GL as one draw: on a software rasteriser each draw costs far more than
// the few pixels of a glyph, and an overlay holds hundreds of glyphs.
class TextDrawer {
  public:
    // Atlas coordinates of the four corners of every tile, in the order of the unit square's
    // corners.
    std::vector<vec2> glyphUVs;
    unsigned int fontTexture = 0;

    TextDrawer() = default;

    // Loads the font atlas and makes the buffers a string is drawn from; returns what the client
    // says of an atlas it cannot load, and makes nothing then, or empty.
    [[nodiscard]] std::string init();
    // Makes the buffers for the atlas coordinates in glyphUVs; init calls it.
    void initBuffers();
    // Each glyph is a square of side size, in the units of pen.view, centred on the cursor. The
    // cursor starts at position and moves advance to the right per glyph; a line feed starts a
    // new line advance lower.
    void draw(Pen& pen, std::string_view text, vec2 position, int size, int advance);
    // Where the text drawn since forgetDrawn() stands, in the units of pen.view: the places a
    // name tag keeps clear of. Areas that hold no glyph, such as a banner's backdrop, join through
    // keepClear(). Past the room for them the last area grows to hold the rest.
    void forgetDrawn() { drawnCount = 0; }
    void keepClear(const ScreenRect& area);
    const ScreenRect* drawnAreas() const { return drawn.data(); }
    size_t drawnAreaCount() const { return drawnCount; }
    // Deletes the GL objects. Call it while the context still exists: destroying a TextDrawer
    // leaves GL alone, because the context goes first.
    void release();

  private:
    static constexpr int batchGlyphs = 128;

    // Appends the glyph's square around the cursor; false for characters without a glyph.
    bool appendGlyph(unsigned char c, vec2 cursor, float size);
    void flush(Pen& pen);

    static constexpr size_t drawnRoom = 64;
    std::array<ScreenRect, drawnRoom> drawn{};
    size_t drawnCount = 0;
    Mesh batch;
    int batched = 0;
    // Four corners a glyph, three position and two atlas coordinates a corner.
    float positions[batchGlyphs * 4 * 3] = {};
    float uvs[batchGlyphs * 4 * 2] = {};
};

#endif
