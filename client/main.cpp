#include "ClientArguments.h"
#include "Codec.h"
#include "Controls.h"
#include "Display.h"
#include "FilePath.h"
#include "FrameLog.h"
#include "FramePacer.h"
#include "Game.h"
#include "Gamepads.h"
#include "Inbox.h"
#include "InputNames.h"
#include "LocalServer.h"
#include "Recorder.h"
#include "ReplayControls.h"
#include "ReplayFolder.h"
#include "ReplayOverlay.h"
#include "Scene.h"
#include "ServerBrowser.h"
#include "SoundPlayer.h"
#include "StartControls.h"
#include "StartScreen.h"
#include "Timing.h"
#include "UdpEndpoint.h"

#include <SDL.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <epoxy/gl.h>
#include <iostream>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace {

const int startWidth = 720;
const int startHeight = 480;
const double frameMillis = 1000.0 / 60;
// A join begun from the start screen gives up after this long without an answer.
const double giveUpMillis = 6000;
// Datagrams of the server list handled in one frame at the most.
const int maxQueryAnswersPerFrame = 256;

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

double gameClock() {
    return preciseMilliseconds();
}

// What lasts from start to end, whatever is played: the window, the picture, the sound, the
// settings and the map.
struct Shell {
    Shell(SDL_Window* window, Scene& scene, SoundPlayer& sound, Display& display,
          FrameLog& frameLog)
        : window(window), scene(scene), sound(sound), display(display), frameLog(frameLog) {}

    SDL_Window* window;
    Scene& scene;
    SoundPlayer& sound;
    Display& display;
    FrameLog& frameLog;
    Settings settings;
    Bindings bindings = defaultBindings();
    Gamepads gamepads;
    // A damaged settings file is only written over when the player changes a setting.
    bool settingsDamaged = false;
    bool soundStarted = false;
    MapManager map;

    // Without an output the game goes on silently; with one the menus offer the volume.
    void startSound() {
        if (soundStarted) {
            return;
        }
        soundStarted = true;
        if (!sound.openDefaultDevice()) {
            std::cout << "No audio device: the game runs without sound" << std::endl;
            return;
        }
        sound.loadSounds(getResourcePath(""));
    }

    void presentFrame(const Player* me) {
        Orientation view = me ? me->getOrientation() : Orientation();
        frameLog.frameDrawn(me ? &view : nullptr, int(scene.viewportSize.x),
                            int(scene.viewportSize.y));
        SDL_GL_SwapWindow(window);
        frameLog.framePresented();
    }
};

// The link to the server as the frame loop uses it: the socket, the server's address and the
// receive thread's queue.
struct ServerLink {
    UdpEndpoint& endpoint;
    PeerAddress server;
    Inbox& inbox;
    Recorder& recorder;

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
            recorder.record(bytes, std::min(arrivedAt, now));
        });
    }
};

// Where a match is played: the server as the player named it and its address, and whether it
// goes into the servers joined lately (the game's own server for a match against bots does not).
struct MatchPlace {
    ServerAddress named;
    PeerAddress address;
    bool remembered = true;
};

enum class MatchEnd { quit, left, serverFull, noAnswer };

// The recording of a match: into the file the command line names, else into the replays folder
// when the settings say so, which keeps the newest. The header is complete once the server has
// given the player its id.
struct Recording {
    Recorder recorder;
    ReplayHeader header;

    void begin(const Settings& settings, const std::string& file, const MatchPlace& place,
               const std::string& name, double now) {
        std::time_t started = std::time(nullptr);
        header = {place.named.text(), joinedName(name), 0, isoTime(started)};
        std::string path = file;
        if (path.empty() && settings.record) {
            std::string folder = replayFolder();
            std::string failure = makeRoomForReplay(folder, size_t(settings.replaysKept));
            if (!failure.empty()) {
                std::cout << "The match is not recorded: " << failure << std::endl;
                return;
            }
            path = folder + "/" + replayFileName(started, place.named.text());
        }
        if (!path.empty()) {
            recorder.begin(path, now);
        }
    }

    void admitted(char playerID) {
        header.playerID = static_cast<unsigned char>(playerID);
        recorder.admitted(header);
    }

