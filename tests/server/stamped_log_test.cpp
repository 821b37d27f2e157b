#include "StampedLog.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

WallClock::time_point atMillisecond(int64_t millis) {
    return WallClock::time_point(std::chrono::milliseconds(millis));
}

// The stamp is UTC to the millisecond, the time of the line's first character however the line
// arrives.
TEST(StampedLog, EveryLineStartsWithItsTime) {
    EXPECT_EQ(utcTimestamp(atMillisecond(1709251199999)), "2024-02-29T23:59:59.999Z");
    EXPECT_EQ(utcTimestamp(atMillisecond(1709251200007)), "2024-03-01T00:00:00.007Z");
    std::ostringstream out;
    int64_t now = 1000;
    StampingBuffer stamping(*out.rdbuf(), [&now] { return atMillisecond(now); });
    std::ostream log(&stamping);
    log << "Server up" << std::endl;
    now = 2500;
    log << "alice";
    now = 9000;
    log << " joined\n\nbob left" << std::endl;
    EXPECT_EQ(out.str(), "1970-01-01T00:00:01.000Z Server up\n"
                         "1970-01-01T00:00:02.500Z alice joined\n"
                         "1970-01-01T00:00:09.000Z \n"
                         "1970-01-01T00:00:09.000Z bob left\n");
}

} // namespace
