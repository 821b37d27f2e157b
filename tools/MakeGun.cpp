// Writes gun.obj and its texture g36Tex.png: a modern assault rifle (skeleton stock, receiver
// with carry handle and optic, pistol grip, curved magazine, handguard, barrel and flash hider)
// assembled from prisms and cylinders.
//
// The OBJ is standard: y up, the barrel along +z, triangles counter-clockwise seen from outside
// and normals pointing out. The loader negates z, which turns the barrel to -z (forward) and the
// winding into the clockwise order the game draws. The player's own gun is drawn at the eye
// without scaling, so the model is placed where a first-person weapon sits: the camera mirrors
// the picture, which makes -x the right-hand side of the screen.

#include "GeneratorSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Placement of the model in the file; the parts below are modelled around a bore axis at x = 0,
// y = 0 with the stock's butt at z = -0.1 and the muzzle at z = 1.4.
const double gunOffsetX = -0.28;
const double gunOffsetY = -0.30;
const double gunOffsetZ = 0.0;
const double gunScale = 1.0;

const int textureSize = 512;
// Texture coordinates per model unit; faces too large for their region are shrunk to fit.
const double texelDensity = 0.8;
// Kept free around each region so filtering never reaches the neighbouring material.
const double regionMargin = 8.0 / textureSize;

