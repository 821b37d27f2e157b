#include "FramePacer.h"

#include <gtest/gtest.h>

namespace {

const double period = 1000.0 / 60;

// Runs frames whose work and swap take the given milliseconds; a sleep ends exactly on time plus
// the oversleep. The start times of the frames.
std::vector<double> run(FramePacer& pacer, const std::vector<double>& work, double oversleep = 0) {
    std::vector<double> starts;
    double now = 1000;
    for (double busy : work) {
        starts.push_back(now);
        pacer.frameStarted(now);
        now += busy;
        double rest = pacer.sleepAfterSwap(now);
        EXPECT_GE(rest, 0);
        now += rest > 0 ? rest + oversleep : 0;
    }
    return starts;
}

TEST(FramePacer, HoldsThePeriodFromTopToTopAndAnOverrunIsNotCaughtUp) {
    FramePacer pacer(period, false);
    std::vector<double> starts = run(pacer, std::vector<double>(600, 7), 0.2);
    // Late wake-ups do not add up: ten seconds of frames start on their schedule.
    EXPECT_NEAR(starts.back() - starts.front(), 599 * period, 0.3);
    EXPECT_NEAR(starts[1] - starts[0], period + 0.2, 1e-9);
    // An overrun starts the next frame at once, which then gets a whole period, not a rushed
    // remainder.
    FramePacer overrun(period, false);
    starts = run(overrun, {30, 5, 5});
    EXPECT_NEAR(starts[1] - starts[0], 30, 1e-9);
    EXPECT_NEAR(starts[2] - starts[1], period, 1e-9);
}

TEST(FramePacer, NeverSleepsOnTopOfASwapThatWaitsForTheDisplay) {
    FramePacer held(period, true);
    // The swap blocks until the next vertical blank: every frame takes the period by itself.
    run(held, std::vector<double>(40, period));
    EXPECT_TRUE(held.swapPacesFrames());
    EXPECT_EQ(held.sleepAfterSwap(0), 0);

    // Vertical sync was asked for but the swap returns at once: the pacer sleeps after probing.
    FramePacer unheld(period, true);
    std::vector<double> starts = run(unheld, std::vector<double>(40, 3));
    EXPECT_FALSE(unheld.swapPacesFrames());
    EXPECT_NEAR(starts[39] - starts[38], period, 1e-9);
}

} // namespace
