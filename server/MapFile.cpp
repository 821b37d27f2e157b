#include "MapFile.h"

#include "FileLoader.h"

#include <filesystem>
#include <fstream>

MapFile readMapFile(const std::string& path) {
    MapFile file;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || !std::ifstream(path).is_open()) {
        file.error = "cannot read map " + path;
        return file;
    }
    return mapFromText(fileStringContents(path), path);
}

MapFile mapFromText(const std::string& text, const std::string& path) {
    MapFile file;
    MapLoadResult loaded = file.map.load(text);
    if (loaded.problem == MapLoadResult::tooManyCells) {
        file.error = "map " + path + " is too large: more than " +
                     std::to_string(MapManager::maxCellCount) + " cells";
    } else if (loaded.problem == MapLoadResult::negativeCount) {
        file.error = "map " + path + " has a negative cell count";
    }
    return file;
}
