#include "FileLoader.h"
#include "FilePath.h"
#include "StringFloat.h"
#include "Timing.h"
#include "test_support.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

// Scores are shown through it.
TEST(StringFloat, PrintsSixSignificantDigits) {
    EXPECT_EQ(floatToString(-3), "-3");
    EXPECT_EQ(floatToString(1234567), "1.23457e+06");
}

// In the build folder the resources sit beside the program; installed, in share/cubefray.
TEST(FilePath, ResourcesBesideTheProgramElseInTheInstalledShareFolder) {
    const std::string prefix = ::testing::TempDir() + std::to_string(getpid()) + "_prefix";
    std::filesystem::create_directories(prefix + "/bin");
    EXPECT_EQ(resourceDirectoryFor(prefix + "/bin"), prefix + "/share/cubefray/");
    std::filesystem::create_directories(prefix + "/bin/Contents/Resources");
    EXPECT_EQ(resourceDirectoryFor(prefix + "/bin"), prefix + "/bin/Contents/Resources/");
    std::filesystem::remove_all(prefix);
    EXPECT_EQ(resourceDirectoryFor("/no-such-folder"), "/share/cubefray/");
}

TEST(FileLoader, JoinsLinesWithoutTheirLineFeeds) {
    EXPECT_EQ(fileStringContents(writeTempFile("three_lines", "ab\ncd\nef\n")), "abcdef");
    EXPECT_EQ(fileStringContents(writeTempFile("crlf", "1 2\r\n3 4")), "1 2\r3 4");
    EXPECT_EQ(fileStringContents(writeTempFile("blank_lines", "\n\nx\n\n")), "x");
}

TEST(Timing, ClockIsMonotonicMillisecondsFromTheFirstCall) {
    int64_t first = getCurrentMillisecond();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    int64_t second = getCurrentMillisecond();
    EXPECT_GE(second - first, 29);
    EXPECT_LT(second - first, 5000);
}

} // namespace
