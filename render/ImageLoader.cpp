#include "ImageLoader.h"

#include <epoxy/gl.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <type_traits>

static_assert(std::is_same<GLuint, unsigned int>::value, "textures are named by unsigned int");

void flipRowsVertically(std::vector<unsigned char>& pixels, unsigned width, unsigned height) {
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (rowBytes == 0 || height > pixels.size() / rowBytes) {
        return;
    }
    for (size_t i = 0; i < height / 2; ++i) {
        auto top = pixels.begin() + static_cast<std::ptrdiff_t>(i * rowBytes);
        auto bottom = pixels.begin() + static_cast<std::ptrdiff_t>((height - 1 - i) * rowBytes);
        std::swap_ranges(top, top + static_cast<std::ptrdiff_t>(rowBytes), bottom);
    }
}

GLuint loadTexture(std::string path) {
    std::cout << "Loading image file: " + path << std::endl;
    std::vector<unsigned char> image;
    unsigned width = 0;
    unsigned height = 0;
    unsigned error = lodepng::decode(image, width, height, path, LCT_RGBA, 8);
    if (error) {
        std::cout << "LodePNG decoder error " << error << ": " << lodepng_error_text(error)
                  << std::endl;
        std::cout << "EXITING\n\n";
        exit(0);
    }
    std::cout << "Image Size: " << image.size() << " Width: " << width << " Height: " << height
              << std::endl;
    flipRowsVertically(image, width, height);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The rows are packed; say so rather than depend on whatever alignment was set last.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    std::cout << "Returning texture ID\n\n";
    return texture;
}
