#include "TickClock.h"

#include <gtest/gtest.h>

namespace {

using Clock = TickClock::Clock;
using std::chrono::nanoseconds;
using std::chrono::seconds;

TEST(TickClock, KeepsSixtyTicksASecondAndCatchesUpUnlessFarBehind) {
    Clock::time_point start;
    TickClock clock(60, start);
    EXPECT_EQ(clock.nextTick(), start);
    for (int tick = 0; tick < 6000; ++tick) {
        clock.tickDone(clock.nextTick());
    }
    EXPECT_EQ(clock.nextTick() - start, seconds(100));

    // A tick done late keeps the schedule; one done far behind it starts a new one.
    TickClock late(60, start);
    late.tickDone(start + std::chrono::milliseconds(100));
    EXPECT_EQ(late.nextTick() - start, nanoseconds(16666666));
    Clock::time_point resumed = start + seconds(10);
    late.tickDone(resumed);
    EXPECT_EQ(late.nextTick() - resumed, nanoseconds(16666666));
}

} // namespace