    // A recording that failed is said once; the match goes on.
    void sayFailure() {
        std::string failure = recorder.takeFailure();
        if (!failure.empty()) {
            std::cout << "The match is no longer recorded: " << failure << std::endl;
        }
    }
};

void sleepOutTheFrame(FramePacer& pacer) {
    double rest = pacer.sleepAfterSwap(preciseMilliseconds());
    if (rest > 0) {
        usleep(static_cast<useconds_t>(rest * 1000));
    }
}

// The server goes into the servers joined lately (not the game's own server of a match against
// bots); a damaged settings file is only written over when the player changes a setting.
void remember(Shell& shell, Settings& settings, const MatchPlace& place) {
    if (place.remembered) {
        settings.joined(place.named);
        if (!shell.settingsDamaged) {
            shell.display.save(settings);
        }
    }
}

// A join from the start screen that is refused or unanswered goes back there to say so.
std::optional<MatchEnd> failedJoin(const Game& game, double now, double started) {
    Connection::Status status = game.connection.status(now);
    if (status == Connection::Status::serverFull) {
        return MatchEnd::serverFull;
    }
    if (status == Connection::Status::noAnswer && now - started > giveUpMillis) {
        return MatchEnd::noAnswer;
    }
    return std::nullopt;
}

MatchEnd runFrames(Shell& shell, Game& game, const ServerLink& link, Controls& controls,
                   Recording& recording, const MatchPlace& place, bool fromStartScreen) {
    FramePacer pacer(frameMillis, SDL_GL_GetSwapInterval() == 1);
    const double started = gameClock();
    bool admitted = false;
    while (controls.isRunning()) {
        pacer.frameStarted(preciseMilliseconds());
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            controls.handle(event);
        }
        double now = gameClock();
        controls.frame(now);
        link.sendWaiting(game);
        link.receiveWaiting(game, now);
        game.update(now);
        link.sendWaiting(game);
        if (!admitted && game.connection.wasAdmitted()) {
            admitted = true;
            recording.admitted(game.clientPlayerID);
            remember(shell, game.settings, place);
        }
        recording.sayFailure();
        if (std::optional<MatchEnd> failed = failedJoin(game, now, started);
            failed && fromStartScreen) {
            return *failed;
        }
        shell.sound.play(game);
        shell.scene.draw(game);
        shell.presentFrame(game.shownPlayer(game.clientPlayerID));
        sleepOutTheFrame(pacer);
    }
    return controls.quitRequested() ? MatchEnd::quit : MatchEnd::left;
}

// One match on the server, from the join to the leave; the settings the player changes in it
// are kept.
MatchEnd playMatch(Shell& shell, UdpEndpoint& endpoint, const MatchPlace& place,
                   const std::string& name, Menu::Kind menuKind,
                   const std::string& recordFile = "") {
    Game game;
    game.mapManager = shell.map;
    game.settings = shell.settings;
    Inbox inbox(endpoint, place.address);
    int lockInit = inbox.initLock();
    int threadCreate = inbox.start();
    std::cout << "MutexInit: " << lockInit << "  PThreadCreate: " << threadCreate << std::endl;
    std::cout << "Name: " << joinedName(name) << std::endl;
    Recording recording;
    ServerLink link{endpoint, place.address, inbox, recording.recorder};
    recording.begin(shell.settings, recordFile, place, name, gameClock());
    game.start(place.named.host, place.named.port, place.address, gameClock());
    game.join(name, gameClock());
    link.sendWaiting(game);

    shell.startSound();
    game.menu = Menu(shell.sound.isOn(), menuKind);
    Controls controls(game, shell.display, shell.bindings, shell.gamepads);
    shell.display.apply(game.settings);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    MatchEnd end = runFrames(shell, game, link, controls, recording, place,
                             menuKind == Menu::Kind::matchFromStartScreen);

    inbox.stop();
    recording.recorder.end();
    std::cout << "Cleanup game\n";
    game.leave();
    link.sendWaiting(game);
    shell.settings = game.settings;
    return end;
}

