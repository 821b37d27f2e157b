// Writes crosshairs.png: four bars around an open centre and a dot, white inside a dark rim so
// the mark reads on bright and dark walls alike. The game shrinks the picture to 25 pixels,
// which is why the bars and the rim are thicker than they look at full size.

#include "GeneratorSupport.h"

#include <cmath>

namespace {

const int size = 64;
const double centre = size / 2.0;
const double gap = 12;        // from the centre to the inner end of each bar
const double barLength = 14;  // along the bar, between the centres of its round ends
const double halfWidth = 3;   // of the white core
const double rim = 2.5;       // dark outline around the core
const double dotRadius = 3.0; // white core of the centre dot
const double rimOpacity = 0.85;

// Signed distance from the pixel centre to the outline of the white core.
double coreDistance(double x, double y) {
    double d = std::sqrt((x - centre) * (x - centre) + (y - centre) * (y - centre)) - dotRadius;
    const double directions[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& dir : directions) {
        double ax = centre + dir[0] * gap;
        double ay = centre + dir[1] * gap;
        double bx = centre + dir[0] * (gap + barLength);
        double by = centre + dir[1] * (gap + barLength);
        d = std::fmin(d, segmentDistance(x, y, ax, ay, bx, by) - halfWidth);
    }
    return d;
}

} // namespace

int main(int argc, char** argv) {
    std::string directory = outputDirectory(argc, argv, "crosshairs.png");
    Color white = rgb(255, 255, 255);
    Color dark = rgb(16, 16, 20);
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double d = coreDistance(x + 0.5, y + 0.5);
            double core = clamp01(0.5 - d);
            double outline = clamp01(rim + 0.5 - d) * rimOpacity;
            // White over the rim; transparent pixels keep the rim colour so filtering at the
            // edge never drags in a foreign colour.
            double alpha = core + (1 - core) * outline;
            Color c = alpha > 0 ? mix(dark, white, core / alpha) : dark;
            c.a = alpha;
            image.set(x, y, c);
        }
    }
    writePng(image, joinPath(directory, "crosshairs.png"));
    return 0;
}
