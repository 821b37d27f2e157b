#ifndef CUBEFRAY_RECORDER_H
#define CUBEFRAY_RECORDER_H

#include "ReplayFile.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Records what the server sends during a match into a replay file, on a thread of its own: the
// frame only copies each datagram into a ring made once, so recording never writes to the disk
// nor allocates in a frame. The file is made once the server has admitted the player (its header
// names the id the server gave); a match that never began leaves no file. What is recorded
// becomes readable at least once a second.
class Recorder {
  public:
    static constexpr size_t capacity = 4096;
    static constexpr int flushMillis = 1000;

    Recorder() = default;
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Records into the file from now on; times count from now.
    void begin(const std::string& path, double now);
    bool recording() const { return writer.joinable(); }
    // A datagram the game took from its server, and when it arrived.
    void record(std::string_view datagram, double arrivedAt);
    void admitted(const ReplayHeader& header);
    // Writes what waits, ends the stream and closes the file.
    void end();
    // Why recording stopped (a full disk, a folder that cannot be written), once; else "".
    std::string takeFailure();

  private:
    struct Slot {
        uint32_t millis;
        uint16_t size;
        char bytes[512];
    };

    void write();
    void fail(const std::string& why);

    std::string path;
    double started = 0;
    std::vector<Slot> ring;
    size_t first = 0;
    size_t count = 0;
    bool headerKnown = false;
    ReplayHeader header;
    bool ending = false;
    std::atomic<bool> failed{false};
    bool failureTaken = false;
    std::string failure;
    std::mutex mutex;
    std::condition_variable wake;
    std::thread writer;
};

#endif
