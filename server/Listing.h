#ifndef CUBEFRAY_SERVER_LISTING_H
#define CUBEFRAY_SERVER_LISTING_H

#include "Datagram.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the server tells those who look for servers: its name and map in its answers to
// getinfo, and the masters it sends heartbeats to.
struct Listing {
    std::string hostname = "Cubefray server";
    // The map file's base name.
    std::string mapName;
    std::vector<PeerAddress> masters;
    // The game port, as the host's status tells it.
    uint16_t port = 0;
};

// Answers to getinfo are larger than the question, so without a bound a forged sender address
// would turn the server into an amplifier aimed at it.
const int maxAnswersPerSecond = 10;

// Lets at most maxAnswersPerSecond answers go to one IPv4 address (all its ports together) in
// any second, counted in ticks. The table is fixed: addresses that share a slot share its
// answers, so any number of forged senders costs no memory and still gets no address more.
class QueryLimiter {
  public:
    QueryLimiter();
    // Whether an answer may go to the address at the tick; it is counted when it may.
    bool allow(uint32_t ip, uint64_t tick);

  private:
    struct Slot {
        // When each of the last answers leaves the one-second window, oldest at next.
        std::array<uint64_t, maxAnswersPerSecond> freedAt{};
        size_t next = 0;
    };
    std::vector<Slot> slots;
};

// When the server tells its masters it is there: at start, when it becomes empty or full or
// stops being either, and at least every five minutes. A change waits until a second has passed
// since the last heartbeat, so that players coming and going cannot flood the masters; one
// undone in the meantime is not told.
class HeartbeatSchedule {
  public:
    // Whether a heartbeat is due at the tick with this many of the seats taken; it counts as
    // sent when it is.
    bool due(uint64_t tick, size_t seatsTaken);

  private:
    enum class Occupancy { empty, partly, full };

    std::optional<uint64_t> lastTick;
    Occupancy told = Occupancy::empty;
};

#endif
