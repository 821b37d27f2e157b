#ifndef CUBEFRAY_SERVER_REPEATEDEVENTS_H
#define CUBEFRAY_SERVER_REPEATEDEVENTS_H

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

// Ten seconds of ticks: the span one summary line covers.
const uint64_t summaryWindowTicks = 600;
// Distinct addresses counted in a window; past this a summary says "at least".
const size_t maxCountedAddresses = 256;

// How the summary of one kind of event reads: "refused 5,312 more joins from 3 addresses in the
// last 10 s".
struct EventWording {
    std::string verb;
    std::string singular;
    std::string plural;
};

// Events of a kind that anyone can send without end (refused joins, malformed datagrams), logged
// so that a flood of any size writes a few lines a minute: the first event is written in full,
// the rest are counted, and each ten seconds that counted any ends with a line that sums them
// up. Once a window passes without one, the next is written in full again. Time is the server's
// ticks; the addresses counted are held in a set of bounded size.
class RepeatedEvents {
  public:
    explicit RepeatedEvents(EventWording wording);

    // Counts the event from the address; whether it is the one to write in full.
    bool occurred(uint32_t ip, uint64_t tick);
    // The summary of a window that has ended by the tick, if it counted any.
    std::optional<std::string> summaryDue(uint64_t tick);
    // The summary of what the open window has counted so far, as a stop ends it.
    std::optional<std::string> summaryAtStop(uint64_t tick);

  private:
    std::optional<std::string> summarise(uint64_t tick);
    std::string addresses() const;

    EventWording wording;
    bool windowOpen = false;
    uint64_t windowStart = 0;
    long counted = 0;
    std::unordered_set<uint32_t> ips;
};

// 5312 as "5,312".
std::string groupedNumber(long number);

#endif
