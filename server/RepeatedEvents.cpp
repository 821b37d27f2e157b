#include "RepeatedEvents.h"

#include "Datagram.h"
#include "GameServer.h"

#include <utility>

RepeatedEvents::RepeatedEvents(EventWording wording) : wording(std::move(wording)) {
    ips.reserve(maxCountedAddresses);
}

bool RepeatedEvents::occurred(uint32_t ip, uint64_t tick) {
    if (!windowOpen) {
        windowOpen = true;
        windowStart = tick;
        return true;
    }
    ++counted;
    if (ips.size() < maxCountedAddresses) {
        ips.insert(ip);
    }
    return false;
}

std::optional<std::string> RepeatedEvents::summaryDue(uint64_t tick) {
    if (!windowOpen || tick - windowStart < summaryWindowTicks) {
        return std::nullopt;
    }
    // A quiet window closes; a busy one is followed by the next at once, so a flood that goes on
    // is summed up every ten seconds and never written in full again.
    windowOpen = counted > 0;
    return summarise(tick);
}

std::optional<std::string> RepeatedEvents::summaryAtStop(uint64_t tick) {
    return windowOpen ? summarise(tick) : std::nullopt;
}

std::optional<std::string> RepeatedEvents::summarise(uint64_t tick) {
    if (counted == 0) {
        return std::nullopt;
    }
    uint64_t seconds = (tick - windowStart + ticksPerSecond - 1) / ticksPerSecond;
    std::string line = wording.verb + " " + groupedNumber(counted) + " more " +
                       (counted == 1 ? wording.singular : wording.plural) + " from " + addresses() +
                       " in the last " + std::to_string(seconds > 0 ? seconds : 1) + " s";
    windowStart = tick;
    counted = 0;
    ips.clear();
    return line;
}

std::string RepeatedEvents::addresses() const {
    if (ips.size() == 1) {
        return ipText(*ips.begin());
    }
    std::string count = std::to_string(ips.size()) + " addresses";
    return ips.size() < maxCountedAddresses ? count : "at least " + count;
}

std::string groupedNumber(long number) {
    std::string digits = std::to_string(number);
    size_t first = number < 0 ? 1 : 0;
    for (size_t at = digits.size(); at > first + 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return digits;
}
