// Frame cost of a busy scene on the real window: update, draw and swap, as the client's loop
// runs them, at two window sizes, beside a bare clear and swap at the same size; and the time
// from start-up to the first swapped frame. With --save DIR the busy frames are also written
// there as PNG files, to compare pictures before and after a change. With --sound the frames
// also play the fire fight's sounds, through OpenAL's default output or, where no output is
// configured, its null output, which mixes in real time as a sound card would.
#include "BenchWindow.h"
#include "FilePath.h"
#include "Game.h"
#include "Scene.h"
#include "SoundPlayer.h"
#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <lodepng.h>
#include <string>
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
    game.connection.admitted();
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

// Keeps a hundred live particles in front of the camera, as a fire fight would, and the server
// heard from, as in a match.
void topUpParticles(Game& game) {
    game.connection.heard(double(getCurrentMillisecond()));
    while (game.particleManager.particles.size() < 100) {
        game.particleManager.addExplosion(10, vec3(1024, 160, 900), vec4(0, 1, 1, 4), 12, 7);
    }
}

// What four players firing ten times a second sound like, every sixth frame: a shot from each
// and where each lands. Without sound nobody takes them.
void addVolley(Game& game, int frame) {
    if (frame % 6 != 0) {
        return;
    }
    for (const Player& p : game.players) {
        bool own = p.getPlayerID() == game.clientPlayerID;
        game.sounds.add(own ? SoundKind::ownShot : SoundKind::shot, p.getPosition());
        game.sounds.add(SoundKind::impact, p.getPosition() + p.getDirection() * 500);
    }
}

struct Figures {
    double median, p90, mean;
};

template <typename Frame> Figures measure(int frames, Frame frame) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        Clock::time_point start = Clock::now();
        frame();
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

void report(const std::string& what, const Figures& f) {
    std::printf("%-34s median %6.2f ms   p90 %6.2f ms   mean %6.2f ms\n", what.c_str(), f.median,
                f.p90, f.mean);
}

// The back buffer as a PNG, top row first.
void saveFrame(const std::string& path, int width, int height) {
    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<unsigned char> flipped;
    for (int row = height - 1; row >= 0; --row) {
        auto start = pixels.begin() + long(row) * width * 4;
        flipped.insert(flipped.end(), start, start + width * 4);
    }
    lodepng::encode(path, flipped, unsigned(width), unsigned(height));
}

void measureAtSize(Game& game, Scene& scene, SoundPlayer& sound, SDL_Window* window, int width,
                   int height, int frames, const std::string& saveDir) {
    SDL_SetWindowSize(window, width, height);
    scene.reshape(float(width), float(height));
    std::string size = std::to_string(width) + " x " + std::to_string(height);
    Figures bare = measure(frames, [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
    });
    int frame = 0;
    Figures busy = measure(frames, [&] {
        topUpParticles(game);
        addVolley(game, frame++);
        game.update(double(getCurrentMillisecond()));
        sound.play(game);
        scene.draw(game);
        SDL_GL_SwapWindow(window);
    });
    report("bare clear and swap at " + size, bare);
    report("busy frame at " + size, busy);
    std::printf("%-34s %6.2f\n", ("busy / bare at " + size).c_str(), busy.median / bare.median);
    if (!saveDir.empty()) {
        game.particleManager.particles.clear();
        std::srand(1);
        topUpParticles(game);
        scene.draw(game);
        saveFrame(saveDir + "/busy_" + std::to_string(width) + ".png", width, height);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    int frames = 300;
    std::string saveDir;
    bool withSound = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--save" && i + 1 < argc) {
            saveDir = argv[++i];
        } else if (std::string(argv[i]) == "--sound") {
            withSound = true;
        } else {
            frames = std::max(10, std::atoi(argv[i]));
        }
    }
    Clock::time_point processStart = Clock::now();
    Game game;
    game.start("127.0.0.1", 4000, PeerAddress{0x7f000001, 4000}, double(getCurrentMillisecond()));
    startDecodingSceneImages();
    BenchWindow bench;
    if (!bench.isOpen()) {
        std::printf("no GL window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = bench.window();

    std::cout.setstate(std::ios::failbit);
    Scene scene;
    std::string failure = scene.init(game, 720, 480);
    if (!failure.empty()) {
        std::cout.clear();
        std::cout << failure << std::flush;
        return 1;
    }
    game.update(double(getCurrentMillisecond()));
    scene.draw(game);
    SDL_GL_SwapWindow(window);
    glFinish();
    double startup = millisecondsSince(processStart);
    std::cout.clear();

    std::printf("Renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("%-34s %6.1f ms\n", "start-up to first swapped frame", startup);
    SoundPlayer sound;
    if (withSound) {
        setenv("ALSOFT_DRIVERS", "null", 0);
        if (!sound.openDefaultDevice()) {
            std::printf("no sound output\n");
            return 1;
        }
        sound.loadSounds(getResourcePath(""));
    }
    std::printf("sound: %s\n", sound.isOn() ? "on" : "off");
    makeBusy(game);
    measureAtSize(game, scene, sound, window, 720, 480, frames, saveDir);
    measureAtSize(game, scene, sound, window, 1280, 800, frames, saveDir);
    sound.stop();

    scene.release();
    return 0;
}
