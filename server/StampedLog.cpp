#include "StampedLog.h"

#include <cstdio>
#include <ctime>
#include <utility>

std::string utcTimestamp(WallClock::time_point when) {
    auto seconds = std::chrono::floor<std::chrono::seconds>(when);
    auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(when - seconds).count();
    std::time_t whole = WallClock::to_time_t(seconds);
    std::tm parts{};
    char text[64];
    if (gmtime_r(&whole, &parts) == nullptr ||
        std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &parts) == 0) {
        return "(time unknown)";
    }
    char fraction[8];
    std::snprintf(fraction, sizeof(fraction), ".%03dZ", int(millis));
    return text + std::string(fraction);
}

StampingBuffer::StampingBuffer(std::streambuf& target, ClockReader now)
    : target(target), now(std::move(now)) {}

StampingBuffer::int_type StampingBuffer::overflow(int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    if (atLineStart) {
        std::string stamp = utcTimestamp(now()) + " ";
        if (target.sputn(stamp.data(), std::streamsize(stamp.size())) !=
            std::streamsize(stamp.size())) {
            return traits_type::eof();
        }
    }
    atLineStart = traits_type::to_char_type(character) == '\n';
    return target.sputc(traits_type::to_char_type(character));
}

int StampingBuffer::sync() {
    return target.pubsync();
}
