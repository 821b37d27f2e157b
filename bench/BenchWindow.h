#ifndef CUBEFRAY_BENCH_WINDOW_H
#define CUBEFRAY_BENCH_WINDOW_H

#include <SDL.h>
#include <epoxy/gl.h>

// The GL 3.2 core window the frame benches draw into, 720 x 480 to begin with. No vertical sync:
// what is measured is what a frame costs, not the display's pace.
class BenchWindow {
  public:
    BenchWindow();
    ~BenchWindow();
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // Whether the window and its context are there; SDL_GetError tells why not.
    bool isOpen() const { return context != nullptr; }
    SDL_Window* window() const { return sdlWindow; }

  private:
    SDL_Window* sdlWindow = nullptr;
    SDL_GLContext context = nullptr;
    GLuint vertexArray = 0;
};

#endif
