// The main of every test program. The client's network set-up ends the process with status 0
// when it fails, which a test runner would take for a pass; an exit before all tests have run is
// therefore turned into a failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool allTestsRan = false;

void failAnEarlyExit() {
    if (!allTestsRan) {
        std::fputs("a test ended the process before the tests had run\n", stderr);
        std::_Exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::atexit(failAnEarlyExit);
    int result = RUN_ALL_TESTS();
    allTestsRan = true;
    return result;
}
