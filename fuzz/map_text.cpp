// Map text as the client and the server read it: the loader, the server's errors, the spawn
// search and the client's mesh.
#include "Arena.h"
#include "FuzzSupport.h"
#include "MapFile.h"

#include <sstream>

namespace {

// Legal maps of many cells take long to read and find nothing that a small one does not; the
// unit tests load large ones.
const long fuzzedCellBudget = 512;

// The header as the loader reads it: a count that cannot be read, and every one after it, is 0.
bool largeButLegal(const std::string& text) {
    std::istringstream in(text);
    long cells = 1;
    for (int i = 0; i < 3; ++i) {
        int count = 0;
        if (!(in >> count)) {
            count = 0;
        }
        if (count <= 0 || count > MapManager::maxCellCount) {
            return false;
        }
        cells *= count;
    }
    return cells > fuzzedCellBudget && cells <= MapManager::maxCellCount;
}

bool isEmpty(const MapManager& map) {
    return map.getColumnCount() == 0 && map.getRowCount() == 0 && map.getDepthCount() == 0 &&
           map.getWidth() == 0 && map.getHeight() == 0 && map.getDepth() == 0;
}

void checkLoaded(const MapLoadResult& loaded, const MapManager& map) {
    if (loaded.problem != MapLoadResult::none) {
        promise(isEmpty(map), "a refused map leaves the map empty");
        return;
    }
    if (loaded.columns == 0 || loaded.rows == 0 || loaded.depths == 0) {
        promise(isEmpty(map), "a zero count empties the map in every direction");
        return;
    }
    promise(map.getColumnCount() == loaded.columns && map.getRowCount() == loaded.rows &&
                map.getDepthCount() == loaded.depths,
            "the map has the counts of its header");
    promise(long(loaded.columns) * loaded.rows * loaded.depths <= MapManager::maxCellCount,
            "a loaded map holds at most maxCellCount cells");
}

// Each face of a solid cell is four corners and two triangles; a cell has at most six faces.
void checkMesh(MapManager& map) {
    Model mesh = map.buildModel();
    size_t cells = size_t(map.getColumnCount()) * map.getRowCount() * map.getDepthCount();
    size_t faces = mesh.vertices.size() / 12;
    promise(mesh.vertices.size() % 12 == 0 && faces <= 6 * cells, "whole faces, six a cell");
    promise(mesh.elements.size() == 6 * faces && mesh.normals.size() == mesh.vertices.size(),
            "two triangles and four normals a face");
}

void checkArena(MapManager map) {
    Arena arena(std::move(map));
    for (vec3 eye : arena.spawnPoints()) {
        promise(arena.fits(Box(eye, bodySize)), "spawn points have room for a body");
    }
    arena.fits(Box(arena.centre(), bodySize));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (largeButLegal(text)) {
        return 0;
    }
    MapManager clientMap;
    MapLoadResult loaded = clientMap.load(text);
    checkLoaded(loaded, clientMap);
    MapFile serverMap = mapFromText(text, "fuzzed");
    promise(serverMap.error.empty() == (loaded.problem == MapLoadResult::none),
            "the server refuses with its own error exactly the maps the loader refuses");
    checkMesh(clientMap);
    checkArena(std::move(serverMap.map));
    return 0;
}
