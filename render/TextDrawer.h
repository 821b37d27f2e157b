#ifndef CUBEFRAY_TEXTDRAWER_H
#define CUBEFRAY_TEXTDRAWER_H

#include "Pen.h"
#include "Vector.h"

#include <string>
#include <vector>

// Draws text from a font atlas of 16 x 16 tiles holding the characters 32 to 127 from its first
// tile on. Tiles count as initUVs lays them out: left to right, rows from the bottom of the image
// upwards. Characters without a glyph, line feeds aside, are skipped without taking room.
class TextDrawer {
  public:
    // One texture-coordinate buffer per atlas tile.
    std::vector<unsigned int> glyphBuffers;
    unsigned int fontTexture = 0;

    TextDrawer() = default;

    void init();
    // Each glyph is a square of side size, in the units of pen.view, centred on the cursor. The
    // cursor starts at position and moves advance to the right per glyph; a line feed starts a
    // new line advance lower.
    void draw(Pen& pen, std::string text, vec2 position, int size, int advance);
    // Deletes the GL objects. Call it while the context still exists: destroying a TextDrawer
    // leaves GL alone, because the context goes first.
    void release();
};

#endif
