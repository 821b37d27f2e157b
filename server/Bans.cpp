#include "Bans.h"

#include "Datagram.h"

#include <cstdio>
#include <sstream>

namespace {

const int64_t secondsPerDay = 86400;
const char* const forGood = "never";
const size_t utcTextLength = 20;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back: the civil
// calendar's arithmetic, free of the C library's time zones.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    int64_t year;
    int64_t month;
    int64_t day;
};

CivilDate civilFromDays(int64_t days) {
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

// The digits at the positions as a number, or -1 when any is no digit.
int64_t digitsAt(std::string_view text, size_t from, size_t count) {
    int64_t value = 0;
    for (size_t at = from; at < from + count; ++at) {
        if (text[at] < '0' || text[at] > '9') {
            return -1;
        }
        value = value * 10 + (text[at] - '0');
    }
    return value;
}

std::string endText(const std::optional<UnixTime>& end) {
    return end ? utcText(*end) : forGood;
}

// The ban a line of the state file holds, or why it holds none.
std::string readBanLine(const std::string& line, BanList& bans) {
    std::istringstream words(line);
    std::string address, end, extra;
    if (!(words >> address >> end) || (words >> extra)) {
        return "a ban is an address and its end";
    }
    std::optional<uint32_t> ip = parseIPv4(address);
    if (!ip) {
        return "no IPv4 address";
    }
    std::optional<UnixTime> until = parseUtcText(end);
    if (!until && end != forGood) {
        return "the end is no UTC time as 2026-03-01T14:05:09Z, nor never";
    }
    return bans.add(*ip, until)
               ? ""
               : "more bans than the " + std::to_string(BanList::maxBans) + " a server keeps";
}

// The start of a line in printable form, to quote in a problem: a damaged file may hold any byte
// and lines of any length.
std::string shown(const std::string& line) {
    const size_t shownLength = 60;
    std::string text;
    for (char c : line.substr(0, shownLength)) {
        text += c >= ' ' && c <= '~' ? c : '?';
    }
    return line.size() > shownLength ? text + "..." : text;
}

} // namespace

bool BanList::add(uint32_t ip, std::optional<UnixTime> end) {
    if (!contains(ip) && bans.size() >= maxBans) {
        return false;
    }
    bans[ip] = end;
    ++changes;
    return true;
}

bool BanList::remove(uint32_t ip) {
    bool removed = bans.erase(ip) > 0;
    changes += removed;
    return removed;
}

std::vector<uint32_t> BanList::expire(UnixTime now) {
    std::vector<uint32_t> ended;
    for (auto ban = bans.begin(); ban != bans.end();) {
        if (ban->second && *ban->second <= now) {
            ended.push_back(ban->first);
            ban = bans.erase(ban);
        } else {
            ++ban;
        }
    }
    changes += !ended.empty();
    return ended;
}

std::string utcText(UnixTime time) {
    int64_t days = (time >= 0 ? time : time - secondsPerDay + 1) / secondsPerDay;
    int64_t second = time - days * secondsPerDay;
    CivilDate date = civilFromDays(days);
    char text[64];
    std::snprintf(text, sizeof(text), "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ",
                  static_cast<long long>(date.year), static_cast<long long>(date.month),
                  static_cast<long long>(date.day), static_cast<long long>(second / 3600),
                  static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60));
    return text;
}

std::optional<UnixTime> parseUtcText(std::string_view text) {
    if (text.size() != utcTextLength || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    int64_t year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    int64_t hour = digitsAt(text, 11, 2), minute = digitsAt(text, 14, 2);
    int64_t second = digitsAt(text, 17, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    int64_t days = daysFromCivil(year, month, day);
    // A day past the month's end would come out as a day of the next month.
    CivilDate back = civilFromDays(days);
    if (back.month != month || back.day != day) {
        return std::nullopt;
    }
    return days * secondsPerDay + hour * 3600 + minute * 60 + second;
}

std::string formatBanFile(const BanList& bans) {
    std::string text = "# Addresses cubefray-server refuses: each with the end of its ban in UTC, "
                       "or never.\n";
    for (const auto& [ip, end] : bans.entries()) {
        text += ipText(ip) + " " + endText(end) + "\n";
    }
    return text;
}

BanFileRead parseBanFile(std::string_view text) {
    BanFileRead read;
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        std::string problem = readBanLine(line, read.bans);
        if (!problem.empty()) {
            read.problems.push_back("line " + std::to_string(number) + ": " + problem + ": " +
                                    shown(line));
        }
    }
    return read;
}
