// Counts the C++ heap allocations of the main thread across steady frames of a busy match:
// update, sound, draw and swap with four players shooting, mouse turns, particles, chat, the menu
// and overlay text, the match recorded as it goes.
#include "FilePath.h"
#include "Game.h"
#include "Recorder.h"
#include "Scene.h"
#include "SoundPlayer.h"
#include "gl_test_helpers.h"
#include "test_support.h"

#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

thread_local bool counting = false;
thread_local long allocations = 0;

} // namespace

void* operator new(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    ::operator delete(memory);
}

namespace {

PlayerUpdate shooter(char id, const char* name, vec3 position, float yaw) {
    PlayerUpdate record =
        playerRecord(id, name, position, vec3(-std::sin(yaw), -0.1f, -std::cos(yaw)), true);
    record.rotation.fromAxisAngle(vec3(0, 1, 0), yaw);
    record.points = 7;
    return record;
}

std::string busyUpdate() {
    return updateDatagram({shooter('1', "alice", vec3(1024, 139, 400), 3.1f),
                           shooter('2', "bob", vec3(1030, 139, 900), 0.3f),
                           shooter('3', "carol", vec3(1250, 139, 1100), -0.5f),
                           shooter('4', "dave", vec3(1100, 139, 700), 1.6f)});
}

using SteadyFrame = GlTest;

TEST_F(SteadyFrame, AllocatesNothingOnTheMainThread) {
    Game game;
    const PeerAddress server{0x7f000001, 4000};
    Scene scene;
    testing::internal::CaptureStdout();
    const std::string failure = scene.init(game, 720, 480);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(failure, "");
    testing::internal::CaptureStdout();
    double now = 0;
    game.start("127.0.0.1", server.port, server, now);
    game.receive("s1", server, now);
    game.chatLines = {"bob joined", "carol joined", "dave joined",
                      "bob: HI",    "carol: GG",    "dave: AGAIN AND AGAIN AND AGAIN"};
    game.talking = true;
    game.talkMessage = "ON MY WAY";
    // The link's lines in the menu and on the screen.
    game.settings.networkLine = true;
    game.menu.show();
    // The sound mixes into memory, a frame's worth each frame.
    auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    ALCdevice* device = openLoopback(nullptr);
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_SHORT_SOFT,
                                 ALC_FREQUENCY,
                                 48000,
                                 0};
    SoundPlayer sound;
    ASSERT_TRUE(sound.start(device, attributes));
    sound.loadSounds(getResourcePath(""));
    short mix[800 * 2];
    // The datagram as the receive thread has it ready; the frame hands it to the game and to the
    // recorder.
    const std::string update = busyUpdate();
    Recorder recorder;
    recorder.begin(::testing::TempDir() + "steady_" + std::to_string(getpid()) + ".cfreplay", now);
    recorder.admitted({"127.0.0.1:4000", "alice", '1', "2026-12-07T12:00:00Z"});
    auto frame = [&] {
        now += 1000.0 / 60;
        game.mouseMoved(2, 1, now);
        game.receive(update, server, now);
        recorder.record(update, now);
        game.update(now);
        game.clearOutgoing();
        sound.play(game);
        render(device, mix, 800);
        scene.draw(game);
        SDL_GL_SwapWindow(window);
    };
    for (int warmUp = 0; warmUp < 100; ++warmUp) {
        frame();
    }
    counting = true;
    for (int measured = 0; measured < 300; ++measured) {
        frame();
    }
    counting = false;
    testing::internal::GetCapturedStdout();
    // The scene really was busy: every player listed, sparks flying, shots heard, the overlay
    // up.
    EXPECT_EQ(game.players.size(), 4u);
    EXPECT_NE(std::count(mix, mix + 1600, short(0)), 1600);
    EXPECT_GT(game.particleManager.particles.size(), 100u);
    EXPECT_EQ(allocations, 0);
    scene.release();
}

} // namespace
