#include "FileLoader.h"
#include "Timing.h"
#include "test_support.h"

#include <chrono>
#include <thread>

namespace {

TEST(FileLoader, JoinsLinesWithoutTheirLineFeeds) {
    EXPECT_EQ(fileStringContents(writeTempFile("three_lines", "ab\ncd\nef\n")), "abcdef");
    EXPECT_EQ(fileStringContents(writeTempFile("crlf", "1 2\r\n3 4")), "1 2\r3 4");
    EXPECT_EQ(fileStringContents(writeTempFile("blank_lines", "\n\nx\n\n")), "x");
    EXPECT_EQ(fileStringContents(::testing::TempDir() + "no_such_file"), std::nullopt);
}

TEST(Timing, ClockIsMonotonicMillisecondsFromTheFirstCall) {
    int64_t first = getCurrentMillisecond();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    int64_t second = getCurrentMillisecond();
    EXPECT_GE(second - first, 29);
    EXPECT_LT(second - first, 5000);
}

} // namespace
