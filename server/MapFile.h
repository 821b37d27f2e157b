#ifndef CUBEFRAY_SERVER_MAPFILE_H
#define CUBEFRAY_SERVER_MAPFILE_H

#include <string>

// A map file read the way the client reads it, or why it cannot be played.
struct MapFile {
    std::string text;
    // Empty when the text can be loaded.
    std::string error;
};

// Refuses what is no readable regular file, and maps beyond MapManager::maxCellCount, which the map
// loader would otherwise answer by ending the process.
MapFile readMapFile(const std::string& path);

#endif
