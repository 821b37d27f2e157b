#include "FileLoader.h"
#include "StringFloat.h"
#include "Timing.h"
#include "test_helpers.h"

#include <chrono>
#include <thread>

namespace {

TEST(StringFloat, ParsesTheLeadingNumber) {
    EXPECT_EQ(parseFloat("1.5"), 1.5f);
    EXPECT_EQ(parseFloat(" -2.25e1"), -22.5f);
    EXPECT_EQ(parseFloat("3/4/5"), 3);
    EXPECT_EQ(parseFloat("abc"), 0);
    EXPECT_EQ(parseFloat(""), 0);
}

TEST(StringFloat, FormatsWithSixSignificantDigits) {
    EXPECT_EQ(floatToString(12), "12");
    EXPECT_EQ(floatToString(0.5f), "0.5");
    EXPECT_EQ(floatToString(-3), "-3");
    EXPECT_EQ(floatToString(1234567), "1.23457e+06");
    EXPECT_EQ(floatToString(100000), "100000");
    EXPECT_EQ(floatToString(0.00001f), "1e-05");
}

TEST(FileLoader, JoinsLinesWithoutTheirLineFeeds) {
    EXPECT_EQ(fileStringContents(writeTempFile("three_lines", "ab\ncd\nef\n")), "abcdef");
    EXPECT_EQ(fileStringContents(writeTempFile("no_final_newline", "ab\ncd")), "abcd");
    EXPECT_EQ(fileStringContents(writeTempFile("crlf", "1 2\r\n3 4\r\n")), "1 2\r3 4\r");
    EXPECT_EQ(fileStringContents(writeTempFile("empty", "")), "");
    EXPECT_EQ(fileStringContents(writeTempFile("blank_lines", "\n\nx\n\n")), "x");
}

TEST(FileLoaderDeathTest, MissingFileEndsTheProcessWithStatusZero) {
    EXPECT_EXIT(
        {
            sendStdoutToStderr();
            fileStringContents("/nonexistent/mapdata");
        },
        ::testing::ExitedWithCode(0), "^Error reading file at: /nonexistent/mapdata$");
}

TEST(Timing, ClockIsMonotonicMillisecondsFromTheFirstCall) {
    int64_t first = getCurrentMillisecond();
    EXPECT_GE(first, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    int64_t second = getCurrentMillisecond();
    EXPECT_GE(second - first, 29);
    EXPECT_LT(second - first, 5000);
}

} // namespace
