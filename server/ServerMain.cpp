#include "AdminSocket.h"
#include "Administration.h"
#include "Arena.h"
#include "FilePath.h"
#include "GameServer.h"
#include "MapFile.h"
#include "ServerOptions.h"
#include "StampedLog.h"
#include "StateFile.h"
#include "TickClock.h"
#include "UdpEndpoint.h"

#include <csignal>
#include <filesystem>
#include <iostream>
#include <random>
#include <utility>

namespace {

const int usageStatus = 2;
const int failureStatus = 1;
// Datagrams handled between two looks at the clock, so a flood cannot hold up the ticks.
const int maxDatagramsPerWake = 256;
const std::chrono::seconds adminTimeout(5);

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Without SA_RESTART, so that a signal also ends the wait for datagrams at once.
void stopOnSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int fail(const std::string& error) {
    std::cerr << "cubefray-server: " << error << std::endl;
    return failureStatus;
}

UnixTime unixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(WallClock::now().time_since_epoch())
        .count();
}

// Failures are ignored: a client that cannot be reached times out like a silent one.
void sendAll(const UdpEndpoint& socket, const Datagrams& datagrams) {
    for (const Datagram& datagram : datagrams) {
        socket.send(datagram.peer, datagram.bytes);
    }
}

// A datagram longer than any client record arrives cut to one byte more than the longest, which
// still marks it as malformed, or its challenge as too long if it is a getinfo.
void receiveWaiting(const UdpEndpoint& socket, GameServer& game) {
    char buffer[maxDatagramSize + 1];
    for (int handled = 0; handled < maxDatagramsPerWake; ++handled) {
        UdpEndpoint::Received received = socket.receive(buffer, sizeof(buffer));
        if (received.outcome != UdpEndpoint::Received::Outcome::datagram) {
            return;
        }
        std::string bytes(buffer, received.size);
        sendAll(socket, game.receive(received.sender, bytes));
    }
}

// The masters' addresses, or the first host that does not resolve. A name server may come up
// after the service does, so that is a failure the service manager tries again, not a bad
// argument.
std::string resolveMasters(const std::vector<MasterName>& names,
                           std::vector<PeerAddress>& masters) {
    for (const MasterName& name : names) {
        std::optional<uint32_t> ip = resolveIPv4(name.host);
        if (!ip) {
            return "cannot resolve master " + name.host;
        }
        masters.push_back({*ip, name.port});
    }
    return "";
}

// The admin socket and the state file around a running game.
struct Hosting {
    GameServer& game;
    const UdpEndpoint& socket;
    std::ostream& log;
    AdminListener admin;
    // Empty without a state folder.
    std::string banFile;
    uint64_t savedBans = 0;

    std::string answer(const std::string& line) {
        AdminRequest request = parseAdminRequest(line);
        if (!request.error.empty()) {
            return formatAdminReply(false, request.error);
        }
        AdminAnswer answer = administer(game, request.command, unixNow());
        sendAll(socket, answer.datagrams);
        // Once the host hears of a ban, it is kept.
        saveBans();
        return formatAdminReply(answer.done, answer.text);
    }

    // A failure is told once; the next change of the bans tries again.
    void saveBans() {
        if (banFile.empty() || game.bans().revision() == savedBans) {
            return;
        }
        savedBans = game.bans().revision();
        std::string failure = replaceFile(banFile, formatBanFile(game.bans()));
        if (!failure.empty()) {
            log << "cannot keep the bans: " << failure << std::endl;
        }
    }

    void tick(TickClock::Clock::time_point now) {
        sendAll(socket, game.tick());
        game.clockIs(unixNow());
        admin.serve(now, [this](const std::string& line) { return answer(line); });
        saveBans();
    }
};

void serve(Hosting& hosting) {
    TickClock clock(ticksPerSecond, TickClock::Clock::now());
    while (!stopRequested) {
        TickClock::Clock::time_point now = TickClock::Clock::now();
        if (now >= clock.nextTick()) {
            hosting.tick(now);
            clock.tickDone(now);
        } else if (hosting.socket.waitForDatagram(clock.nextTick() - now)) {
            receiveWaiting(hosting.socket, hosting.game);
        }
    }
}

int runAdmin(const std::vector<std::string>& arguments) {
    AdminCommandLine line = parseAdminCommandLine(arguments);
    if (line.action == CommandLine::Action::showHelp) {
        std::cout << adminHelpText() << std::flush;
        return 0;
    }
    if (line.action == CommandLine::Action::reject) {
        std::cerr << "cubefray-server admin: " << line.error << "\n"
                  << adminUsageLine() << std::endl;
        return usageStatus;
    }
    AdminExchange exchange = askServer(line.socketPath, line.request, adminTimeout);
    std::optional<AdminReply> reply = parseAdminReply(exchange.reply);
    if (exchange.error.empty() && !reply) {
        exchange.error = "what listens at " + line.socketPath + " is no Cubefray server";
    }
    if (!exchange.error.empty()) {
        std::cerr << "cubefray-server admin: " << exchange.error << std::endl;
        return failureStatus;
    }
    std::string text = reply->text;
    if (text.empty() || text.back() != '\n') {
        text += '\n';
    }
    if (!reply->done) {
        std::cerr << "cubefray-server admin: " << text << std::flush;
        return failureStatus;
    }
    std::cout << text << std::flush;
    return 0;
}

