#ifndef CUBEFRAY_SERVER_TICKCLOCK_H
#define CUBEFRAY_SERVER_TICKCLOCK_H

#include <chrono>
#include <cstdint>

// A fixed timestep on the monotonic clock. Tick n is due at start + n / rate, computed afresh each
// time, so rounding never adds up to drift.
class TickClock {
  public:
    using Clock = std::chrono::steady_clock;

    TickClock(int ticksPerSecond, Clock::time_point start);

    Clock::time_point nextTick() const;
    // Marks the due tick as run. A schedule that has fallen far behind (a suspended process, a
    // stalled machine) starts afresh from now instead of running a burst of late ticks.
    void tickDone(Clock::time_point now);

  private:
    int ticksPerSecond;
    Clock::time_point start;
    int64_t ticksRun = 0;
};

#endif
