#include "Timing.h"

#include <chrono>

int64_t getCurrentMillisecond() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point origin = Clock::now();
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - origin);
    return static_cast<int64_t>(double(nanoseconds.count()) / 1000000.0);
}
