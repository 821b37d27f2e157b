#ifndef CUBEFRAY_TEST_MAP_TEXT_H
#define CUBEFRAY_TEST_MAP_TEXT_H

#include "MapManager.h"

#include <string>

// Map text whose cells are solid, with side tile 1, where solid(x, y, z) holds. The file lists
// cells with x slowest and z fastest.
template <typename Solid> std::string mapText(int columns, int rows, int depths, Solid solid) {
    std::string text =
        std::to_string(columns) + " " + std::to_string(rows) + " " + std::to_string(depths) + " ";
    for (int i = 0; i < columns * rows * depths; ++i) {
        text += solid(i / (rows * depths), i / depths % rows, i % depths) ? "1 1 " : "0 0 ";
    }
    return text;
}

inline MapManager loadedMap(const std::string& text) {
    MapManager map;
    map.load(text);
    return map;
}

#endif
