#include "TickClock.h"

#include <gtest/gtest.h>

namespace {

using Clock = TickClock::Clock;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

TEST(TickClock, SixtyTicksTakeExactlyOneSecond) {
    Clock::time_point start;
    TickClock clock(60, start);
    EXPECT_EQ(clock.nextTick(), start);
    for (int tick = 0; tick < 6000; ++tick) {
        clock.tickDone(clock.nextTick());
    }
    EXPECT_EQ(clock.nextTick() - start, std::chrono::seconds(100));
}

TEST(TickClock, LateTicksCatchUpOnTheSameSchedule) {
    Clock::time_point start;
    TickClock clock(60, start);
    clock.tickDone(start + milliseconds(100));
    EXPECT_EQ(clock.nextTick() - start, nanoseconds(16666666));
}

TEST(TickClock, AScheduleFarBehindStartsAfresh) {
    Clock::time_point start;
    TickClock clock(60, start);
    Clock::time_point resumed = start + std::chrono::seconds(10);
    clock.tickDone(resumed);
    EXPECT_EQ(clock.nextTick() - resumed, nanoseconds(16666666));
}

} // namespace
