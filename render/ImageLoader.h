#ifndef CUBEFRAY_IMAGELOADER_H
#define CUBEFRAY_IMAGELOADER_H

#include <string>
#include <vector>

// Loads a PNG into a new mipmapped RGBA texture and returns its name. A file that cannot be
// decoded ends the process with status 0.
unsigned int loadTexture(std::string path);
// PNG rows run top to bottom, GL rows bottom to top. Rows are width * 4 bytes; pixels too short
// for height rows are left alone.
void flipRowsVertically(std::vector<unsigned char>& pixels, unsigned width, unsigned height);

#endif
