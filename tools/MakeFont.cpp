// Writes font_zub.png, the bitmap font: a 16 x 16 grid of 64-pixel cells where cell k sits in
// column k % 16 and row k / 16 counted from the bottom of the picture, and character c occupies
// cell c - 32. The glyphs are the project's own stroke design: each is a list of pen strokes
// (below) that is drawn with a round pen of constant width and anti-aliased by the distance of
// each pixel centre to the strokes. The shape lives in the alpha channel; colour is white.

#include "GeneratorSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

const int atlasSize = 1024;
const int cellSize = 64;
const int cellsPerRow = 16;
const int firstCode = 32;
const int lastCode = 127;

// Glyph design space: the baseline is y = 0, the x-height 26, capitals and digits reach 36,
// descenders -12; x runs from 0 to 36 for a full-width letter. It is mapped into the cell so
// that the ink of a full-width letter covers the middle 45 pixels.
const double designWidth = 36;
const double inkWidth = 38; // pixels between the centre lines of the outermost strokes
const double leftEdge = (cellSize - inkWidth) / 2;
const double baseline = 18; // pixels above the bottom of the cell
const double penWidth = 7.5;

// The strokes of each glyph, in a small pen language:
//   M x y                    lift the pen and put it down at (x, y); alone it makes a dot
//   L x y                    draw a straight line to (x, y)
//   A cx cy rx ry from to    draw along the ellipse around (cx, cy) from angle `from` to angle
//                            `to` (degrees, counter-clockwise from +x; `to` < `from` runs
//                            clockwise); a line joins the previous point to the arc's start
struct GlyphStrokes {
    char code;
    const char* strokes;
};

