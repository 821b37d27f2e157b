#include "MapManager.h"

#include "Collisions.h"
#include "MathOps.h"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

// Cell indices come from integer division of truncated coordinates.
const int cellEdge = int(cellSize);
const int coarseMarchSteps = 5000;
const int fineMarchSteps = 65;
const vec3 noHit(-1, -1, -1);

// Formatted integer input; a number that cannot be read counts as 0.
int readInteger(std::istringstream& in) {
    int value = 0;
    if (!(in >> value)) {
        value = 0;
    }
    return value;
}

bool isFinite(vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

MapLoadResult MapManager::load(const std::string& text) {
    *this = MapManager();
    std::istringstream in(text);
    MapLoadResult result;
    result.columns = readInteger(in);
    result.rows = readInteger(in);
    result.depths = readInteger(in);
    in.clear();
    if (result.columns < 0 || result.rows < 0 || result.depths < 0) {
        result.problem = MapLoadResult::negativeCount;
        return result;
    }
    // An empty map stays empty in every direction: no loop may walk the cells of the other two.
    if (result.columns == 0 || result.rows == 0 || result.depths == 0) {
        return result;
    }
    // Each count is checked on its own first so that the product cannot overflow.
    bool tooLarge = result.columns > maxCellCount || result.rows > maxCellCount ||
                    result.depths > maxCellCount ||
                    (long long)result.columns * result.rows * result.depths > maxCellCount;
    if (tooLarge) {
        result.problem = MapLoadResult::tooManyCells;
        return result;
    }
    columnCount = result.columns;
    rowCount = result.rows;
    depthCount = result.depths;
    width = cellSize * float(columnCount);
    height = cellSize * float(rowCount);
    depth = cellSize * float(depthCount);
    readCells(in);
    return result;
}

void MapManager::readCells(std::istringstream& in) {
    const float half = cellSize / 2;
    for (int x = 0; x < columnCount; ++x) {
        cubes.emplace_back();
        for (int y = 0; y < rowCount; ++y) {
            cubes.back().emplace_back();
            for (int z = 0; z < depthCount; ++z) {
                vec3 center(cellSize * float(x) + half, cellSize * float(y) + half,
                            cellSize * float(z) + half);
                Box cell(center, cellSize);
                cell.type = readInteger(in);
                cell.tile = readInteger(in);
                in.clear();
                cubes.back().back().push_back(cell);
            }
        }
    }
}

int MapManager::clampedIndex(float coordinate, int count) const {
    return clamp(truncateToInt(coordinate) / cellEdge, 0, count - 1);
}

int MapManager::getColumn(float x) const {
    return clampedIndex(x, columnCount);
}
int MapManager::getRow(float y) const {
    return clampedIndex(y, rowCount);
}
int MapManager::getDepth(float z) const {
    return clampedIndex(z, depthCount);
}

vec3 MapManager::cubeIndices(vec3 p) const {
    return vec3(float(getColumn(p.x)), float(getRow(p.y)), float(getDepth(p.z)));
}

bool MapManager::isInGrid(int x, int y, int z) const {
    return x >= 0 && x < columnCount && y >= 0 && y < rowCount && z >= 0 && z < depthCount;
}

bool MapManager::cubeIsNull(int x, int y, int z) const {
    return isInGrid(x, y, z) && cubes[x][y][z].type == 0;
}

int MapManager::cubeType(int x, int y, int z) const {
    if (!isInGrid(x, y, z)) {
        std::cout << "Bad cube type access: " << x << ", " << y << ", " << z << std::endl;
        return 0;
    }
    return cubes[x][y][z].type;
}

Box MapManager::getCube(int x, int y, int z) const {
    if (!isInGrid(x, y, z)) {
        std::cout << "Bad cube access: " << x << ", " << y << ", " << z << std::endl;
        return Box(vec3(0, 0, 0), 1);
    }
    return cubes[x][y][z];
}

bool MapManager::outOfBounds(vec3 p) const {
    return p.x < 0 || p.x > width || p.y < 0 || p.y > height || p.z < 0 || p.z > depth;
}

bool MapManager::collides(Box box) const {
    for (int x = getColumn(box.min.x); x <= getColumn(box.max.x); ++x) {
        for (int y = getRow(box.min.y); y <= getRow(box.max.y); ++y) {
            for (int z = getDepth(box.min.z); z <= getDepth(box.max.z); ++z) {
                if (cubeType(x, y, z) != 0 && intersects(box, cubes[x][y][z])) {
                    return true;
                }
            }
        }
    }
    return false;
}

bool MapManager::collides(vec3 p) const {
    int x = getColumn(p.x);
    int y = getRow(p.y);
    int z = getDepth(p.z);
    if (cubeType(x, y, z) == 0) {
        return false;
    }
    return intersects(cubes[x][y][z], p);
}

// No point outside the map's box lies in a cell, so the march asks for cells only inside it.
bool MapManager::mayHoldCell(vec3 p) const {
    return p.x >= 0 && p.x <= width && p.y >= 0 && p.y <= height && p.z >= 0 && p.z <= depth;
}

namespace {

// Adding the same step again and again moves a coordinate one way only, however it rounds: a
// coordinate beyond a bound and not stepping back towards it stays beyond it.
bool beyondForGood(float coordinate, float step, float bound) {
    return (coordinate < 0 && step <= 0) || (coordinate > bound && step >= 0);
}

// Rounded to the nearest float, one added step moves a coordinate at most twice the step.
bool outOfReach(float coordinate, float step, float bound, int steps) {
    double reach = 2.0 * std::fabs(double(step)) * steps;
    return double(coordinate) < -reach || double(coordinate) > double(bound) + reach;
}

} // namespace

bool MapManager::leftForGood(vec3 p, vec3 dir) const {
    return beyondForGood(p.x, dir.x, width) || beyondForGood(p.y, dir.y, height) ||
           beyondForGood(p.z, dir.z, depth);
}

bool MapManager::neverReached(vec3 start, vec3 dir) const {
    const int steps = coarseMarchSteps + fineMarchSteps;
    return outOfReach(start.x, dir.x, width, steps) || outOfReach(start.y, dir.y, height, steps) ||
           outOfReach(start.z, dir.z, depth, steps);
}

// The march visits the same points whether or not it asks about them, so a line that meets the
// map meets it where it always did; a line that never comes near the map costs nothing.
vec3 MapManager::boxToCheckForLineIntersection(vec3 start, vec3 dir) const {
    // A ray that cannot move, or that starts or runs off into non-numbers, meets nothing; so
    // does any ray in a map without cells.
    bool zeroDirection = dir.x == 0 && dir.y == 0 && dir.z == 0;
    if (zeroDirection || !isFinite(start) || !isFinite(dir) || cubes.empty() ||
        neverReached(start, dir)) {
        return noHit;
    }
    vec3 p = start;
    vec3 firstInside = noHit;
    bool metCell = false;
    for (int step = 0; step < coarseMarchSteps; ++step) {
        if (!mayHoldCell(p)) {
            if (leftForGood(p, dir)) {
                return noHit;
            }
        } else if (collides(p)) {
            firstInside = p;
            metCell = true;
            p -= dir * float(cellEdge);
            break;
        }
        p += dir;
    }
    for (int step = 0; step < fineMarchSteps; ++step) {
        if (mayHoldCell(p) && collides(p)) {
            return cubeIndices(p);
        }
        p += dir;
    }
    // Stepping back and forth again rounds differently: a point found on a cell's face may be
    // missed a hair short of it, and the line would pass through a wall.
    return metCell ? cubeIndices(firstInside) : noHit;
}

vec3 MapManager::pointOfIntersection(vec3 start, vec3 dir) const {
    vec3 idx = boxToCheckForLineIntersection(start, dir);
    if (idx.x < 0 || idx.y < 0 || idx.z < 0) {
        return noHit;
    }
    Box cell = getCube(int(idx.x), int(idx.y), int(idx.z));
    vec3 end = start + dir * 10000.0f;
    vec3 point;
    vec3 normal;
    intersectsLineAABB(start, end, cell, point, normal);
    return point;
}

namespace {

// Atlas tiles of the map texture: the top of every cube shows tile 0, the bottom tile 2.
const int topTile = 0;
const int bottomTile = 2;
const int atlasTileCount = 4;

struct FaceLayout {
    int neighbour[3];
    int corners[4];
};

// Corner k of a cell has k = 4 * (z is max) + 2 * (y is max) + (x is max). Each face lists its
// corners clockwise seen from outside, as the procedural cube does.
const FaceLayout faceLayouts[6] = {{{-1, 0, 0}, {4, 0, 2, 6}}, {{1, 0, 0}, {1, 5, 7, 3}},
                                   {{0, -1, 0}, {0, 4, 5, 1}}, {{0, 1, 0}, {2, 3, 7, 6}},
                                   {{0, 0, -1}, {0, 1, 3, 2}}, {{0, 0, 1}, {5, 4, 6, 7}}};

vec3 cellCorner(const Box& cell, int k) {
    return vec3(k & 1 ? cell.max.x : cell.min.x, k & 2 ? cell.max.y : cell.min.y,
                k & 4 ? cell.max.z : cell.min.z);
}

// A tile outside the atlas is clamped to its nearest tile rather than rejecting the map.
int atlasTileOfFace(const Box& cell, int face) {
    if (face == 2) {
        return bottomTile;
    }
    if (face == 3) {
        return topTile;
    }
    return clamp(cell.tile, 0, atlasTileCount - 1);
}

} // namespace

Model MapManager::buildModel() {
    Model model;
    const std::vector<vec2> atlas = initUVs(256, 256, 128, 128);
    int v = 0;
    for (int x = 0; x < columnCount; ++x) {
        for (int y = 0; y < rowCount; ++y) {
            for (int z = 0; z < depthCount; ++z) {
                Box& cell = cubes[x][y][z];
                if (cell.type == 0) {
                    continue;
                }
                for (int face = 0; face < 6; ++face) {
                    const FaceLayout& layout = faceLayouts[face];
                    if (!cubeIsNull(x + layout.neighbour[0], y + layout.neighbour[1],
                                    z + layout.neighbour[2])) {
                        continue;
                    }
                    const int* c = layout.corners;
                    model.pushVertices(cellCorner(cell, c[0]), cellCorner(cell, c[1]),
                                       cellCorner(cell, c[2]), cellCorner(cell, c[3]));
                    const vec2* uv = &atlas[4 * atlasTileOfFace(cell, face)];
                    model.pushUVs(uv[0], uv[1], uv[2], uv[3]);
                    vec3 n = faceNormal(face);
                    model.pushNormals(n, n, n, n);
                    model.pushElements(float(v), float(v + 1), float(v + 2), float(v + 3));
                    v += 4;
                    cell.exposedFaces[face] = true;
                }
            }
        }
    }
    return model;
}
