#include "MapFile.h"

#include "FileLoader.h"

#include <filesystem>
#include <optional>

MapFile readMapFile(const std::string& path) {
    std::error_code error;
    std::optional<std::string> text;
    if (std::filesystem::is_regular_file(path, error)) {
        text = fileStringContents(path);
    }
    if (!text) {
        MapFile file;
        file.error = "cannot read map " + path;
        return file;
    }
    return mapFromText(*text, path);
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