// A replay watched in the window until the player quits, or leaves for the start screen.
MatchEnd playReplay(Shell& shell, Replay replay, Menu::Kind menuKind) {
    ReplayPlayer player(std::move(replay), shell.map, gameClock());
    shell.startSound();
    player.game().settings = shell.settings;
    player.game().menu = Menu(shell.sound.isOn(), menuKind);
    ReplayControls controls(player, shell.display, shell.bindings, shell.gamepads);
    shell.display.apply(shell.settings);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    FramePacer pacer(frameMillis, SDL_GL_GetSwapInterval() == 1);
    bool toldTheEnd = false;
    while (controls.isRunning()) {
        pacer.frameStarted(preciseMilliseconds());
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            controls.handle(event);
        }
        controls.fly();
        player.advance(gameClock());
        if (player.atEnd() && !std::exchange(toldTheEnd, true)) {
            std::cout << "Replay ends at " << int(player.length() / 100) / 10.0 << " s"
                      << std::endl;
        }
        Game& game = player.game();
        shell.sound.play(game);
        shell.scene.draw(game, player.freeCamera());
        shell.scene.drawReplayBar(player);
        shell.presentFrame(game.shownPlayer(game.clientPlayerID));
        sleepOutTheFrame(pacer);
    }
    shell.settings = player.game().settings;
    return controls.quitRequested() ? MatchEnd::quit : MatchEnd::left;
}

// The replay in the file, or why none of it can be played; a damaged file plays what is sound
// of it and says what is wrong.
std::optional<Replay> loadReplay(const std::string& path) {
    Replay replay = readReplayFile(path);
    if (replay.records.empty()) {
        std::cout << "Replay " << path << " cannot be played: "
                  << (replay.problem.empty() ? "it holds nothing" : replay.problem) << std::endl;
        return std::nullopt;
    }
    if (!replay.problem.empty()) {
        std::cout << "Replay " << path << " is damaged (" << replay.problem
                  << "): it plays as far as it is sound" << std::endl;
    }
    return replay;
}

// The name a join from the start screen carries: the player's, else the login name.
std::string joinName(const Settings& settings) {
    if (!settings.name.empty()) {
        return settings.name;
    }
    const passwd* user = getpwuid(getuid());
    std::string login = playerName(user != nullptr ? user->pw_name : "");
    return login.empty() ? "player" : login;
}

std::vector<PeerAddress> resolved(const std::vector<ServerAddress>& servers) {
    std::vector<PeerAddress> addresses;
    for (const ServerAddress& server : servers) {
        if (std::optional<uint32_t> ip = resolveIPv4(server.host)) {
            addresses.push_back({*ip, uint16_t(server.port)});
        }
    }
    return addresses;
}

ServerSources sourcesOf(const Settings& settings) {
    ServerSources sources;
    sources.localNetwork = settings.lanSearch;
    sources.favourites = resolved(settings.favourites);
    sources.known = sources.favourites;
    for (const PeerAddress& recent : resolved(settings.recent)) {
        sources.known.push_back(recent);
    }
    sources.masters = resolved(settings.masters);
    return sources;
}

// The start screen and the matches begun from it.
class StartLoop {
  public:
    StartLoop(Shell& shell, const ClientArguments& arguments)
        : shell(shell), screen(shell.sound.isOn(), shell.settings),
          controls(screen, browser, shell.settings, shell.display, shell.bindings, shell.gamepads) {
        if (!queries.open().empty() || !queries.allowBroadcast().empty()) {
            screen.setNotice("The server list cannot search: no network");
        }
        if (arguments.brokenLink) {
            screen.setNotice("A link is cubefray://HOST:PORT");
        }
        if (arguments.link) {
            pending = screen.joinAddress(*arguments.link);
        }
    }

    // Until the player quits; false when the window was closed inside a match, whose shutdown
    // has been said already.
    bool run() {
        FramePacer pacer(frameMillis, SDL_GL_GetSwapInterval() == 1);
        while (!controls.quitRequested()) {
            pacer.frameStarted(preciseMilliseconds());
            if (!perform(std::exchange(pending, StartScreen::Action::none))) {
                return false;
            }
            SDL_Event event;
            while (SDL_PollEvent(&event)) {
                StartScreen::Action action = controls.handle(event);
                pending = action == StartScreen::Action::none ? pending : action;
            }
            double now = gameClock();
            listServers(now);
            shell.scene.drawStartScreen(screen, browser, shell.settings, now);
            shell.presentFrame(nullptr);
            awaitAnswers(pacer);
        }
        std::cout << "Exiting game\n" << std::flush;
        return true;
    }

