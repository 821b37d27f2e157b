// Writes mapdata, the arena: a 32 x 10 x 32 grid of 64-unit cells. The text is the three counts,
// then a "type tile" pair per cell with z running fastest, then y, then x. The game joins all
// lines before parsing, so every number is followed by a blank, line ends included.
//
// The arena is symmetric under both mirrors x -> 31 - x and z -> 31 - z and under swapping x and
// z, so one quadrant (below) describes it. Outer walls and corner towers rise to the top of the
// grid, so that nobody can climb them and no view from inside at eye level, a jump included,
// shows the empty world beyond; a raised platform three cells high in each corner, reached by
// single-cell steps from two sides; pillars and crates for cover; in the middle a dais carrying a
// pavilion: four pillars joined by a ring that leaves three cells of headroom and an open centre
// under the middle light.

#include "GeneratorSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int columns = 32; // x
const int rows = 10;    // y, up
const int depths = 32;  // z
const int cellSize = 64;

// One quadrant, x across and z down, cell (0, 0) in a corner of the arena. Each character is a
// column of cubes from the floor up: a digit is its height in cells (the floor included, 0
// standing for 10) with the stone side texture (tile 1), a letter A-J the height 1-10 with the
// steel side texture (tile 3).
const char* const quadrant[16] = {
    "JJ0JJ00JJ00JJ00J", // outer wall up to the sky, stone and steel in pairs
    "JJDDDDD111111111", // corner tower, corner platform
    "0DDDDDD111111111", //
    "JDDDDDD3211111BC", // steps down from the platform; crates by the middle of the wall
    "JDDDDDD321111111", //
    "0DDDDDD11111F111", // pillar
    "0DDDDDE111111111", // a parapet block on the platform's inner corner
    "J113311111111111", // steps down from the platform's other side
    "J112211111111B11", //
    "011111111CB11111", // crates
    "011111111B111111", //
    "J111111111122222", // the dais, one step up
    "J1111F1111122222", //
    "01111111B1122F22", // pavilion pillar
    "011B111111122222", //
    "J11C11111112222C", // centre block
};

// The pavilion's ring: the square of cells joining the tops of its pillars, at this row.
const int ringRow = 5;
const int ringLow = 13;
const int ringHigh = columns - 1 - ringLow;

// The fixed point lights and the camera of the join screen, in world units. Cubes there would
// swallow the light or the view.
const int openPoints[][3] = {{448, 500, 448},  {1600, 500, 448},  {1600, 500, 1600},
                             {448, 500, 1600}, {1024, 427, 1024}, {1023, 500, 664}};

int mirrored(int index, int count) {
    return index < count / 2 ? index : count - 1 - index;
}

// The quadrant character for world cell (x, z).
char columnCode(int x, int z) {
    return quadrant[mirrored(z, depths)][mirrored(x, columns)];
}

bool isSteel(char code) {
    return code >= 'A' && code <= 'J';
}

int columnHeight(char code) {
    if (isSteel(code)) {
        return code - 'A' + 1;
    }
    return code == '0' ? 10 : code - '0';
}

int columnTile(char code) {
    return isSteel(code) ? 3 : 1;
}

bool onRing(int x, int y, int z) {
    bool inside = x >= ringLow && x <= ringHigh && z >= ringLow && z <= ringHigh;
    bool edge = x == ringLow || x == ringHigh || z == ringLow || z == ringHigh;
    return y == ringRow && inside && edge;
}

// Texture tile of the solid cube at (x, y, z), or 0 for air.
int cubeTile(int x, int y, int z) {
    if (onRing(x, y, z)) {
        return 3;
    }
    char code = columnCode(x, z);
    return y < columnHeight(code) ? columnTile(code) : 0;
}

[[noreturn]] void fail(const char* reason) {
    std::fprintf(stderr, "Map layout: %s\n", reason);
    std::exit(1);
}

// Guards the layout against edits that break its symmetry or bury a light.
void checkLayout() {
    for (int a = 0; a < 16; ++a) {
        for (int b = 0; b < 16; ++b) {
            char code = quadrant[a][b];
            bool valid = (code >= '0' && code <= '9') || isSteel(code);
            if (!valid || columnHeight(code) > rows) {
                fail("unknown column code");
            }
            if (code != quadrant[b][a]) {
                fail("the quadrant must be symmetric about its diagonal");
            }
        }
    }
    for (const auto& p : openPoints) {
        // Points on a cell boundary touch the cells on both sides; all of them and everything
        // above must be open.
        for (int dx = -1; dx <= 1; dx += 2) {
            for (int dz = -1; dz <= 1; dz += 2) {
                int x = (p[0] + dx) / cellSize;
                int z = (p[2] + dz) / cellSize;
                for (int y = p[1] / cellSize; y < rows; ++y) {
                    if (cubeTile(x, y, z) != 0) {
                        fail("a light or the join camera is inside or under a cube");
                    }
                }
            }
        }
    }
}

std::string mapText() {
    std::string text =
        std::to_string(columns) + " " + std::to_string(rows) + " " + std::to_string(depths) + " \n";
    for (int x = 0; x < columns; ++x) {
        for (int y = 0; y < rows; ++y) {
            for (int z = 0; z < depths; ++z) {
                int tile = cubeTile(x, y, z);
                text += tile == 0 ? "0 0 " : "1 " + std::to_string(tile) + " ";
            }
            text += "\n";
        }
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    std::string directory = outputDirectory(argc, argv, "mapdata");
    checkLayout();
    writeTextFile(joinPath(directory, "mapdata"), mapText());
    return 0;
}
