#include "Listing.h"

#include "GameServer.h"

namespace {

// A power of two, for the hash below.
const int slotBits = 10;
const uint64_t heartbeatPeriodTicks = 5 * 60 * ticksPerSecond;
const uint64_t minHeartbeatGapTicks = ticksPerSecond;

// Fibonacci hashing: the top bits of the product spread neighbouring addresses apart.
size_t slotOf(uint32_t ip) {
    return size_t((ip * 2654435769u) >> (32 - slotBits));
}

} // namespace

QueryLimiter::QueryLimiter() : slots(size_t(1) << slotBits) {}

bool QueryLimiter::allow(uint32_t ip, uint64_t tick) {
    Slot& slot = slots[slotOf(ip)];
    if (tick < slot.freedAt[slot.next]) {
        return false;
    }
    slot.freedAt[slot.next] = tick + ticksPerSecond;
    slot.next = (slot.next + 1) % slot.freedAt.size();
    return true;
}

bool HeartbeatSchedule::due(uint64_t tick, size_t seatsTaken) {
    Occupancy now = seatsTaken == 0                            ? Occupancy::empty
                    : seatsTaken >= size_t(maxPlayersInUpdate) ? Occupancy::full
                                                               : Occupancy::partly;
    bool due = !lastTick || tick - *lastTick >= heartbeatPeriodTicks ||
               (now != told && tick - *lastTick >= minHeartbeatGapTicks);
    if (due) {
        lastTick = tick;
        told = now;
    }
    return due;
}
