#include "ClientArguments.h"
#include "Controls.h"
#include "FilePath.h"
#include "FrameLog.h"
#include "FramePacer.h"
#include "Game.h"
#include "Messages.h"
#include "Scene.h"
#include "SoundPlayer.h"
#include "Timing.h"
#include "Window.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <iostream>
#include <unistd.h>

namespace {

const int startWidth = 720;
const int startHeight = 480;
const double frameMillis = 1000.0 / 60;

void runFrames(Game& game, Scene& scene, SoundPlayer& sound, SDL_Window* window,
               Controls& controls) {
    FramePacer pacer(frameMillis, SDL_GL_GetSwapInterval() == 1);
    FrameLog frameLog;
    while (controls.isRunning()) {
        pacer.frameStarted(preciseMilliseconds());
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            controls.handle(event);
        }
        game.update();
        sound.play(game);
        scene.draw(game);
        SDL_GL_SwapWindow(window);
        frameLog.framePresented();
        double rest = pacer.sleepAfterSwap(preciseMilliseconds());
        if (rest > 0) {
            usleep(static_cast<useconds_t>(rest * 1000));
        }
    }
    frameLog.write();
}

// Without an output the game goes on silently; with one the menu offers the volume.
void startSound(SoundPlayer& sound, Game& game) {
    if (!sound.openDefaultDevice()) {
        std::cout << "No audio device: the game runs without sound" << std::endl;
        return;
    }
    sound.loadSounds(getResourcePath(""));
    game.menu = Menu(true);
}

} // namespace

int main(int argc, char* argv[]) {
    ClientArguments arguments = readClientArguments(argc, argv);
    if (!arguments.reply.empty()) {
        std::cout << arguments.reply;
        return 0;
    }
    Game game;
    vec2 windowSize(startWidth, startHeight);
    game.initNetworkStuff(argv[1], arguments.port);
    startDecodingSceneImages();
    std::string settingsFile = settingsPath();
    SettingsRead settings = readSettings(settingsFile);
    if (!settings.problem.empty()) {
        std::cout << "Settings file " << settingsFile << " is damaged (" << settings.problem
                  << "): using the defaults" << std::endl;
    }
    game.settings = settings.settings;

    // The video subsystem must be up before the context attributes are set, or they are lost
    // and the driver hands out a compatibility context.
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        sdldie("Unable to initialize SDL");
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow(
        "Cubefray", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, startWidth, startHeight,
        SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED);
    if (window == nullptr) {
        sdldie("Unable to create window");
    }
    checkSDLError(129);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 32);
    SDL_GLContext mainContext = SDL_GL_CreateContext(window);
    checkSDLError(137);
    if (mainContext == nullptr) {
        sdldie("Unable to create GL context");
    }
    std::cout << "OpenGL Version: " << glGetString(GL_VERSION) << std::endl;
    SDL_GL_SetSwapInterval(1);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    int depthSize = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthSize);
    std::cout << "GL depth size: " << depthSize << std::endl;

    // A core profile draws nothing without a vertex array object; one serves every mesh.
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);

    Scene scene;
    std::string failure = scene.init(game, windowSize.x, windowSize.y);
    if (!failure.empty()) {
        std::cout << failure << std::flush;
        return 0;
    }

    int mutexInit = pthread_mutex_init(&game.mutex, nullptr);
    int threadCreate = game.startReceiveThread();
    std::cout << "MutexInit: " << mutexInit << "  PThreadCreate: " << threadCreate << std::endl;

    JoinMessage join(argv[3]);
    std::cout << "Name: " << textOfField(join.name, sizeof(join.name)) << std::endl;
    game.join(argv[3]);

    SoundPlayer sound;
    startSound(sound, game);
    Controls controls(game, scene, sound, window, settingsFile);
    controls.applySettings();
    runFrames(game, scene, sound, window, controls);

    game.stopReceiveThread();
    pthread_mutex_destroy(&game.mutex);
    std::cout << "Cleanup game\n";
    game.cleanup();
    // The text drawer's GL objects go while the context they belong to still exists.
    scene.release();
    glDeleteVertexArrays(1, &vertexArray);
    std::cout << "Delete maincontext\n";
    SDL_GL_DeleteContext(mainContext);
    std::cout << "Destory mainwindow\n";
    SDL_DestroyWindow(window);
    std::cout << "SDL_Quit()\n" << std::flush;
    SDL_Quit();
    return 0;
}
