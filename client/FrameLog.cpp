#include "FrameLog.h"

#include "Timing.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const size_t maxEntries = 60 * 60 * 60;

double processCpuMilliseconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) * 1000.0 + double(used.tv_nsec) / 1e6;
}

} // namespace

FrameLog::FrameLog() {
    const char* file = std::getenv("CUBEFRAY_FRAME_LOG");
    if (file != nullptr && *file != '\0') {
        path = file;
        entries.reserve(maxEntries);
    }
}

void FrameLog::framePresented() {
    if (!path.empty() && entries.size() < maxEntries) {
        entries.push_back({preciseMilliseconds(), processCpuMilliseconds()});
    }
}

void FrameLog::write() const {
    if (path.empty()) {
        return;
    }
    FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        std::perror(path.c_str());
        return;
    }
    for (const Entry& entry : entries) {
        std::fprintf(out, "%.3f %.3f\n", entry.presentedAt, entry.cpuTime);
    }
    std::fclose(out);
}
