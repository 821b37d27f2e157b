// Frame cost of a busy scene on the real window: update, draw and swap, as the client's loop
// runs them, at two window sizes; and the time from start-up to the first swapped frame.
#include "Game.h"
#include "Scene.h"
#include "Timing.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <epoxy/gl.h>
#include <iostream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Player makePlayer(char id, const char* name, vec3 position, float yaw) {
    vec3 direction(-std::sin(yaw), 0, -std::cos(yaw));
    Player p(position, position + direction, vec3(0, 1, 0));
    p.setPlayerID(id);
    p.setPlayerName(name);
    quat q;
    q.fromAxisAngle(vec3(0, 1, 0), yaw);
    p.setRotation(q);
    return p;
}

void makeBusy(Game& game) {
    game.clientPlayerID = '1';
    game.players = {makePlayer('1', "alice", vec3(1024, 139, 400), 3.1f),
                    makePlayer('2', "bob", vec3(900, 139, 900), 0.3f),
                    makePlayer('3', "carol", vec3(1250, 139, 1100), -0.5f),
                    makePlayer('4', "dave", vec3(1100, 139, 700), 1.6f)};
    game.chatLines = {"bob joined", "carol joined", "dave joined",
                      "bob: hi",    "carol: GG",    "dave: again"};
    game.chatTimer = 10;
    game.talking = true;
    game.talkMessage = "ON MY WAY";
}

// Keeps a hundred live particles in front of the camera, as a fire fight would.
void topUpParticles(Game& game) {
    while (game.particleManager.particles.size() < 100) {
        game.particleManager.addExplosion(10, vec3(1024, 160, 900), vec4(0, 1, 1, 4), 12, 7);
    }
}

struct Figures {
    double median, p90, mean;
};

Figures measureFrames(Game& game, Scene& scene, SDL_Window* window, int frames) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        topUpParticles(game);
        Clock::time_point start = Clock::now();
        game.update();
        scene.draw(game);
        SDL_GL_SwapWindow(window);
        glFinish();
        times.push_back(millisecondsSince(start));
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double t : times) {
        sum += t;
    }
    return {sorted[sorted.size() / 2], sorted[sorted.size() * 9 / 10], sum / double(times.size())};
}

void report(const char* what, const Figures& f) {
    std::printf("%-34s median %6.2f ms   p90 %6.2f ms   mean %6.2f ms\n", what, f.median, f.p90,
                f.mean);
}

} // namespace

int main(int argc, char* argv[]) {
    int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    Clock::time_point processStart = Clock::now();
    Game game;
    game.initNetworkStuff("127.0.0.1", 9);
    SDL_Init(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow("Cubefray", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, 720, 480, SDL_WINDOW_OPENGL);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 32);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (window == nullptr || context == nullptr) {
        std::printf("no GL window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);

    std::cout.setstate(std::ios::failbit);
    Scene scene;
    scene.init(game, 720, 480);
    game.update();
    scene.draw(game);
    SDL_GL_SwapWindow(window);
    glFinish();
    double startup = millisecondsSince(processStart);
    std::cout.clear();

    std::printf("Renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("%-34s %6.1f ms\n", "start-up to first swapped frame", startup);
    makeBusy(game);
    report("busy frame at 720 x 480", measureFrames(game, scene, window, frames));
    SDL_SetWindowSize(window, 1280, 800);
    scene.reshape(1280, 800);
    report("busy frame at 1280 x 800", measureFrames(game, scene, window, frames));

    scene.release();
    glDeleteVertexArrays(1, &vertexArray);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
