#include "Window.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <iostream>

void sdldie(const char* msg) {
    std::printf("%s: %s\n", msg, SDL_GetError());
    std::fflush(stdout);
    SDL_Quit();
    std::exit(1);
}

void checkSDLError(int line) {
    const char* error = SDL_GetError();
    if (*error == '\0') {
        return;
    }
    std::cout << "SDL Error: " << error << std::endl;
    if (line != -1) {
        std::cout << " + line: " << line << std::endl;
    }
    SDL_ClearError();
}
