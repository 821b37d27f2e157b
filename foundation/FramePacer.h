#ifndef CUBEFRAY_FRAMEPACER_H
#define CUBEFRAY_FRAMEPACER_H

#include <array>

// Paces a loop to a fixed period, from the top of one frame to the top of the next with the
// buffer swap inside it. After each swap it says how long to sleep: what is left before the next
// deadline. A frame that overruns starts the next at once and the schedule starts anew from
// there, so late frames are never made up for by rushed ones.
//
// Where the swap may wait for the display (vertical sync took effect), the first frames run
// without sleeping: when the swap alone holds them to about the period, it paces the loop and a
// sleep on top of it would only miss the next vertical blank, so the pacer never sleeps.
class FramePacer {
  public:
    FramePacer(double periodMillis, bool swapMayWaitForDisplay);

    // Call at the top of every frame with the clock in milliseconds.
    void frameStarted(double now);
    // Call after the swap; the milliseconds to sleep before the next frame starts.
    double sleepAfterSwap(double now);
    bool swapPacesFrames() const { return swapPaces; }

  private:
    static constexpr int probeFrames = 20;

    void probe(double now);

    double period;
    bool probing;
    bool swapPaces = false;
    bool started = false;
    // When the next frame is due.
    double nextStart = 0;
    double lastStart = 0;
    int probed = 0;
    std::array<double, probeFrames> probeIntervals{};
};

#endif
