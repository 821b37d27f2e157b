#include "MapFile.h"

#include "FileLoader.h"
#include "MapManager.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The cell counts as MapManager::load reads them: a count that cannot be read is 0, and so is
// every count after it.
int readCount(std::istringstream& in) {
    int value = 0;
    if (!(in >> value)) {
        value = 0;
    }
    return value;
}

bool exceedsCellLimit(const std::string& text) {
    std::istringstream in(text);
    long long columns = readCount(in);
    long long rows = readCount(in);
    long long depths = readCount(in);
    if (columns <= 0 || rows <= 0 || depths <= 0) {
        return false;
    }
    return columns * rows * depths > MapManager::maxCellCount;
}

} // namespace

MapFile readMapFile(const std::string& path) {
    MapFile file;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || !std::ifstream(path).is_open()) {
        file.error = "cannot read map " + path;
        return file;
    }
    file.text = fileStringContents(path);
    if (exceedsCellLimit(file.text)) {
        file.error = "map " + path + " is too large: more than " +
                     std::to_string(MapManager::maxCellCount) + " cells";
    }
    return file;
}