const GlyphStrokes glyphs[] = {
    {'!', "M 18 36 L 18 12 M 18 0"},
    {'"', "M 11 36 L 11 25 M 25 36 L 25 25"},
    {'#', "M 14 36 L 10 0 M 28 36 L 24 0 M 1 25 L 35 25 M 0 11 L 34 11"},
    {'$', "A 18 26.5 13 7.5 20 270 A 18 11.5 14 7.5 90 -160 M 18 40 L 18 -4"},
    {'%', "M 34 36 L 2 0 A 8 29 6.5 7 0 360 A 28 7 6.5 7 0 360"},
    {'&', "M 34 0 L 11 24 L 10 30 L 14 35 L 20 35 L 24 30 L 22 25 L 6 14 L 3 7 L 6 1 L 14 0 "
          "L 22 3 L 34 16"},
    {'\'', "M 18 36 L 18 25"},
    {'(', "A 34 18 20 26 120 240"},
    {')', "A 2 18 20 26 60 -60"},
    {'*', "M 18 32 L 18 8 M 8 26 L 28 14 M 8 14 L 28 26"},
    {'+', "M 18 30 L 18 6 M 6 18 L 30 18"},
    {',', "M 19 2 L 19 0 L 14 -8"},
    {'-', "M 8 15 L 28 15"},
    {'.', "M 18 0"},
    {'/', "M 32 38 L 4 -2"},
    {'0', "A 18 18 15 18 0 360 M 26 30 L 10 6"},
    {'1', "M 8 28 L 19 36 L 19 0 M 8 0 L 30 0"},
    {'2', "A 18 25 15 11 160 -25 L 2 0 L 34 0"},
    {'3', "A 17 27 14 9 150 -90 A 17 9.5 16 9.5 90 -150"},
    {'4', "M 26 0 L 26 36 L 2 10 L 35 10"},
    {'5', "M 32 36 L 6 36 L 5 20 A 17 12 16 12 140 -145"},
    {'6', "A 30 12 28 24 100 180 A 18 12 16 12 180 540"},
    {'7', "M 2 36 L 34 36 L 12 0"},
    {'8', "A 18 27.5 13 8.5 -90 270 A 18 9.5 16 9.5 90 450"},
    {'9', "A 18 24 16 12 0 360 A 6 24 28 24 0 -80"},
    {':', "M 18 20 M 18 2"},
    {';', "M 18 20 M 19 2 L 19 0 L 14 -8"},
    {'<', "M 32 32 L 4 18 L 32 4"},
    {'=', "M 6 25 L 30 25 M 6 11 L 30 11"},
    {'>', "M 4 32 L 32 18 L 4 4"},
    {'?', "A 18 26 14 10 160 -70 L 18 12 M 18 0"},
    {'@', "A 18 18 7 8 0 360 M 25 26 L 25 12 A 30 12 5 5 180 360 A 18 18 17 18 0 300"},
    {'A', "M 1 0 L 18 36 L 35 0 M 8 13 L 28 13"},
    {'B', "M 4 18 L 21 18 A 21 27 10 9 -90 90 L 4 36 L 4 0 L 22 0 A 22 9 11 9 -90 90 L 4 18"},
    {'C', "A 19 18 17 18 50 310"},
    {'D', "M 4 0 L 4 36 L 16 36 A 16 18 18 18 90 -90 L 4 0"},
    {'E', "M 33 36 L 4 36 L 4 0 L 33 0 M 4 18 L 26 18"},
    {'F', "M 33 36 L 4 36 L 4 0 M 4 18 L 26 18"},
    {'G', "A 19 18 16 18 45 360 L 22 18"},
    {'H', "M 4 0 L 4 36 M 32 0 L 32 36 M 4 18 L 32 18"},
    {'I', "M 18 0 L 18 36 M 9 36 L 27 36 M 9 0 L 27 0"},
    {'J', "M 14 36 L 30 36 L 30 12 A 17 12 13 12 0 -160"},
    {'K', "M 4 0 L 4 36 M 33 36 L 5 14 M 14 21 L 34 0"},
    {'L', "M 4 36 L 4 0 L 32 0"},
    {'M', "M 2 0 L 3 36 L 18 14 L 33 36 L 34 0"},
    {'N', "M 4 0 L 4 36 L 32 0 L 32 36"},
    {'O', "A 18 18 17 18 0 360"},
    {'P', "M 4 0 L 4 36 L 20 36 A 20 26.5 13 9.5 90 -90 L 4 17"},
    {'Q', "A 18 18 17 18 0 360 M 21 11 L 34 -3"},
    {'R', "M 4 0 L 4 36 L 20 36 A 20 26.5 13 9.5 90 -90 L 4 17 M 18 17 L 33 0"},
    {'S', "A 18 27 14 9 20 270 A 18 9 15 9 90 -160"},
    {'T', "M 2 36 L 34 36 M 18 36 L 18 0"},
    {'U', "M 4 36 L 4 14 A 18 14 14 14 180 360 L 32 36"},
    {'V', "M 1 36 L 18 0 L 35 36"},
    {'W', "M 0 36 L 8 0 L 18 26 L 28 0 L 36 36"},
    {'X', "M 3 36 L 33 0 M 3 0 L 33 36"},
    {'Y', "M 2 36 L 18 17 L 34 36 M 18 17 L 18 0"},
    {'Z', "M 3 36 L 33 36 L 3 0 L 33 0"},
    {'[', "M 26 40 L 12 40 L 12 -4 L 26 -4"},
    {'\\', "M 4 38 L 32 -2"},
    {']', "M 10 40 L 24 40 L 24 -4 L 10 -4"},
    {'^', "M 6 24 L 18 36 L 30 24"},
    {'_', "M 0 -8 L 36 -8"},
    {'`', "M 14 38 L 22 30"},
    {'a', "A 17 13 14 13 0 360 M 31 26 L 31 0"},
    {'b', "M 4 36 L 4 0 A 18 13 14 13 180 540"},
    {'c', "A 18 13 15 13 45 315"},
    {'d', "A 18 13 14 13 0 360 M 32 36 L 32 0"},
    {'e', "M 4 13 L 32 13 A 18 13 14 13 0 320"},
    {'f', "M 31 32 A 24 28 8 8 30 180 L 16 0 M 6 25 L 28 25"},
    {'g', "A 17 13 14 13 0 360 M 31 26 L 31 -4 A 17 -4 14 8 0 -160"},
    {'h', "M 4 36 L 4 0 M 4 14 A 17 14 13 12 180 0 L 30 0"},
    {'i', "M 10 24 L 18 24 L 18 0 M 18 35"},
    {'j', "M 12 24 L 22 24 L 22 -4 A 12 -4 10 8 0 -160 M 22 35"},
    {'k', "M 5 36 L 5 0 M 30 26 L 6 10 M 14 15 L 31 0"},
    {'l', "M 10 36 L 18 36 L 18 5 A 25 5 7 5 180 270 L 30 0"},
    {'m', "M 3 0 L 3 26 M 3 16 A 11 16 8 10 180 0 L 19 0 M 19 16 A 27 16 8 10 180 0 L 35 0"},
    {'n', "M 4 0 L 4 26 M 4 14 A 17 14 13 12 180 0 L 30 0"},
    {'o', "A 18 13 15 13 0 360"},
    {'p', "M 4 26 L 4 -12 A 18 13 14 13 180 540"},
    {'q', "A 18 13 14 13 0 360 M 32 26 L 32 -12"},
    {'r', "M 6 26 L 6 0 M 6 12 A 20 12 14 14 180 60"},
    {'s', "A 18 19.5 13 6.5 20 270 A 18 6.5 14 6.5 90 -160"},
    {'t', "M 16 34 L 16 7 A 24 7 8 7 180 290 M 6 25 L 30 25"},
    {'u', "M 4 26 L 4 12 A 17 12 13 12 180 360 M 30 26 L 30 0"},
    {'v', "M 3 26 L 18 0 L 33 26"},
    {'w', "M 1 26 L 9 0 L 18 20 L 27 0 L 35 26"},
    {'x', "M 4 26 L 32 0 M 4 0 L 32 26"},
    {'y', "M 3 26 L 18 2 M 33 26 L 13 -12"},
    {'z', "M 4 26 L 32 26 L 4 0 L 32 0"},
    {'{', "M 28 40 L 22 38 L 20 33 L 20 23 L 12 18 L 20 13 L 20 3 L 22 -2 L 28 -4"},
    {'|', "M 18 40 L 18 -6"},
    {'}', "M 8 40 L 14 38 L 16 33 L 16 23 L 24 18 L 16 13 L 16 3 L 14 -2 L 8 -4"},
    {'~', "M 4 14 L 9 20 L 15 20 L 21 14 L 27 14 L 32 20"},
};

