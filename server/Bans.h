#ifndef CUBEFRAY_SERVER_BANS_H
#define CUBEFRAY_SERVER_BANS_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Seconds since 1970-01-01T00:00:00Z. Bans end at such times, since they outlive the process
// whose ticks would have measured them.
using UnixTime = int64_t;

// The longest ban with an end: ten years.
const int maxBanMinutes = 10 * 365 * 24 * 60;

// IPv4 addresses whose joins are refused, each until its end or for good.
class BanList {
  public:
    // Enough for any host's list, and a bound on the memory and the state file.
    static const size_t maxBans = 1000;

    // Bans the address until end (nothing: for good), or changes the end of its ban; false when
    // the list is full.
    bool add(uint32_t ip, std::optional<UnixTime> end);
    // Whether the address was banned.
    bool remove(uint32_t ip);
    bool contains(uint32_t ip) const { return bans.count(ip) > 0; }
    // Lifts the bans whose end has come; their addresses.
    std::vector<uint32_t> expire(UnixTime now);
    // Ordered by address.
    const std::map<uint32_t, std::optional<UnixTime>>& entries() const { return bans; }
    // Counts the changes, so that an owner can tell whether the list needs saving.
    uint64_t revision() const { return changes; }

  private:
    std::map<uint32_t, std::optional<UnixTime>> bans;
    uint64_t changes = 0;
};

// UTC to the second, as 2026-03-01T14:05:09Z.
std::string utcText(UnixTime time);
// The time utcText writes, and nothing for any other text.
std::optional<UnixTime> parseUtcText(std::string_view text);

// The state file of the bans: a comment, then a line each, the address and its end as utcText
// writes it, or "never".
std::string formatBanFile(const BanList& bans);

// The bans a state file holds, and a problem for each line that holds none ("line 3: ...").
struct BanFileRead {
    BanList bans;
    std::vector<std::string> problems;
};
BanFileRead parseBanFile(std::string_view text);

#endif
