// Frames of real game traffic: a recorded match against bots (bench/match.cfreplay, made by
// bench/record_match.py) played through the game state and drawn on the real window as fast as
// it goes, each frame a sixtieth of a second of the match, as the client's loop would draw it.
// Prints the frame times and the frames a second it could sustain.
#include "BenchWindow.h"
#include "ReplayFolder.h"
#include "ReplayPlayer.h"
#include "Scene.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

} // namespace

int main(int argc, char* argv[]) {
    std::string path = argc > 1 ? argv[1] : CUBEFRAY_SOURCE_DIR "/bench/match.cfreplay";
    Replay replay = readReplayFile(path);
    if (replay.records.empty() || !replay.problem.empty()) {
        std::printf("%s cannot be played: %s\n", path.c_str(), replay.problem.c_str());
        return 1;
    }
    startDecodingSceneImages();
    BenchWindow bench;
    if (!bench.isOpen()) {
        std::printf("no GL window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = bench.window();
    std::cout.setstate(std::ios::failbit);
    Scene scene;
    Game mapHolder;
    std::string failure = scene.init(mapHolder, 720, 480);
    double length = double(replay.records.back().millis);
    ReplayPlayer player(std::move(replay), mapHolder.mapManager, 0);
    std::vector<double> frames;
    const double step = 1000.0 / 60;
    for (double at = step; failure.empty() && at <= length + step; at += step) {
        Clock::time_point start = Clock::now();
        player.advance(at);
        scene.draw(player.game());
        scene.drawReplayBar(player);
        SDL_GL_SwapWindow(window);
        glFinish();
        frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::cout.clear();
    if (!failure.empty() || frames.empty()) {
        std::printf("cannot draw: %s\n", failure.c_str());
        return 1;
    }
    double total = 0;
    for (double frame : frames) {
        total += frame;
    }
    std::printf("Renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("replay of %.1f s, %zu frames at 720 x 480\n", length / 1000, frames.size());
    std::printf("frame median %.2f ms   p90 %.2f ms   p99 %.2f ms   max %.2f ms\n",
                percentile(frames, 0.5), percentile(frames, 0.9), percentile(frames, 0.99),
                percentile(frames, 1.0));
    std::printf("%.0f frames a second sustained\n", 1000.0 * double(frames.size()) / total);
    scene.release();
    return 0;
}