// The bans kept in the state folder; false, with the reason told, when they cannot be read.
bool readBans(const ServerOptions& options, BanState& state) {
    if (options.stateFolder.empty()) {
        return true;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(options.stateFolder, error)) {
        fail("the state folder " + options.stateFolder + " is no folder");
        return false;
    }
    state = readBanState(banFilePath(options.stateFolder));
    if (!state.error.empty()) {
        fail(state.error);
        return false;
    }
    return true;
}

void reportState(const ServerOptions& options, const BanState& state, std::ostream& log) {
    if (!options.adminPath.empty()) {
        log << "admin socket at " << options.adminPath << std::endl;
    }
    if (options.stateFolder.empty()) {
        return;
    }
    std::string path = banFilePath(options.stateFolder);
    for (const std::string& problem : state.read.problems) {
        log << "state file " << path << ", " << problem << ": the line is ignored" << std::endl;
    }
    log << state.read.bans.entries().size() << " bans kept in " << path << std::endl;
}

// The server's first lines: what it serves, its masters, its socket and what its state held.
void logStart(const ServerOptions& options, const Listing& listing, const BanState& bans,
              std::ostream& log) {
    log << "Cubefray server on port " << listing.port << ", map " << options.mapPath << ", "
        << options.bots << " bots" << std::endl;
    for (size_t i = 0; i < options.masters.size(); ++i) {
        log << "heartbeats to master " << options.masters[i].host << " at "
            << addressText(listing.masters[i]) << std::endl;
    }
    reportState(options, bans, log);
}

// Runs the game on the bound socket until a signal stops it.
int host(const ServerOptions& options, const Arena& arena, const Listing& listing, BanState bans,
         const UdpEndpoint& socket) {
    StampingBuffer stamping(*std::cout.rdbuf());
    std::ostream log(&stamping);
    GameServer game(arena, std::random_device()(), log, listing);
    Hosting hosting{game, socket, log, {}, "", 0};
    if (!options.adminPath.empty()) {
        std::string listenError = hosting.admin.listen(options.adminPath);
        if (!listenError.empty()) {
            return fail(listenError);
        }
    }
    stopOnSignals();
    logStart(options, listing, bans, log);
    if (!options.stateFolder.empty()) {
        hosting.banFile = banFilePath(options.stateFolder);
        game.restoreBans(std::move(bans.read.bans));
        hosting.savedBans = game.bans().revision();
    }
    game.useBotSkill(BotSkill::of(options.botSkill));
    game.setBots(options.bots);
    serve(hosting);
    game.summariseAtStop();
    log << game.malformedDatagrams() << " malformed datagrams dropped" << std::endl;
    log << game.unownedDatagrams()
        << " datagrams dropped from addresses that do not own the player id they name" << std::endl;
    log << "Server stopped" << std::endl;
    return 0;
}

int runServer(const std::vector<std::string>& arguments) {
    CommandLine commandLine = parseCommandLine(
        arguments, resourceDirectoryFor(getAppPath(), "cubefray-server") + "mapdata");
    if (commandLine.action == CommandLine::Action::showHelp) {
        std::cout << helpText() << std::flush;
        return 0;
    }
    if (commandLine.action == CommandLine::Action::reject) {
        std::cerr << "cubefray-server: " << commandLine.error << "\n" << usageLine() << std::endl;
        return usageStatus;
    }
    const ServerOptions& options = commandLine.options;

    MapFile mapFile = readMapFile(options.mapPath);
    if (!mapFile.error.empty()) {
        return fail(mapFile.error);
    }
    Arena arena(std::move(mapFile.map));
    if (arena.spawnPoints().empty()) {
        return fail("map " + options.mapPath + " has no place to spawn");
    }
    Listing listing{options.name, std::filesystem::path(options.mapPath).filename().string(), {}};
    std::string resolveError = resolveMasters(options.masters, listing.masters);
    if (!resolveError.empty()) {
        return fail(resolveError);
    }
    BanState bans;
    if (!readBans(options, bans)) {
        return failureStatus;
    }
    UdpEndpoint socket;
    PeerAddress wanted{options.address, uint16_t(options.port)};
    std::string bindError = socket.bind(wanted.port, wanted.ip);
    if (!bindError.empty()) {
        return fail("cannot bind UDP " + addressText(wanted) + ": " + bindError);
    }
    std::optional<PeerAddress> bound = socket.localAddress();
    if (!bound) {
        return fail("cannot tell the port bound");
    }
    listing.port = bound->port;
    return host(options, arena, listing, std::move(bans), socket);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == "admin") {
        return runAdmin({arguments.begin() + 1, arguments.end()});
    }
    return runServer(arguments);
}