  private:
    // False when the window was closed during a match.
    bool perform(StartScreen::Action action) {
        switch (action) {
        case StartScreen::Action::playBots:
            return playAgainstBots();
        case StartScreen::Action::join:
            return join(screen.target());
        case StartScreen::Action::search:
            browser.refresh(sourcesOf(shell.settings), gameClock());
            return true;
        case StartScreen::Action::quit:
            controls.requestQuit();
            return true;
        case StartScreen::Action::settingsChanged:
            shell.display.apply(shell.settings);
            shell.display.save(shell.settings);
            return true;
        case StartScreen::Action::toggleFullscreen:
            shell.display.toggleFullscreen(shell.settings);
            return true;
        case StartScreen::Action::openControls:
            controls.openControls();
            return true;
        case StartScreen::Action::listReplays:
            screen.showReplays(listReplays(replayFolder()));
            return true;
        case StartScreen::Action::playReplay:
            return watch(screen.chosenReplay());
        case StartScreen::Action::none:
            return true;
        }
        return true;
    }

    bool playAgainstBots() {
        std::string failure = localServer.start(shell.settings.bots, shell.settings.botSkill);
        if (!failure.empty()) {
            screen.setNotice("Cannot start a server: " + failure);
            return true;
        }
        uint16_t port = localServer.port();
        bool goOn = play({{"127.0.0.1", port}, {0x7f000001, port}, false});
        localServer.stop();
        return goOn;
    }

    bool watch(const std::string& path) {
        std::optional<Replay> replay = loadReplay(path);
        if (!replay) {
            screen.setNotice("That replay cannot be played");
            return true;
        }
        MatchEnd end = playReplay(shell, std::move(*replay), Menu::Kind::matchFromStartScreen);
        SDL_SetRelativeMouseMode(SDL_FALSE);
        return end != MatchEnd::quit;
    }

    bool join(const ServerAddress& target) {
        std::optional<uint32_t> ip = resolveIPv4(target.host);
        if (!ip) {
            screen.setNotice("Cannot find " + target.host);
            return true;
        }
        return play({target, {*ip, uint16_t(target.port)}});
    }

    bool play(const MatchPlace& place) {
        UdpEndpoint endpoint;
        if (std::string failure = endpoint.open(); !failure.empty()) {
            screen.setNotice("Cannot open a socket: " + failure);
            return true;
        }
        MatchEnd end = playMatch(shell, endpoint, place, joinName(shell.settings),
                                 Menu::Kind::matchFromStartScreen);
        SDL_SetRelativeMouseMode(SDL_FALSE);
        switch (end) {
        case MatchEnd::serverFull:
            screen.setNotice("Server is full");
            break;
        case MatchEnd::noAnswer:
            screen.setNotice("No answer from " + place.named.text());
            break;
        default:
            screen.setNotice("");
            break;
        }
        return end != MatchEnd::quit;
    }

    // The rest of the frame waits for answers rather than sleeping, so that each is timed when
    // it arrives: a ping counts no frame's wait.
    void awaitAnswers(FramePacer& pacer) {
        double rest = pacer.sleepAfterSwap(preciseMilliseconds());
        double until = preciseMilliseconds() + rest;
        while (rest > 0) {
            if (queries.waitForDatagram(std::chrono::microseconds(int64_t(rest * 1000)))) {
                listServers(gameClock());
            }
            rest = until - preciseMilliseconds();
        }
    }

    // Answers to the server list's questions, each new server said on the console too.
    void listServers(double now) {
        char buffer[maxDatagramSize];
        for (int handled = 0; handled < maxQueryAnswersPerFrame; ++handled) {
            UdpEndpoint::Received received = queries.receive(buffer, sizeof buffer);
            if (received.outcome != UdpEndpoint::Received::Outcome::datagram) {
                break;
            }
            std::string_view bytes(buffer, received.size);
            if (const ServerEntry* found = browser.receive(bytes, received.sender, now)) {
                char line[96];
                std::cout << "Found server: " << StartScreen::serverLine(*found, line) << std::endl;
            }
        }
        browser.update(now);
        // A question that cannot leave (no network for a broadcast) is one that goes unanswered.
        for (const Datagram& question : browser.outgoing()) {
            queries.send(question.peer, question.bytes);
        }
        browser.clearOutgoing();
    }

