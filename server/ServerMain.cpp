#include "Arena.h"
#include "FilePath.h"
#include "GameServer.h"
#include "MapFile.h"
#include "ServerOptions.h"
#include "StampedLog.h"
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

void serve(const UdpEndpoint& socket, GameServer& game) {
    TickClock clock(ticksPerSecond, TickClock::Clock::now());
    while (!stopRequested) {
        TickClock::Clock::time_point now = TickClock::Clock::now();
        if (now >= clock.nextTick()) {
            sendAll(socket, game.tick());
            clock.tickDone(now);
        } else if (socket.waitForDatagram(clock.nextTick() - now)) {
            receiveWaiting(socket, game);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    CommandLine commandLine = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                               getResourcePath("mapdata"));
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
    stopOnSignals();

    StampingBuffer stamping(*std::cout.rdbuf());
    std::ostream log(&stamping);
    log << "Cubefray server on port " << bound->port << ", map " << options.mapPath << ", "
        << options.bots << " bots" << std::endl;
    for (size_t i = 0; i < options.masters.size(); ++i) {
        log << "heartbeats to master " << options.masters[i].host << " at "
            << addressText(listing.masters[i]) << std::endl;
    }
    GameServer game(arena, std::random_device()(), log, listing);
    game.addBots(options.bots);
    serve(socket, game);
    log << game.malformedDatagrams() << " malformed datagrams dropped" << std::endl;
    log << game.unownedDatagrams()
        << " datagrams dropped from addresses that do not own the player id they name" << std::endl;
    log << "Server stopped" << std::endl;
    return 0;
}
