#ifndef CUBEFRAY_GL_TEST_HELPERS_H
#define CUBEFRAY_GL_TEST_HELPERS_H

#include "test_support.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <array>
#include <vector>

// A hidden 64 x 64 window with a 3.2 core context, an alpha channel and one vertex array object
// bound, as the client runs; every test gets a fresh one. Tests draw into its back buffer, the
// default one to read, and read it back before any swap.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
        window = SDL_CreateWindow("gl_tests", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64,
                                  64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        context = SDL_GL_CreateContext(window);
        ASSERT_NE(context, nullptr) << SDL_GetError();
        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);
    }

    // SDL turns a null window away by itself; GL needs the context.
    void TearDown() override {
        if (context) {
            glDeleteVertexArrays(1, &vertexArray);
            SDL_GL_DeleteContext(context);
        }
        SDL_DestroyWindow(window);
        SDL_Quit();
    }

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GLuint vertexArray = 0;
};

using Pixel = std::array<unsigned char, 4>;

// RGBA bytes of a rectangle of the framebuffer bound for reading; row 0 is the bottom.
inline std::vector<unsigned char> readPixels(int x, int y, int width, int height) {
    std::vector<unsigned char> all(size_t(width * height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, all.data());
    return all;
}

inline Pixel readPixel(int x, int y) {
    const std::vector<unsigned char> p = readPixels(x, y, 1, 1);
    return Pixel{p[0], p[1], p[2], p[3]};
}

// Leaves the buffer bound, so its contents can be read next.
inline GLint bufferSize(GLenum target, GLuint buffer) {
    glBindBuffer(target, buffer);
    GLint size = -1;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    return size;
}

#endif
