#ifndef CUBEFRAY_IMAGELOADER_H
#define CUBEFRAY_IMAGELOADER_H

#include <string>
#include <vector>

// A PNG decoded to 8-bit RGBA, bottom row first as GL takes it, with its smaller mipmap levels
// when its sides are powers of two. error is LodePNG's code, 0 when it decoded.
struct DecodedImage {
    unsigned error = 0;
    unsigned width = 0;
    unsigned height = 0;
    // Level 0 first, each half the size of the one before down to 1 x 1.
    std::vector<std::vector<unsigned char>> levels;
};

DecodedImage decodeImage(const std::string& path);

// Starts decoding the images on another thread, so that start-up can create the window in the
// meantime; loadTexture takes the result when it comes to the same path.
void prefetchImages(const std::vector<std::string>& paths);

// A texture's name, or what the client says of an image it cannot decode before it stops: empty
// when the texture was made.
struct LoadedTexture {
    unsigned int texture = 0;
    std::string failure;
};

// Loads a PNG into a new mipmapped RGBA texture. A file that cannot be decoded makes no texture.
[[nodiscard]] LoadedTexture loadTexture(const std::string& path);
// PNG rows run top to bottom, GL rows bottom to top. Rows are width * 4 bytes; pixels too short
// for height rows are left alone.
void flipRowsVertically(std::vector<unsigned char>& pixels, unsigned width, unsigned height);
// The next mipmap level of an RGBA image: each texel the rounded mean of a 2 x 2 block, taken
// as two rounded halvings, across first. Sides of 1 stay 1.
std::vector<unsigned char> halveImage(const std::vector<unsigned char>& pixels, unsigned width,
                                      unsigned height);

#endif
