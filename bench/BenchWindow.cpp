#include "BenchWindow.h"

BenchWindow::BenchWindow() {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 32);
    sdlWindow = SDL_CreateWindow("Cubefray", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 720,
                                 480, SDL_WINDOW_OPENGL);
    context = sdlWindow ? SDL_GL_CreateContext(sdlWindow) : nullptr;
    if (context == nullptr) {
        return;
    }
    SDL_GL_SetSwapInterval(0);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
}

BenchWindow::~BenchWindow() {
    if (context != nullptr) {
        glDeleteVertexArrays(1, &vertexArray);
        SDL_GL_DeleteContext(context);
    }
    if (sdlWindow != nullptr) {
        SDL_DestroyWindow(sdlWindow);
    }
    SDL_Quit();
}
