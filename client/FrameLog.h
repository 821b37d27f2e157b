#ifndef CUBEFRAY_FRAMELOG_H
#define CUBEFRAY_FRAMELOG_H

#include "Player.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// When the environment names a file in CUBEFRAY_FRAME_LOG, one line a presented frame, written to
// that file at exit: what the benchmarks and the end-to-end tests read. Room for an hour of
// frames is taken at start, so recording never allocates in a frame.
//
// A line: the moment the frame was presented (milliseconds of the system's monotonic clock, as
// other processes read it), the process's CPU time by then, the heading and the pitch of the own
// view in degrees (nan before there is one), and, with CUBEFRAY_FRAME_HASH=1, a hash of the
// middle of the picture (0 without).
class FrameLog {
  public:
    FrameLog();

    // The frame is drawn and about to be swapped, showing the own view (nullptr: none).
    void frameDrawn(const Orientation* ownView, int width, int height);
    void framePresented();
    void write() const;

  private:
    // The square in the middle of the picture that the hash covers, in pixels.
    static constexpr int hashedSide = 64;

    struct Entry {
        double presentedAt;
        double cpuTime;
        float heading;
        float pitch;
        uint32_t hash;
    };

    uint32_t middleHash(int width, int height);

    std::string path;
    bool hashing = false;
    std::vector<Entry> entries;
    Entry drawn{};
    std::array<unsigned char, hashedSide * hashedSide * 4> pixels{};
};

#endif
