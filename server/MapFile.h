#ifndef CUBEFRAY_SERVER_MAPFILE_H
#define CUBEFRAY_SERVER_MAPFILE_H

#include "MapManager.h"

#include <string>

// A map file loaded, or why it cannot be played.
struct MapFile {
    MapManager map;
    // Empty when the map loaded.
    std::string error;
};

// Refuses what is no readable regular file, and what the map loader refuses.
MapFile readMapFile(const std::string& path);

#endif
