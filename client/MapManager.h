#ifndef CUBEFRAY_MAPMANAGER_H
#define CUBEFRAY_MAPMANAGER_H

#include "Box.h"
#include "Mesh.h"
#include "Model.h"
#include "Vector.h"

#include <string>
#include <vector>

class Pen;

// The world: a grid of 64-unit cubes read from the "mapdata" text. x counts columns, y rows (up),
// z depths; cell (x, y, z) covers [64x, 64x + 64] on x and likewise on y and z.
class MapManager {
  public:
    // More cells than this make a map file a broken resource: the mesh and the cell grid of a
    // larger map would not fit the client's memory and index budget.
    static constexpr long maxCellCount = 1 << 20;

    MapManager() = default;

    // Reads the cells, then builds and uploads the mesh (needs the GL context).
    void init(std::string text);
    // Reads the cells only; what a program without a GL context calls.
    void load(const std::string& text);
    // The mesh geometry of every face of a solid cell that borders an empty cell; marks those
    // faces in the cells.
    Model buildModel();
    void constructMesh();
    void draw(Pen* pen);

    float getWidth() const { return width; }
    float getHeight() const { return height; }
    float getDepth() const { return depth; }
    float getCubeSize() const { return cubeSize; }
    int getColumnCount() const { return columnCount; }
    int getRowCount() const { return rowCount; }
    int getDepthCount() const { return depthCount; }
    const Mesh& getMesh() const { return mesh; }

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
    bool isInGrid(int x, int y, int z) const;
    int clampedIndex(float coordinate, int count) const;

    int rowCount = 0;
    int columnCount = 0;
    int depthCount = 0;
    float width = 0;
    float height = 0;
    float depth = 0;
    float cubeSize = 64;
    std::vector<std::vector<std::vector<Box>>> cubes;
    Mesh mesh;
};

#endif
