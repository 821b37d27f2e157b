#include "Timing.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Both clocks share the origin of the first call to either.
Clock::time_point origin() {
    static const Clock::time_point first = Clock::now();
    return first;
}

double nanosecondsSinceOrigin() {
    Clock::time_point start = origin();
    return double(
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
}

} // namespace

int64_t getCurrentMillisecond() {
    return static_cast<int64_t>(nanosecondsSinceOrigin() / 1000000.0);
}

double preciseMilliseconds() {
    return nanosecondsSinceOrigin() / 1000000.0;
}
