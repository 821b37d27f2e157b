#ifndef CUBEFRAY_TOOLS_GENERATORSUPPORT_H
#define CUBEFRAY_TOOLS_GENERATORSUPPORT_H

// Shared by the asset generators. Everything here is built from IEEE basic arithmetic and
// integer hashing only, so a generator writes the same bytes on every run and every machine:
// the committed resources are checked against a fresh run.

#include <cstdint>
#include <string>
#include <vector>

// splitmix64: small, fast and fully determined by its seed.
class Random {
  public:
    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    double range(double lo, double hi);

  private:
    uint64_t state;
};

// A value in [0, 1) that depends only on the lattice point and the seed.
double latticeValue(int x, int y, uint32_t seed);
// Smooth value noise in [0, 1] that repeats every `period` lattice cells in x and in y.
double tiledNoise(double x, double y, int period, uint32_t seed);
// Octaves of tiledNoise over a square that repeats with period 1 in u and v; the first octave
// has `cells` lattice cells across, each further one twice as many at half the weight.
double tiledFractalNoise(double u, double v, int cells, int octaves, uint32_t seed);

double clamp01(double v);
double mix(double a, double b, double t);
double smoothstep(double edge0, double edge1, double x);
// Remainder with the sign of the divisor, so negative coordinates wrap into [0, period).
double wrap(double value, double period);

// libm's sine may round differently between library versions; this one cannot.
double stableSin(double radians);
double stableCos(double radians);
double degreesToRadians(double degrees);

// Distance from point p to the segment a-b.
double segmentDistance(double px, double py, double ax, double ay, double bx, double by);

struct Color {
    double r = 0, g = 0, b = 0, a = 0;
};

Color mix(Color a, Color b, double t);
Color scaled(Color c, double factor);
Color rgb(int r, int g, int b);

// Straight-alpha RGBA picture with row 0 at the top, as PNG stores it.
class Image {
  public:
    Image(int width, int height);
    int width() const { return w; }
    int height() const { return h; }
    Color get(int x, int y) const { return pixels[index(x, y)]; }
    void set(int x, int y, Color c) { pixels[index(x, y)] = c; }
    // Copies source with its top-left corner at (left, top).
    void paste(const Image& source, int left, int top);
    // 8-bit RGBA, whatever the content, so every loader sees the same layout.
    bool savePng(const std::string& path) const;

  private:
    std::size_t index(int x, int y) const { return std::size_t(y) * std::size_t(w) + x; }
    int w;
    int h;
    std::vector<Color> pixels;
};

std::string joinPath(const std::string& directory, const std::string& name);
// Checks the command line of a generator (one argument: the output directory) and returns that
// directory; prints the usage and exits otherwise.
std::string outputDirectory(int argc, char** argv, const char* writes);
// Writes text to the file or exits with a message naming it.
void writeTextFile(const std::string& path, const std::string& text);
// Saves the picture or exits with a message naming the file.
void writePng(const Image& image, const std::string& path);

#endif
