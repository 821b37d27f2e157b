#include "ClientArguments.h"
#include "Codec.h"
#include "Controls.h"
#include "FilePath.h"
#include "FrameLog.h"
#include "FramePacer.h"
#include "Game.h"
#include "Inbox.h"
#include "Scene.h"
#include "SoundPlayer.h"
#include "Timing.h"
#include "UdpEndpoint.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <epoxy/gl.h>
#include <iostream>
#include <optional>
#include <unistd.h>

namespace {

const int startWidth = 720;
const int startHeight = 480;
const double frameMillis = 1000.0 / 60;

// Prints msg and SDL's error text, quits SDL and ends the process with status 1.
[[noreturn]] void sdldie(const char* msg) {
    std::printf("%s: %s\n", msg, SDL_GetError());
    std::fflush(stdout);
    SDL_Quit();
    std::exit(1);
}

// Prints and clears SDL's error text, if there is one.
void checkSDLError(int line) {
    const char* error = SDL_GetError();
    if (*error == '\0') {
        return;
    }
    std::cout << "SDL Error: " << error << std::endl;
    std::cout << " + line: " << line << std::endl;
    SDL_ClearError();
}

// A client that cannot talk to its server has nothing left to do: it ends at once, without the
// shutdown lines.
[[noreturn]] void endOnNetworkFailure(const char* line) {
    std::cout << line << std::flush;
    std::exit(0);
}

// The link to the server as the frame loop uses it: the socket, the server's address and the
// receive thread's queue.
struct ServerLink {
    UdpEndpoint& endpoint;
    PeerAddress server;
    Inbox& inbox;

    void sendWaiting(Game& game) const {
        for (const WireBytes& message : game.outgoing()) {
            if (!endpoint.send(server, message.view()).empty()) {
                endOnNetworkFailure("Error sending bytes to server\n");
            }
        }
        game.clearOutgoing();
    }

    void receiveWaiting(Game& game, double now) const {
        if (inbox.failure() != 0) {
            endOnNetworkFailure("Error receiving bytes from server\n");
        }
        // A datagram counts from when it arrived, but never from after the frame's time.
        inbox.drain([&](std::string_view bytes, const PeerAddress& sender, double arrivedAt) {
            game.receive(bytes, sender, std::min(arrivedAt, now));
        });
    }
};

double gameClock() {
    return preciseMilliseconds();
}

void logFrame(FrameLog& frameLog, Game& game, const Scene& scene) {
    const Player* me = game.shownPlayer(game.clientPlayerID);
    Orientation view = me ? me->getOrientation() : Orientation();
    frameLog.frameDrawn(me ? &view : nullptr, int(scene.viewportSize.x), int(scene.viewportSize.y));
}

void runFrames(Game& game, const ServerLink& link, Scene& scene, SoundPlayer& sound,
               SDL_Window* window, Controls& controls) {
    FramePacer pacer(frameMillis, SDL_GL_GetSwapInterval() == 1);
    FrameLog frameLog;
    while (controls.isRunning()) {
        pacer.frameStarted(preciseMilliseconds());
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            controls.handle(event);
        }
        link.sendWaiting(game);
        double now = gameClock();
        link.receiveWaiting(game, now);
        game.update(now);
        link.sendWaiting(game);
        sound.play(game);
        scene.draw(game);
        logFrame(frameLog, game, scene);
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

void readSettingsInto(Game& game, const std::string& file) {
    SettingsRead settings = readSettings(file);
    if (!settings.problem.empty()) {
        std::cout << "Settings file " << file << " is damaged (" << settings.problem
                  << "): using the defaults" << std::endl;
    }
    game.settings = settings.settings;
}

SDL_Window* openWindow() {
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
    return window;
}

SDL_GLContext createContext(SDL_Window* window) {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 32);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    checkSDLError(137);
    if (context == nullptr) {
        sdldie("Unable to create GL context");
    }
    std::cout << "OpenGL Version: " << glGetString(GL_VERSION) << std::endl;
    SDL_GL_SetSwapInterval(1);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    int depthSize = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthSize);
    std::cout << "GL depth size: " << depthSize << std::endl;
    return context;
}

} // namespace

int main(int argc, char* argv[]) {
    ClientArguments arguments = readClientArguments(argc, argv);
    if (!arguments.reply.empty()) {
        std::cout << arguments.reply;
        return 0;
    }
    const std::string host = argv[1];
    Game game;
    UdpEndpoint endpoint;
    if (!endpoint.open().empty()) {
        endOnNetworkFailure("Error opening socket\n");
    }
    std::optional<uint32_t> serverIP = resolveIPv4(host);
    if (!serverIP) {
        endOnNetworkFailure("error init network stuff\n");
    }
    const PeerAddress server{*serverIP, uint16_t(arguments.port)};
    startDecodingSceneImages();
    const std::string settingsFile = settingsPath();
    readSettingsInto(game, settingsFile);

    SDL_Window* window = openWindow();
    SDL_GLContext mainContext = createContext(window);
    // A core profile draws nothing without a vertex array object; one serves every mesh.
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);

    Scene scene;
    std::string failure = scene.init(game, startWidth, startHeight);
    if (!failure.empty()) {
        std::cout << failure << std::flush;
        return 0;
    }

    Inbox inbox(endpoint, server);
    int lockInit = inbox.initLock();
    int threadCreate = inbox.start();
    std::cout << "MutexInit: " << lockInit << "  PThreadCreate: " << threadCreate << std::endl;
    std::cout << "Name: " << joinedName(argv[3]) << std::endl;
    ServerLink link{endpoint, server, inbox};
    game.start(host, arguments.port, server, gameClock());
    game.join(argv[3], gameClock());
    link.sendWaiting(game);

    SoundPlayer sound;
    startSound(sound, game);
    Controls controls(game, scene, sound, window, settingsFile);
    controls.applySettings();
    runFrames(game, link, scene, sound, window, controls);

    inbox.stop();
    std::cout << "Cleanup game\n";
    game.leave();
    link.sendWaiting(game);
    endpoint.close();
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