struct Point {
    double x, y;
};

// One pen stroke: connected points; a single point is a dot.
using Stroke = std::vector<Point>;

[[noreturn]] void brokenGlyph(char code, const char* reason) {
    std::fprintf(stderr, "Glyph '%c': %s\n", code, reason);
    std::exit(1);
}

// Reads the pen language into strokes in design units.
std::vector<Stroke> parseStrokes(const GlyphStrokes& glyph) {
    std::vector<Stroke> strokes;
    std::istringstream in(glyph.strokes);
    std::string command;
    while (in >> command) {
        if (command == "M" || command == "L") {
            Point p{};
            if (!(in >> p.x >> p.y)) {
                brokenGlyph(glyph.code, "M and L need two numbers");
            }
            if (command == "M" || strokes.empty()) {
                strokes.emplace_back();
            }
            strokes.back().push_back(p);
        } else if (command == "A") {
            double cx, cy, rx, ry, from, to;
            if (!(in >> cx >> cy >> rx >> ry >> from >> to)) {
                brokenGlyph(glyph.code, "A needs six numbers");
            }
            if (strokes.empty()) {
                strokes.emplace_back();
            }
            // About one point every three degrees keeps the polygon edges under a tenth of a
            // pixel from the true ellipse.
            int steps = 1 + int(std::fabs(to - from) / 3);
            for (int k = 0; k <= steps; ++k) {
                double angle = degreesToRadians(mix(from, to, double(k) / steps));
                strokes.back().push_back({cx + rx * stableCos(angle), cy + ry * stableSin(angle)});
            }
        } else {
            brokenGlyph(glyph.code, "unknown pen command");
        }
    }
    return strokes;
}

// Converts design units into pixel coordinates of the cell with y pointing up.
Point toCell(Point p) {
    return {leftEdge + p.x * (inkWidth / designWidth), baseline + p.y};
}

// Draws one glyph into the cell whose bottom-left corner is at picture column `left` and
// picture row `bottom` (the row just below the cell).
void drawGlyph(Image& atlas, const std::vector<Stroke>& strokes, int left, int bottom) {
    std::vector<Point> from;
    std::vector<Point> to;
    for (const Stroke& stroke : strokes) {
        for (std::size_t k = 0; k < stroke.size(); ++k) {
            from.push_back(toCell(stroke[k]));
            to.push_back(toCell(stroke[k + 1 < stroke.size() ? k + 1 : k]));
        }
    }
    for (int row = 0; row < cellSize; ++row) {
        for (int column = 0; column < cellSize; ++column) {
            double x = column + 0.5;
            double y = row + 0.5;
            double distance = 1e9;
            for (std::size_t k = 0; k < from.size(); ++k) {
                distance = std::fmin(distance,
                                     segmentDistance(x, y, from[k].x, from[k].y, to[k].x, to[k].y));
            }
            Color c = rgb(255, 255, 255);
            c.a = clamp01(penWidth / 2 + 0.5 - distance);
            atlas.set(left + column, bottom - 1 - row, c);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string directory = outputDirectory(argc, argv, "font_zub.png");
    Image atlas(atlasSize, atlasSize);
    // Transparent white everywhere, so filtering at glyph edges only fades the alpha.
    Color clear = rgb(255, 255, 255);
    clear.a = 0;
    for (int y = 0; y < atlasSize; ++y) {
        for (int x = 0; x < atlasSize; ++x) {
            atlas.set(x, y, clear);
        }
    }
    // Every printable character but the blank needs exactly one glyph.
    std::vector<int> glyphCount(lastCode + 1, 0);
    for (const GlyphStrokes& glyph : glyphs) {
        int code = static_cast<unsigned char>(glyph.code);
        if (code <= firstCode || code >= lastCode) {
            brokenGlyph(glyph.code, "outside the printable range");
        }
        if (++glyphCount[code] > 1) {
            brokenGlyph(glyph.code, "defined twice");
        }
    }
    for (int code = firstCode + 1; code < lastCode; ++code) {
        if (glyphCount[code] == 0) {
            brokenGlyph(char(code), "missing");
        }
    }
    for (const GlyphStrokes& glyph : glyphs) {
        int code = static_cast<unsigned char>(glyph.code);
        int cell = code - firstCode;
        int left = (cell % cellsPerRow) * cellSize;
        int bottom = atlasSize - (cell / cellsPerRow) * cellSize;
        drawGlyph(atlas, parseStrokes(glyph), left, bottom);
    }
    writePng(atlas, joinPath(directory, "font_zub.png"));
    return 0;
}
