#ifndef CUBEFRAY_GL_TEST_HELPERS_H
#define CUBEFRAY_GL_TEST_HELPERS_H

#include "../unit/test_helpers.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

// A hidden window with a 3.2 core context and one vertex array object bound, as the client
// runs; every test gets a fresh one.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
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

// An RGBA framebuffer of its own, bound for drawing and reading while it lives; cleared to
// transparent black. Its rows are whole multiples of four bytes, so no pack alignment matters.
class RenderTarget {
  public:
    RenderTarget(int width, int height) : width(width), height(height) {
        glGenRenderbuffers(1, &colorBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colorBuffer);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, width, height);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    ~RenderTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colorBuffer);
    }
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Row 0 is the bottom of the picture.
    Pixel pixel(int x, int y) const {
        Pixel p{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
    std::vector<unsigned char> pixels() const {
        std::vector<unsigned char> all(static_cast<size_t>(width * height) * 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, all.data());
        return all;
    }

    const int width;
    const int height;

  private:
    GLuint colorBuffer = 0;
    GLuint framebuffer = 0;
};

inline std::string pixelText(const Pixel& p) {
    return std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) + ", " +
           std::to_string(p[3]);
}

#endif
