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
// The map in the text of the file at path, or why the loader refuses it; path only names the
// file in the error.
MapFile mapFromText(const std::string& text, const std::string& path);

#endif
