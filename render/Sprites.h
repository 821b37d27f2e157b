#ifndef CUBEFRAY_SPRITES_H
#define CUBEFRAY_SPRITES_H

#include "Vector.h"

#include <vector>

// Makes one texture-coordinate buffer for every full group of four corners in uvs and appends
// their names to sprites. Coordinates left over at the end are ignored.
void setSprites(std::vector<unsigned int>& sprites, std::vector<vec2> uvs);

#endif