    Shell& shell;
    ServerBrowser browser;
    StartScreen screen;
    StartControls controls;
    UdpEndpoint queries;
    LocalServer localServer;
    StartScreen::Action pending = StartScreen::Action::none;
};

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
    // Gamepads are a bonus: a machine without udev finds them another way, and what SDL says of
    // that is no error of the game's.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_ClearError();
    return context;
}

Settings readSettingsFile(const std::string& file, bool& damaged) {
    SettingsRead settings = readSettings(file);
    damaged = !settings.problem.empty();
    if (damaged) {
        std::cout << "Settings file " << file << " is damaged (" << settings.problem
                  << "): using the defaults" << std::endl;
    }
    return settings.settings;
}

// An input the settings name that is none: said, and its action keeps its default.
Bindings readBindings(const Settings& settings) {
    std::vector<std::string> unknown;
    Bindings bindings = bindingsOf(settings, unknown);
    for (const std::string& name : unknown) {
        std::cout << "The settings name no input \"" << name << "\": its action keeps its default"
                  << std::endl;
    }
    return bindings;
}

} // namespace

int main(int argc, char* argv[]) {
    ClientArguments arguments = readClientArguments(argc, argv);
    if (arguments.mode == ClientArguments::Mode::reply) {
        std::cout << arguments.reply;
        return 0;
    }
    const bool playAtOnce = arguments.mode == ClientArguments::Mode::play;
    // Joining from the command line opens the socket and finds the server before any window.
    UdpEndpoint endpoint;
    std::optional<MatchPlace> place;
    if (playAtOnce) {
        if (!endpoint.open().empty()) {
            endOnNetworkFailure("Error opening socket\n");
        }
        std::optional<uint32_t> serverIP = resolveIPv4(argv[arguments.first]);
        if (!serverIP) {
            endOnNetworkFailure("error init network stuff\n");
        }
        place = MatchPlace{{argv[arguments.first], arguments.port},
                           {*serverIP, uint16_t(arguments.port)}};
    }
    // A replay that cannot be played opens no window.
    std::optional<Replay> replay;
    if (arguments.mode == ClientArguments::Mode::replay) {
        replay = loadReplay(arguments.file);
        if (!replay) {
            return 0;
        }
    }
    startDecodingSceneImages();
    const std::string settingsFile = settingsPath();
    bool settingsDamaged = false;
    Settings settings = readSettingsFile(settingsFile, settingsDamaged);
    Bindings bindings = readBindings(settings);

    SDL_Window* window = openWindow();
    SDL_GLContext mainContext = createContext(window);
    // A core profile draws nothing without a vertex array object; one serves every mesh.
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);

    Scene scene;
    Game mapHolder;
    std::string failure = scene.init(mapHolder, startWidth, startHeight);
    if (!failure.empty()) {
        std::cout << failure << std::flush;
        return 0;
    }
    SoundPlayer sound;
    Display display(window, scene, sound, settingsFile);
    FrameLog frameLog;
    Shell shell(window, scene, sound, display, frameLog);
    shell.settings = settings;
    shell.bindings = bindings;
    shell.settingsDamaged = settingsDamaged;
    shell.map = mapHolder.mapManager;

    if (playAtOnce) {
        playMatch(shell, endpoint, *place, argv[arguments.first + 2], Menu::Kind::match,
                  arguments.file);
    } else if (replay) {
        playReplay(shell, std::move(*replay), Menu::Kind::match);
        std::cout << "Cleanup game\n";
    } else {
        shell.startSound();
        display.apply(shell.settings);
        SDL_SetRelativeMouseMode(SDL_FALSE);
        if (StartLoop(shell, arguments).run()) {
            std::cout << "Cleanup game\n";
        }
    }
    frameLog.write();
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
