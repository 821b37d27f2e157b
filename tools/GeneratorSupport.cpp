#include "GeneratorSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <lodepng.h>

namespace {

const double pi = 3.141592653589793;

uint32_t mixBits(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

double smoothCurve(double t) {
    return t * t * (3.0 - 2.0 * t);
}

uint8_t toByte(double v) {
    return static_cast<uint8_t>(std::floor(clamp01(v) * 255.0 + 0.5));
}

} // namespace

uint64_t Random::next() {
    state += 0x9e3779b97f4a7c15ULL;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

double Random::uniform() {
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

double Random::range(double lo, double hi) {
    return lo + (hi - lo) * uniform();
}

double latticeValue(int x, int y, uint32_t seed) {
    uint32_t h = mixBits(uint32_t(x) * 0x8da6b343U ^ mixBits(uint32_t(y) * 0xd8163841U ^ seed));
    return double(h >> 8) * (1.0 / 16777216.0);
}

double tiledNoise(double x, double y, int period, uint32_t seed) {
    double fx = std::floor(x);
    double fy = std::floor(y);
    int x0 = int(wrap(fx, period));
    int y0 = int(wrap(fy, period));
    int x1 = (x0 + 1) % period;
    int y1 = (y0 + 1) % period;
    double tx = smoothCurve(x - fx);
    double ty = smoothCurve(y - fy);
    double top = mix(latticeValue(x0, y0, seed), latticeValue(x1, y0, seed), tx);
    double bottom = mix(latticeValue(x0, y1, seed), latticeValue(x1, y1, seed), tx);
    return mix(top, bottom, ty);
}

double tiledFractalNoise(double u, double v, int cells, int octaves, uint32_t seed) {
    double sum = 0;
    double weight = 1;
    double total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * tiledNoise(u * cells, v * cells, cells, seed + uint32_t(octave) * 7919U);
        total += weight;
        weight *= 0.5;
        cells *= 2;
    }
    return sum / total;
}

double clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

double smoothstep(double edge0, double edge1, double x) {
    return smoothCurve(clamp01((x - edge0) / (edge1 - edge0)));
}

double wrap(double value, double period) {
    double r = std::fmod(value, period);
    return r < 0 ? r + period : r;
}

double stableSin(double radians) {
    // Reduce to [-pi, pi], then to [-pi/2, pi/2] where the Taylor series converges fast.
    double x = radians - 2.0 * pi * std::floor((radians + pi) / (2.0 * pi));
    if (x > pi / 2) {
        x = pi - x;
    } else if (x < -pi / 2) {
        x = -pi - x;
    }
    double term = x;
    double sum = x;
    for (int n = 1; n < 12; ++n) {
        term *= -x * x / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double stableCos(double radians) {
    return stableSin(radians + pi / 2);
}

double degreesToRadians(double degrees) {
    return degrees * (pi / 180.0);
}

double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax;
    double dy = by - ay;
    double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? clamp01(((px - ax) * dx + (py - ay) * dy) / lengthSquared) : 0;
    double ex = px - (ax + t * dx);
    double ey = py - (ay + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

Color mix(Color a, Color b, double t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t), mix(a.a, b.a, t)};
}

Color scaled(Color c, double factor) {
    return {c.r * factor, c.g * factor, c.b * factor, c.a};
}

Color rgb(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0, 1.0};
}

Image::Image(int width, int height)
    : w(width), h(height), pixels(std::size_t(width) * std::size_t(height)) {}

void Image::paste(const Image& source, int left, int top) {
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            set(left + x, top + y, source.get(x, y));
        }
    }
}

bool Image::savePng(const std::string& path) const {
    std::vector<unsigned char> bytes;
    bytes.reserve(pixels.size() * 4);
    for (const Color& c : pixels) {
        bytes.push_back(toByte(c.r));
        bytes.push_back(toByte(c.g));
        bytes.push_back(toByte(c.b));
        bytes.push_back(toByte(c.a));
    }
    LodePNGState state;
    lodepng_state_init(&state);
    state.encoder.auto_convert = 0;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    state.info_png.color.colortype = LCT_RGBA;
    state.info_png.color.bitdepth = 8;
    unsigned char* encoded = nullptr;
    std::size_t encodedSize = 0;
    unsigned error =
        lodepng_encode(&encoded, &encodedSize, bytes.data(), unsigned(w), unsigned(h), &state);
    lodepng_state_cleanup(&state);
    if (error == 0) {
        error = lodepng_save_file(encoded, encodedSize, path.c_str());
    }
    std::free(encoded);
    return error == 0;
}

std::string joinPath(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/') {
        return directory + name;
    }
    return directory + "/" + name;
}

std::string outputDirectory(int argc, char** argv, const char* writes) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s OUTPUT_DIRECTORY\nWrites %s into OUTPUT_DIRECTORY.\n",
                     argc > 0 ? argv[0] : "generator", writes);
        std::exit(1);
    }
    return argv[1];
}

void writeTextFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file != nullptr && std::fclose(file) != 0) {
        written = false;
    }
    if (!written) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void writePng(const Image& image, const std::string& path) {
    if (!image.savePng(path)) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        std::exit(1);
    }
}
