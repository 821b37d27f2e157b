#ifndef CUBEFRAY_MAPMANAGER_H
#define CUBEFRAY_MAPMANAGER_H

#include "Box.h"
#include "GameRules.h"
#include "Model.h"
#include "Vector.h"

#include <sstream>
#include <string>
#include <vector>

// What reading a map text found. The counts are as the header gives them.
struct MapLoadResult {
    enum Problem { none, negativeCount, tooManyCells };

    Problem problem = none;
    int columns = 0;
    int rows = 0;
    int depths = 0;
};

// The world: a grid of cellSize cubes read from the "mapdata" text. x counts columns, y rows (up),
// z depths; cell (x, y, z) covers [64x, 64x + 64] on x and likewise on y and z.
class MapManager {
  public:
    // More cells than this make a map file a broken resource: the mesh and the cell grid of a
    // larger map would not fit the client's memory and index budget.
    static constexpr long maxCellCount = 1 << 20;

    MapManager() = default;

    // Reads the cells. A header with a zero count gives an empty map; one with a negative count,
    // or with more cells than maxCellCount, is refused and leaves the map empty.
    MapLoadResult load(const std::string& text);
    // The mesh geometry of every face of a solid cell that borders an empty cell; marks those
    // faces in the cells.
    Model buildModel();

    float getWidth() const { return width; }
    float getHeight() const { return height; }
    float getDepth() const { return depth; }
    float getCubeSize() const { return cellSize; }
    int getColumnCount() const { return columnCount; }
    int getRowCount() const { return rowCount; }
    int getDepthCount() const { return depthCount; }

    // Cell indices of a coordinate, clamped to the grid.
    int getColumn(float x) const;
    int getRow(float y) const;
    int getDepth(float z) const;
    vec3 cubeIndices(vec3 p) const;

    // Cells beyond the edge of the grid count as not empty.
    bool cubeIsNull(int x, int y, int z) const;
    int cubeType(int x, int y, int z) const;
    Box getCube(int x, int y, int z) const;
    bool outOfBounds(vec3 p) const;
    bool collides(Box box) const;
    bool collides(vec3 p) const;

    // Cell indices of the first solid cell on the ray, or (-1, -1, -1).
    vec3 boxToCheckForLineIntersection(vec3 start, vec3 dir) const;
    // Where the ray enters that cell, or (-1, -1, -1).
    vec3 pointOfIntersection(vec3 start, vec3 dir) const;

  private:
    void readCells(std::istringstream& in);
    bool isInGrid(int x, int y, int z) const;
    int clampedIndex(float coordinate, int count) const;
    bool mayHoldCell(vec3 p) const;
    // Whether the march from p along dir can never come back into the map.
    bool leftForGood(vec3 p, vec3 dir) const;
    // Whether the march from start cannot reach the map in all its steps.
    bool neverReached(vec3 start, vec3 dir) const;

    int rowCount = 0;
    int columnCount = 0;
    int depthCount = 0;
    float width = 0;
    float height = 0;
    float depth = 0;
    std::vector<std::vector<std::vector<Box>>> cubes;
};

#endif
