// Writes tiles.png, the map's 2 x 2 texture atlas. Texture v runs up the picture, so the bottom
// row holds tile 0 (the top faces of every cube: stone floor plates) and tile 1 (wall material
// A: brick), the top row tile 2 (the undersides: dark riveted steel) and tile 3 (wall material
// B: steel panels with a hazard band). Each tile repeats once per cube face, so its pattern wraps
// at the tile edges, and every tile ends in a seam of one colour so that mipmaps of neighbouring
// tiles in the atlas bleed little.

#include "GeneratorSupport.h"

#include <cmath>
#include <vector>

namespace {

const int tileSize = 256;

// Height in [0, 1] drives the relief shading; albedo is the unlit colour.
struct Surface {
    std::vector<double> height = std::vector<double>(tileSize * tileSize, 0.0);
    std::vector<Color> albedo = std::vector<Color>(tileSize * tileSize);

    void set(int x, int y, double h, Color c) {
        height[y * tileSize + x] = h;
        albedo[y * tileSize + x] = c;
    }
    double heightAt(int x, int y) const {
        return height[(y & (tileSize - 1)) * tileSize + (x & (tileSize - 1))];
    }
};

// Fine grain that keeps flat areas from looking like plastic.
double grain(int x, int y, uint32_t seed) {
    return latticeValue(x, y, seed) - 0.5;
}

// Distance from the centre of pixel (x, y) to the nearest line of a square grid of the given
// spacing; the tile edges are grid lines.
double gridLineDistance(double coordinate, double spacing) {
    double r = wrap(coordinate, spacing);
    return std::fmin(r, spacing - r);
}

struct Paint {
    double height;
    Color color;
};

// A tile painted texel by texel: the painter gets the texel, its centre and its texture
// coordinates, and answers with the height and colour there.
template <typename Painter> Surface paintTile(Painter paint) {
    Surface s;
    for (int y = 0; y < tileSize; ++y) {
        for (int x = 0; x < tileSize; ++x) {
            double cx = x + 0.5;
            double cy = y + 0.5;
            Paint painted = paint(x, y, cx, cy, cx / tileSize, cy / tileSize);
            s.set(x, y, painted.height, painted.color);
        }
    }
    return s;
}

Surface floorPlates() {
    const double plate = 128;
    const double grooveHalfWidth = 3;
    Color groove = rgb(82, 79, 74);
    Color stone = rgb(156, 150, 139);

    // Hairline cracks: a few short random walks inside the plates, kept off the grooves.
    std::vector<double> cracks;
    Random random(0x5107e);
    for (int k = 0; k < 7; ++k) {
        double x = random.range(20, 236);
        double y = random.range(20, 236);
        double angle = random.range(0, 6.283);
        for (int step = 0; step < 5; ++step) {
            double nx = x + 9 * stableCos(angle);
            double ny = y + 9 * stableSin(angle);
            if (gridLineDistance(nx, plate) < 12 || gridLineDistance(ny, plate) < 12) {
                break;
            }
            cracks.insert(cracks.end(), {x, y, nx, ny});
            x = nx;
            y = ny;
            angle += random.range(-0.8, 0.8);
        }
    }

    return paintTile([&](int x, int y, double cx, double cy, double u, double v) {
        double edge = std::fmin(gridLineDistance(cx, plate), gridLineDistance(cy, plate));
        int plateIndex = int(cx / plate) + 2 * int(cy / plate);
        double tint = 0.93 + 0.12 * latticeValue(plateIndex, 0, 11);
        double mottle = tiledFractalNoise(u, v, 4, 5, 21);
        double wear = tiledFractalNoise(u, v, 16, 3, 31);

        // Worn edges: the bevel is eaten away where the wear noise is high.
        double bevel = smoothstep(grooveHalfWidth, grooveHalfWidth + 5, edge);
        double chipped = smoothstep(0.58, 0.72, wear) * (1 - smoothstep(6, 16, edge));
        double h = bevel * (1 - 0.6 * chipped) * (0.92 + 0.08 * mottle);

        double crack = 1e9;
        for (std::size_t c = 0; c < cracks.size(); c += 4) {
            crack = std::fmin(crack, segmentDistance(cx, cy, cracks[c], cracks[c + 1],
                                                     cracks[c + 2], cracks[c + 3]));
        }
        double inCrack = 1 - smoothstep(0.2, 1.1, crack);
        h *= 1 - 0.3 * inCrack;

        Color face = scaled(stone, tint * (0.82 + 0.3 * mottle) + 0.06 * grain(x, y, 41));
        face = mix(face, scaled(face, 0.72), inCrack);
        face = mix(face, scaled(face, 0.85), chipped);
        double grooveBlend = smoothstep(grooveHalfWidth - 0.5, grooveHalfWidth + 0.5, edge);
        return Paint{h, mix(groove, face, grooveBlend)};
    });
}

Surface brickWall() {
    const double course = 32;
    const double brickLength = 64;
    const double mortarHalfWidth = 2.5;
    Color mortar = rgb(128, 122, 112);

    return paintTile([&](int x, int y, double cx, double cy, double u, double v) {
        int row = int(cy / course);
        double shift = (row % 2) * brickLength / 2;
        // Odd courses are shifted by half a brick but still break at the tile edge, where
        // the seam must stay mortar.
        double joint = std::fmin(gridLineDistance(cx + shift, brickLength),
                                 gridLineDistance(cx, double(tileSize)));
        double edge = std::fmin(joint, gridLineDistance(cy, course));
        int brick = row * 8 + int((cx + shift) / brickLength);
        double brightness = 0.82 + 0.26 * latticeValue(brick, 1, 51);
        double warmth = latticeValue(brick, 2, 52);
        Color base = mix(rgb(150, 98, 76), rgb(166, 132, 98), warmth);

        double rough = tiledFractalNoise(u, v, 16, 4, 61);
        double chips = tiledFractalNoise(u, v, 32, 2, 71);
        double chipped = smoothstep(0.64, 0.74, chips) * (1 - smoothstep(4, 9, edge));
        double bevel = smoothstep(mortarHalfWidth, mortarHalfWidth + 4, edge);
        double h = bevel * (0.85 + 0.15 * rough) * (1 - 0.7 * chipped);

        Color face = scaled(base, brightness * (0.84 + 0.3 * rough) + 0.08 * grain(x, y, 81));
        face = mix(face, scaled(face, 0.8), chipped);
        Color joints = scaled(mortar, 0.95 + 0.1 * rough + 0.06 * grain(x, y, 82));
        double mortarBlend = smoothstep(mortarHalfWidth - 0.5, mortarHalfWidth + 0.5, edge);
        return Paint{0.25 * rough * (1 - mortarBlend) + h, mix(joints, face, mortarBlend)};
    });
}

// Raised dome of a bolt head: 1 at the centre, 0 at the rim.
double boltHeight(double cx, double cy, double bx, double by, double radius) {
    double dx = cx - bx;
    double dy = cy - by;
    double d2 = (dx * dx + dy * dy) / (radius * radius);
    return d2 < 1 ? std::sqrt(1 - d2) : 0;
}

Surface underside() {
    const double seam = 2.5;
    const double frame = 16;
    Color steel = rgb(86, 89, 96);
    Color rust = rgb(96, 70, 54);

    return paintTile([&](int x, int y, double cx, double cy, double u, double v) {
        double edge = std::fmin(gridLineDistance(cx, tileSize), gridLineDistance(cy, tileSize));

        // Raised frame, recessed centre, and a cross brace across the recess.
        double onFrame = 1 - smoothstep(frame, frame + 3, edge);
        double diagonal = std::fmin(std::fabs(cx - cy), std::fabs(cx + cy - tileSize));
        double brace = 1 - smoothstep(7, 9, diagonal / std::sqrt(2.0));
        double h = mix(0.35 + 0.35 * brace, 1.0, onFrame);
        // Bolts at the frame's corners and midpoints, a big one where the brace crosses.
        const double boltPositions[3] = {9.5, 128, 246.5};
        double bolts = 0;
        for (int k = 0; k < 9; ++k) {
            double radius = k == 4 ? 10 : 4.5;
            bolts = std::fmax(
                bolts, boltHeight(cx, cy, boltPositions[k % 3], boltPositions[k / 3], radius));
        }
        if (bolts > 0) {
            h = std::fmax(h, 0.8 + 0.4 * bolts);
        }
        double seamBlend = smoothstep(seam - 0.5, seam + 0.5, edge);
        h *= seamBlend;

        double stain = smoothstep(0.55, 0.8, tiledFractalNoise(u, v, 4, 5, 91));
        double mottle = tiledFractalNoise(u, v, 8, 4, 92);
        double plateLight = mix(0.96, 1.06, std::fmax(onFrame, brace));
        Color c = scaled(steel, plateLight * (0.86 + 0.24 * mottle) + 0.06 * grain(x, y, 93));
        c = mix(c, rust, 0.55 * stain);
        if (bolts > 0) {
            c = scaled(c, 1.15);
        }
        return Paint{h, mix(rgb(52, 54, 58), c, seamBlend)};
    });
}

Surface hazardPanels() {
    const double seam = 2.5;
    const double stripeTop = 176;
    const double stripeBottom = 222;
    Color steel = rgb(112, 122, 134);
    Color yellow = rgb(206, 164, 42);
    Color black = rgb(40, 40, 42);

    return paintTile([&](int x, int y, double cx, double cy, double u, double v) {
        double edge = std::fmin(gridLineDistance(cx, tileSize), gridLineDistance(cy, tileSize));
        double scratches = tiledFractalNoise(u, v, 16, 4, 101);
        double chips = tiledFractalNoise(u, v, 32, 3, 105);
        double mottle = tiledFractalNoise(u, v, 8, 4, 102);
        Color c = scaled(steel, 0.86 + 0.24 * mottle + 0.06 * grain(x, y, 103));
        double h;

        double toBand = std::fmin(std::fabs(cy - stripeTop), std::fabs(cy - stripeBottom));
        if (cy < stripeTop) {
            // Upper panel: vertical corrugation every 32 pixels, bolts along its top.
            double rib = gridLineDistance(cx - 16, 32);
            h = 0.55 + 0.3 * smoothstep(10, 4, rib);
            double bolts = 0;
            for (int k = 0; k < 8; ++k) {
                bolts = std::fmax(bolts, boltHeight(cx, cy, 32.0 * k + 16, 11, 4));
            }
            if (bolts > 0) {
                h = std::fmax(h, 0.7 + 0.3 * bolts);
                c = scaled(c, 1.12);
            }
            c = scaled(c, 0.97 + 0.08 * scratches);
        } else if (cy < stripeBottom) {
            // Diagonal stripes with a period of 64 pixels along x, so they wrap at the edge.
            double phase = wrap(cx + cy, 64);
            double toEdge = std::fmin(std::fabs(phase - 32), std::fmin(phase, 64 - phase));
            double isYellow = phase < 32 ? 1.0 : 0.0;
            double coverage = smoothstep(-0.7, 0.7, toEdge);
            double paint = mix(1 - isYellow, isYellow, coverage);
            Color painted = mix(black, yellow, paint);
            painted = scaled(painted, 0.9 + 0.18 * mottle + 0.05 * grain(x, y, 104));
            double worn = smoothstep(0.64, 0.7, chips);
            c = mix(painted, c, worn);
            h = 0.7;
        } else {
            // Plinth: plain darker steel.
            c = scaled(c, 0.78);
            h = 0.45;
        }
        // Bevels where the panels meet.
        h *= smoothstep(0.5, 3.0, toBand);
        double seamBlend = smoothstep(seam - 0.5, seam + 0.5, edge);
        h = mix(0, h * smoothstep(seam, seam + 4, edge), seamBlend);
        return Paint{h, mix(rgb(58, 62, 68), c, seamBlend)};
    });
}

// Lights the relief from the upper left; flat parts keep their albedo unchanged.
Image shade(const Surface& s, double relief) {
    const double lx = -0.45;
    const double ly = -0.55;
    const double lz = 0.70;
    const double length = std::sqrt(lx * lx + ly * ly + lz * lz);
    Image image(tileSize, tileSize);
    for (int y = 0; y < tileSize; ++y) {
        for (int x = 0; x < tileSize; ++x) {
            double dx = (s.heightAt(x + 1, y) - s.heightAt(x - 1, y)) * relief;
            double dy = (s.heightAt(x, y + 1) - s.heightAt(x, y - 1)) * relief;
            double n = std::sqrt(dx * dx + dy * dy + 1);
            double facing = (-dx * lx - dy * ly + lz) / (n * length);
            double light = 0.55 + 0.45 * std::fmax(0.0, facing) * length / lz;
            Color c = scaled(s.albedo[y * tileSize + x], light);
            c.a = 1;
            image.set(x, y, c);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    std::string directory = outputDirectory(argc, argv, "tiles.png");
    Image atlas(2 * tileSize, 2 * tileSize);
    atlas.paste(shade(floorPlates(), 2.0), 0, tileSize);
    atlas.paste(shade(brickWall(), 2.0), tileSize, tileSize);
    atlas.paste(shade(underside(), 2.0), 0, 0);
    atlas.paste(shade(hazardPanels(), 2.0), tileSize, 0);
    writePng(atlas, joinPath(directory, "tiles.png"));
    return 0;
}
