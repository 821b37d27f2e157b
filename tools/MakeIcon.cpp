// Writes cubefray.png, the client's icon for desktop menus: a cube seen from above a corner,
// each face split into four blocks, under a white crosshair. Menus show it from 16 to 128
// pixels, so the shapes are few and bold and every edge has a dark outline.

#include "GeneratorSupport.h"

#include <cmath>

namespace {

const int size = 128;
// Samples a pixel side; 16 of them a pixel smooth the edges.
const int samples = 4;
const double outline = 2.0;
const double blockSeam = 1.2;

struct Point {
    double x, y;
};

// A parallelogram: a corner and the two edges leaving it.
struct Face {
    Point corner, across, down;
    Color color;
};

const Point top = {64, 10};
const Point left = {16, 37};
const Point right = {112, 37};
const Point centre = {64, 64};
const Point bottom = {64, 120};
const Point lowerLeft = {16, 93};

Point minus(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}

// Lit from the upper left: the top brightest, the right side darkest.
const Face faces[3] = {
    {left, minus(top, left), minus(centre, left), rgb(236, 152, 64)},
    {left, minus(centre, left), minus(lowerLeft, left), rgb(190, 104, 44)},
    {centre, minus(right, centre), minus(bottom, centre), rgb(128, 66, 32)},
};

// The point in the face's own coordinates: both in [0, 1] inside it.
Point faceCoordinates(const Face& face, double x, double y) {
    double px = x - face.corner.x;
    double py = y - face.corner.y;
    double determinant = face.across.x * face.down.y - face.across.y * face.down.x;
    return {(px * face.down.y - py * face.down.x) / determinant,
            (face.across.x * py - face.across.y * px) / determinant};
}

// Distance in pixels from a point inside the face to the nearest line at the given fractions
// along either edge.
double distanceToLines(const Face& face, Point at, const double* fractions, int count) {
    double acrossLength = std::sqrt(face.across.x * face.across.x + face.across.y * face.across.y);
    double downLength = std::sqrt(face.down.x * face.down.x + face.down.y * face.down.y);
    // Both edges meet at an angle; scaling by the sine keeps the distance perpendicular.
    double sine = std::fabs(face.across.x * face.down.y - face.across.y * face.down.x) /
                  (acrossLength * downLength);
    double nearest = INFINITY;
    for (int i = 0; i < count; ++i) {
        nearest = std::fmin(nearest, std::fabs(at.x - fractions[i]) * acrossLength * sine);
        nearest = std::fmin(nearest, std::fabs(at.y - fractions[i]) * downLength * sine);
    }
    return nearest;
}

// The cube's colour at a sample point, with alpha 0 outside it.
Color cubeAt(double x, double y) {
    const double edges[2] = {0, 1};
    const double middle[1] = {0.5};
    Color dark = rgb(44, 24, 12);
    for (const Face& face : faces) {
        Point at = faceCoordinates(face, x, y);
        if (at.x < 0 || at.x > 1 || at.y < 0 || at.y > 1) {
            continue;
        }
        if (distanceToLines(face, at, edges, 2) < outline) {
            return dark;
        }
        if (distanceToLines(face, at, middle, 1) < blockSeam) {
            return mix(face.color, dark, 0.55);
        }
        double grain = tiledFractalNoise(at.x, at.y, 4, 3, 17);
        return scaled(face.color, 0.9 + 0.2 * grain);
    }
    return Color();
}

// A ring with four ticks pointing in, white in a dark rim, over the middle of the cube.
Color crosshairOver(Color below, double x, double y) {
    const Point middle = {64, 72};
    const double radius = 22;
    const double halfWidth = 2.5;
    const double rim = 2.0;
    double dx = x - middle.x;
    double dy = y - middle.y;
    double d = std::fabs(std::sqrt(dx * dx + dy * dy) - radius) - halfWidth;
    const double directions[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& direction : directions) {
        double ax = middle.x + direction[0] * (radius - 10);
        double ay = middle.y + direction[1] * (radius - 10);
        double bx = middle.x + direction[0] * radius;
        double by = middle.y + direction[1] * radius;
        d = std::fmin(d, segmentDistance(x, y, ax, ay, bx, by) - halfWidth);
    }
    if (d < 0) {
        return rgb(250, 250, 244);
    }
    return d < rim ? rgb(24, 12, 8) : below;
}

} // namespace

int main(int argc, char** argv) {
    std::string directory = outputDirectory(argc, argv, "cubefray.png");
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Averaged with premultiplied alpha, so the edge pixels keep the cube's colour.
            Color sum;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    double px = x + (sx + 0.5) / samples;
                    double py = y + (sy + 0.5) / samples;
                    Color c = crosshairOver(cubeAt(px, py), px, py);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            }
            Color pixel = sum.a > 0 ? scaled(sum, 1 / sum.a) : Color();
            pixel.a = sum.a / (samples * samples);
            image.set(x, y, pixel);
        }
    }
    writePng(image, joinPath(directory, "cubefray.png"));
    return 0;
}
