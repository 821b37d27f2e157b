#include "FramePacer.h"

#include <algorithm>

namespace {

// Frames that take this share of the period without any sleep are held by the display.
const double pacedShare = 0.75;

} // namespace

FramePacer::FramePacer(double periodMillis, bool swapMayWaitForDisplay)
    : period(periodMillis), probing(swapMayWaitForDisplay) {}

void FramePacer::frameStarted(double now) {
    if (!started) {
        nextStart = now;
    } else if (probing) {
        probe(now);
    }
    nextStart += period;
    lastStart = now;
    started = true;
}

void FramePacer::probe(double now) {
    probeIntervals[size_t(probed++)] = now - lastStart;
    if (probed < probeFrames) {
        return;
    }
    std::array<double, probeFrames> sorted = probeIntervals;
    std::nth_element(sorted.begin(), sorted.begin() + probeFrames / 2, sorted.end());
    swapPaces = sorted[probeFrames / 2] >= pacedShare * period;
    probing = false;
}

double FramePacer::sleepAfterSwap(double now) {
    bool sleeps = !probing && !swapPaces;
    if (!sleeps || now >= nextStart) {
        // Overran, or paced by the swap: the next frame starts now and the schedule with it.
        nextStart = now;
        return 0;
    }
    return nextStart - now;
}
