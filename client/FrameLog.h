#ifndef CUBEFRAY_FRAMELOG_H
#define CUBEFRAY_FRAMELOG_H

#include <string>
#include <vector>

// When the environment names a file in CUBEFRAY_FRAME_LOG, the moment each frame was presented
// and the process's CPU time by then, written to that file at exit: what the live benchmark
// reads. Room for an hour of frames is taken at start, so recording never allocates in a frame.
class FrameLog {
  public:
    FrameLog();

    void framePresented();
    // One line a frame: presented at, CPU time used, both in milliseconds.
    void write() const;

  private:
    struct Entry {
        double presentedAt;
        double cpuTime;
    };

    std::string path;
    std::vector<Entry> entries;
};

#endif
