#ifndef CUBEFRAY_SERVER_STAMPEDLOG_H
#define CUBEFRAY_SERVER_STAMPEDLOG_H

#include <chrono>
#include <functional>
#include <streambuf>
#include <string>

using WallClock = std::chrono::system_clock;

// ISO 8601 in UTC to the millisecond, as 2026-03-01T14:05:09.042Z: the same on every host
// whatever its time zone, and sorted as text it is sorted in time.
std::string utcTimestamp(WallClock::time_point when);

// Writes through to another buffer with the time, and a blank, before every line; the time is
// read when the line's first character arrives. The game's rules log plain lines and stay free
// of clocks; the program puts this between them and its output.
class StampingBuffer : public std::streambuf {
  public:
    using ClockReader = std::function<WallClock::time_point()>;

    explicit StampingBuffer(std::streambuf& target, ClockReader now = WallClock::now);

  protected:
    int_type overflow(int_type character) override;
    int sync() override;

  private:
    std::streambuf& target;
    ClockReader now;
    bool atLineStart = true;
};

#endif
