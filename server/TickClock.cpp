#include "TickClock.h"

namespace {

const std::chrono::milliseconds maxLag(250);

} // namespace

TickClock::TickClock(int ticksPerSecond, Clock::time_point start)
    : ticksPerSecond(ticksPerSecond), start(start) {}

TickClock::Clock::time_point TickClock::nextTick() const {
    return start + std::chrono::nanoseconds(ticksRun * 1000000000 / ticksPerSecond);
}

void TickClock::tickDone(Clock::time_point now) {
    ++ticksRun;
    if (now - nextTick() > maxLag) {
        // The tick just run becomes the first of the new schedule.
        start = now;
        ticksRun = 1;
    }
}
