#include "Sprites.h"

#include <epoxy/gl.h>

#include <iostream>
#include <type_traits>

static_assert(std::is_same<GLuint, unsigned int>::value, "sprites are named by unsigned int");

void setSprites(std::vector<GLuint>& sprites, std::vector<vec2> uvs) {
    std::cout << "uvs.size(): " << uvs.size() << std::endl;
    for (size_t k = 0; 4 * k + 3 < uvs.size(); ++k) {
        float corners[8];
        for (size_t c = 0; c < 4; ++c) {
            corners[2 * c] = uvs[4 * k + c].x;
            corners[2 * c + 1] = uvs[4 * k + c].y;
        }
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
        sprites.push_back(buffer);
    }
    std::cout << "sprites.size(): " << sprites.size() << std::endl;
}
