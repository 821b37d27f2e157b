#include "StateFile.h"
#include "test_support.h"

#include <filesystem>

namespace {

// Leap days, the turn of a year and the earliest time; dates that do not exist are no times.
TEST(StateFile, UtcTimesReadBackAndImpossibleDatesAreRefused) {
    for (UnixTime time : {UnixTime(0), UnixTime(951782400), UnixTime(1709251199),
                          UnixTime(1767225599), UnixTime(253402300799)}) {
        EXPECT_EQ(parseUtcText(utcText(time)), time) << utcText(time);
    }
    EXPECT_EQ(utcText(1709251199), "2024-02-29T23:59:59Z");
    EXPECT_EQ(utcText(951782400), "2000-02-29T00:00:00Z");
    for (const char* text : {"2026-02-29T00:00:00Z", "2026-13-01T00:00:00Z", "2026-04-31T00:00:00Z",
                             "2026-03-01T24:00:00Z", "2026-03-01 12:00:00Z", "2026-03-01T12:00:00",
                             "+026-03-01T12:00:00Z"}) {
        EXPECT_EQ(parseUtcText(text), std::nullopt) << text;
    }
}

// A file written and read again holds the same bans; each damaged line is named and the rest
// are kept.
TEST(StateFile, BansAreWrittenWholeAndADamagedFileKeepsItsSoundLines) {
    std::string folder = ::testing::TempDir() + std::to_string(getpid()) + "_state";
    std::filesystem::create_directories(folder);
    std::string path = banFilePath(folder);
    std::filesystem::remove(path);
    BanState missing = readBanState(path);
    EXPECT_TRUE(missing.error.empty());
    EXPECT_TRUE(missing.read.bans.entries().empty());

    BanList bans;
    bans.add(0x7f000207, 1772366400);
    bans.add(0x7f336404, std::nullopt);
    EXPECT_EQ(replaceFile(path, formatBanFile(bans)), "");
    BanState read = readBanState(path);
    EXPECT_EQ(read.read.bans.entries(), bans.entries());
    EXPECT_TRUE(read.read.problems.empty());
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    std::string damaged = "# bans\n"
                          "127.0.2.7 2026-03-01T12:00:00Z\n"
                          "127.0.2.8\n"
                          "127.0.2.300 never\n"
                          "\n"
                          "127.0.2.9 tomorrow\x01\n"
                          "127.51.100.4 never\n";
    BanFileRead parsed = parseBanFile(damaged);
    EXPECT_EQ(parsed.bans.entries(), bans.entries());
    EXPECT_EQ(parsed.problems,
              (std::vector<std::string>{
                  "line 3: a ban is an address and its end: 127.0.2.8",
                  "line 4: no IPv4 address: 127.0.2.300 never",
                  "line 6: the end is no UTC time as 2026-03-01T14:05:09Z, nor never: 127.0.2.9 "
                  "tomorrow?"}));

    // A write that fails leaves the file as it was; a folder where the file should be is told.
    EXPECT_NE(replaceFile(folder + "/missing/bans", "x"), "");
    EXPECT_EQ(readBanState(path).read.bans.entries(), bans.entries());
    EXPECT_NE(readBanState(folder).error, "");
    std::filesystem::remove_all(folder);
}

TEST(StateFile, TheListHoldsAThousandBansAndEndsThemOnTime) {
    BanList bans;
    for (uint32_t ip = 0; ip < BanList::maxBans; ++ip) {
        EXPECT_TRUE(bans.add(ip, UnixTime(100 + ip % 2)));
    }
    EXPECT_FALSE(bans.add(0xffffffff, std::nullopt));
    EXPECT_TRUE(bans.add(7, std::nullopt));
    EXPECT_EQ(bans.expire(100).size(), 500u);
    EXPECT_EQ(bans.expire(101).size(), 499u);
    EXPECT_TRUE(bans.contains(7));
}

} // namespace