struct Vec3 {
    double x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct Vec2 {
    double x, y;
};

// Texture regions, in texture coordinates (v up).
struct Region {
    double u0, v0, u1, v1;
};

const Region polymer = {0.0, 0.5, 0.5, 1.0};
const Region grip = {0.5, 0.5, 1.0, 1.0};
const Region metal = {0.0, 0.0, 0.5, 0.5};
const Region accent = {0.5, 0.0, 1.0, 0.5};

struct Triangle {
    Vec3 corners[3];
    Vec2 uv[3];
    Vec3 normal;
};

std::vector<Triangle> triangles;

Vec3 normalized(Vec3 v) {
    return v * (1.0 / std::sqrt(dot(v, v)));
}

// Newell's method: robust for any planar polygon, its direction follows the winding.
Vec3 polygonNormal(const std::vector<Vec3>& points) {
    Vec3 n{0, 0, 0};
    for (std::size_t k = 0; k < points.size(); ++k) {
        Vec3 a = points[k];
        Vec3 b = points[(k + 1) % points.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return normalized(n);
}

Vec3 centroid(const std::vector<Vec3>& points) {
    Vec3 sum{0, 0, 0};
    for (const Vec3& p : points) {
        sum = sum + p;
    }
    return sum * (1.0 / double(points.size()));
}

// Adds a planar convex polygon as a triangle fan. `inside` is any point inside the solid the
// face belongs to; the winding is turned so that the face looks away from it. The texture is a
// planar projection along the face's main axis: z (the rifle's length) runs along u wherever it
// lies in the face.
void addFace(std::vector<Vec3> points, Vec3 inside, const Region& region) {
    Vec3 n = polygonNormal(points);
    if (dot(n, centroid(points) - inside) < 0) {
        std::reverse(points.begin(), points.end());
        n = n * -1.0;
    }
    double ax = std::fabs(n.x);
    double ay = std::fabs(n.y);
    double az = std::fabs(n.z);
    std::vector<Vec2> projected;
    for (const Vec3& p : points) {
        if (ax >= ay && ax >= az) {
            projected.push_back({p.z, p.y});
        } else if (ay >= az) {
            projected.push_back({p.z, p.x});
        } else {
            projected.push_back({p.x, p.y});
        }
    }
    Vec2 low = projected[0];
    Vec2 high = projected[0];
    for (const Vec2& q : projected) {
        low = {std::fmin(low.x, q.x), std::fmin(low.y, q.y)};
        high = {std::fmax(high.x, q.x), std::fmax(high.y, q.y)};
    }
    double roomU = region.u1 - region.u0 - 2 * regionMargin;
    double roomV = region.v1 - region.v0 - 2 * regionMargin;
    double density = texelDensity;
    if ((high.x - low.x) * density > roomU) {
        density = roomU / (high.x - low.x);
    }
    if ((high.y - low.y) * density > roomV) {
        density = roomV / (high.y - low.y);
    }
    std::vector<Vec2> uv;
    for (const Vec2& q : projected) {
        uv.push_back({region.u0 + regionMargin + (q.x - low.x) * density,
                      region.v0 + regionMargin + (q.y - low.y) * density});
    }
    for (std::size_t k = 1; k + 1 < points.size(); ++k) {
        triangles.push_back({{points[0], points[k], points[k + 1]}, {uv[0], uv[k], uv[k + 1]}, n});
    }
}

// A straight prism: the convex outline `profile` swept between two parallel planes. `place`
// turns an outline point and a depth into model coordinates.
template <typename Place>
void addPrism(const std::vector<Vec2>& profile, double depth0, double depth1, const Region& region,
              Place place) {
    std::vector<Vec3> near;
    std::vector<Vec3> far;
    for (const Vec2& q : profile) {
        near.push_back(place(q, depth0));
        far.push_back(place(q, depth1));
    }
    Vec3 inside = (centroid(near) + centroid(far)) * 0.5;
    addFace(near, inside, region);
    addFace(far, inside, region);
    for (std::size_t k = 0; k < profile.size(); ++k) {
        std::size_t next = (k + 1) % profile.size();
        addFace({near[k], near[next], far[next], far[k]}, inside, region);
    }
}

// Outline in the side view (z, y), swept across x from -halfWidth to +halfWidth.
void sidePrism(const std::vector<Vec2>& zy, double halfWidth, const Region& region) {
    addPrism(zy, -halfWidth, halfWidth, region, [](Vec2 q, double x) { return Vec3{x, q.y, q.x}; });
}

// Outline in the front view (x, y), swept along z.
void lengthPrism(const std::vector<Vec2>& xy, double z0, double z1, const Region& region) {
    addPrism(xy, z0, z1, region, [](Vec2 q, double z) { return Vec3{q.x, q.y, z}; });
}

void box(double x0, double x1, double y0, double y1, double z0, double z1, const Region& region) {
    lengthPrism({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, z0, z1, region);
}

// A cylinder along z with `sides` flat sides.
void cylinder(double cx, double cy, double radius, int sides, double z0, double z1,
              const Region& region) {
    std::vector<Vec2> outline;
    for (int k = 0; k < sides; ++k) {
        double angle = degreesToRadians(360.0 * k / sides);
        outline.push_back({cx + radius * stableCos(angle), cy + radius * stableSin(angle)});
    }
    lengthPrism(outline, z0, z1, region);
}

void buildStock() {
    // Skeleton stock: top bar, sloping lower bar and butt plate, hinged to the receiver.
    sidePrism({{-0.07, 0.0}, {0.17, -0.005}, {0.17, 0.035}, {-0.07, 0.035}}, 0.022, polymer);
    sidePrism({{-0.07, -0.15}, {0.17, -0.065}, {0.17, -0.035}, {-0.07, -0.11}}, 0.022, polymer);
    sidePrism({{-0.1, -0.16}, {-0.06, -0.16}, {-0.06, 0.045}, {-0.1, 0.045}}, 0.026, grip);
    box(-0.03, 0.03, -0.05, 0.04, 0.17, 0.22, polymer);
}

void buildReceiver() {
    const std::vector<Vec2> section = {{-0.035, -0.065}, {0.035, -0.065}, {0.035, 0.03},
                                       {0.025, 0.045},   {-0.025, 0.045}, {-0.035, 0.03}};
    lengthPrism(section, 0.22, 0.8, polymer);
    // Ejection port cover on the right side, charging handle under the carry handle.
    box(0.035, 0.039, -0.012, 0.026, 0.45, 0.57, metal);
    box(-0.012, 0.012, 0.045, 0.062, 0.42, 0.48, metal);
    // Fire selector lever above the grip, reaching out on both sides.
    box(-0.04, 0.04, -0.034, -0.026, 0.345, 0.395, metal);
}

void buildCarryHandle() {
    sidePrism({{0.26, 0.045}, {0.36, 0.045}, {0.34, 0.095}, {0.28, 0.095}}, 0.022, polymer);
    sidePrism({{0.66, 0.045}, {0.78, 0.045}, {0.76, 0.095}, {0.70, 0.095}}, 0.022, polymer);
    const std::vector<Vec2> beam = {{-0.024, 0.095}, {0.024, 0.095},  {0.024, 0.125},
                                    {0.016, 0.135},  {-0.016, 0.135}, {-0.024, 0.125}};
    lengthPrism(beam, 0.24, 0.8, polymer);
    // The optic: eyepiece at the rear, objective at the front, dark lenses inside their rims.
    cylinder(0, 0.115, 0.022, 12, 0.2, 0.25, polymer);
    cylinder(0, 0.115, 0.016, 10, 0.195, 0.2, metal);
    cylinder(0, 0.113, 0.026, 12, 0.78, 0.84, polymer);
    cylinder(0, 0.113, 0.02, 10, 0.84, 0.845, metal);
}

void buildGripAndTrigger() {
    sidePrism({{0.35, -0.065}, {0.44, -0.065}, {0.40, -0.215}, {0.30, -0.215}}, 0.026, grip);
    sidePrism({{0.295, -0.225}, {0.405, -0.225}, {0.40, -0.21}, {0.30, -0.21}}, 0.028, polymer);
    // Trigger guard and trigger.
    sidePrism({{0.43, -0.13}, {0.58, -0.13}, {0.58, -0.115}, {0.43, -0.115}}, 0.012, polymer);
    sidePrism({{0.565, -0.115}, {0.58, -0.115}, {0.58, -0.065}, {0.565, -0.065}}, 0.012, polymer);
    sidePrism({{0.475, -0.065}, {0.49, -0.065}, {0.485, -0.105}, {0.475, -0.1}}, 0.005, metal);
}

void buildMagazine() {
    box(-0.032, 0.032, -0.09, -0.065, 0.57, 0.69, polymer);
    // Curved body in three straight pieces, each leaning further forward.
    const std::vector<std::vector<Vec2>> pieces = {
        {{0.585, -0.09}, {0.675, -0.09}, {0.685, -0.16}, {0.59, -0.16}},
        {{0.59, -0.16}, {0.685, -0.16}, {0.705, -0.23}, {0.605, -0.23}},
        {{0.605, -0.23}, {0.705, -0.23}, {0.735, -0.29}, {0.63, -0.29}},
    };
    for (const std::vector<Vec2>& piece : pieces) {
        sidePrism(piece, 0.022, accent);
    }
    // Stiffening ribs along the sides, and the base plate.
    for (double z : {0.605, 0.635, 0.665}) {
        sidePrism({{z, -0.1}, {z + 0.012, -0.1}, {z + 0.02, -0.2}, {z + 0.008, -0.2}}, 0.025,
                  accent);
    }
    sidePrism({{0.62, -0.305}, {0.745, -0.305}, {0.74, -0.29}, {0.625, -0.29}}, 0.025, polymer);
}

void buildHandguardAndBarrel() {
    const std::vector<Vec2> section = {{-0.026, -0.065}, {0.026, -0.065}, {0.038, -0.05},
                                       {0.038, 0.025},   {0.026, 0.04},   {-0.026, 0.04},
                                       {-0.038, 0.025},  {-0.038, -0.05}};
    lengthPrism(section, 0.8, 1.12, polymer);
    // Cooling vents: dark slots along both sides and the underside.
    for (int k = 0; k < 4; ++k) {
        double z = 0.84 + 0.065 * k;
        box(0.038, 0.041, -0.03, 0.0, z, z + 0.04, metal);
        box(-0.041, -0.038, -0.03, 0.0, z, z + 0.04, metal);
        box(-0.014, 0.014, -0.068, -0.065, z, z + 0.04, metal);
    }
    // Tapered front cap of the handguard, front sight post, barrel and flash hider.
    const std::vector<Vec2> cap = {{-0.02, -0.05}, {0.02, -0.05}, {0.03, -0.035}, {0.03, 0.02},
                                   {0.02, 0.03},   {-0.02, 0.03}, {-0.03, 0.02},  {-0.03, -0.035}};
    lengthPrism(cap, 1.12, 1.15, polymer);
    box(-0.006, 0.006, 0.02, 0.06, 1.125, 1.145, polymer);
    cylinder(0, 0, 0.014, 12, 1.15, 1.34, metal);
    cylinder(0, -0.035, 0.008, 8, 1.15, 1.22, metal);
    box(-0.016, 0.016, -0.045, 0.006, 1.2, 1.235, metal);
    cylinder(0, 0, 0.022, 12, 1.33, 1.345, metal);
    cylinder(0, 0, 0.019, 12, 1.345, 1.4, metal);
    // Sling loop under the stock hinge.
    box(-0.005, 0.005, -0.075, -0.05, 0.18, 0.21, metal);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", value);
    std::string s = text;
    if (s == "-0.00000") {
        s = "0.00000";
    }
    return s;
}

// Returns the 1-based index of `line` in `list`, appending it the first time it is seen.
int indexOf(const std::string& line, std::vector<std::string>& list,
            std::map<std::string, int>& seen) {
    auto found = seen.find(line);
    if (found != seen.end()) {
        return found->second;
    }
    list.push_back(line);
    seen[line] = int(list.size());
    return int(list.size());
}

std::string objText() {
    std::vector<std::string> positions, coordinates, normals, faces;
    std::map<std::string, int> seenPositions, seenCoordinates, seenNormals;
    Vec3 offset{gunOffsetX, gunOffsetY, gunOffsetZ};
    for (const Triangle& t : triangles) {
        std::string face = "f";
        int n = indexOf("vn " + number(t.normal.x) + " " + number(t.normal.y) + " " +
                            number(t.normal.z),
                        normals, seenNormals);
        for (int k = 0; k < 3; ++k) {
            Vec3 p = offset + t.corners[k] * gunScale;
            int v = indexOf("v " + number(p.x) + " " + number(p.y) + " " + number(p.z), positions,
                            seenPositions);
            int vt = indexOf("vt " + number(t.uv[k].x) + " " + number(t.uv[k].y), coordinates,
                             seenCoordinates);
            face += " " + std::to_string(v) + "/" + std::to_string(vt) + "/" + std::to_string(n);
        }
        faces.push_back(face);
    }
    std::string text;
    for (const auto* list : {&positions, &coordinates, &normals, &faces}) {
        for (const std::string& line : *list) {
            text += line + "\n";
        }
    }
    return text;
}

// Fills one region of the texture; v = 0 is the bottom row of the picture.
template <typename Paint> void paintRegion(Image& image, const Region& region, Paint paint) {
    int left = int(region.u0 * textureSize);
    int right = int(region.u1 * textureSize);
    int top = textureSize - int(region.v1 * textureSize);
    int bottom = textureSize - int(region.v0 * textureSize);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            Color c = paint(x, y);
            c.a = 1;
            image.set(x, y, c);
        }
    }
}

Image texture() {
    Image image(textureSize, textureSize);
    const double size = textureSize;
    // Matte polymer: dark grey with a blue cast, fine grain and faint mottling.
    paintRegion(image, polymer, [size](int x, int y) {
        double mottle = tiledFractalNoise(x / size, y / size, 8, 4, 201);
        double grain = latticeValue(x, y, 202) - 0.5;
        return scaled(rgb(92, 97, 108), 0.9 + 0.2 * mottle + 0.12 * grain);
    });
    // Stippled grip polymer: the same colour broken into small raised dots.
    paintRegion(image, grip, [](int x, int y) {
        double dots = tiledNoise(x / 2.0, y / 2.0, textureSize / 2, 211);
        double grain = latticeValue(x, y, 212) - 0.5;
        return scaled(rgb(92, 97, 108), 0.8 + 0.45 * dots + 0.1 * grain);
    });
    // Blued steel, brushed along u (the barrel's length).
    paintRegion(image, metal, [size](int x, int y) {
        double brushed = tiledFractalNoise(x / size * 0.125, y / size, 64, 3, 221);
        double grain = latticeValue(x, y, 222) - 0.5;
        return scaled(rgb(112, 116, 122), 0.75 + 0.5 * brushed + 0.1 * grain);
    });
    // Lighter smoke-grey polymer for the magazine.
    paintRegion(image, accent, [size](int x, int y) {
        double mottle = tiledFractalNoise(x / size, y / size, 8, 4, 231);
        double grain = latticeValue(x, y, 232) - 0.5;
        return scaled(rgb(150, 152, 142), 0.88 + 0.22 * mottle + 0.1 * grain);
    });
    return image;
}

} // namespace

int main(int argc, char** argv) {
    std::string directory = outputDirectory(argc, argv, "gun.obj and g36Tex.png");
    buildStock();
    buildReceiver();
    buildCarryHandle();
    buildGripAndTrigger();
    buildMagazine();
    buildHandguardAndBarrel();
    writeTextFile(joinPath(directory, "gun.obj"), objText());
    writePng(texture(), joinPath(directory, "g36Tex.png"));
    return 0;
}
