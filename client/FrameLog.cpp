#include "FrameLog.h"

#include "MathOps.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <epoxy/gl.h>

namespace {

const size_t maxEntries = 60 * 60 * 60;

double processCpuMilliseconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) * 1000.0 + double(used.tv_nsec) / 1e6;
}

double monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

float degrees(double radians) {
    return float(radians * 180 / pi);
}

} // namespace

FrameLog::FrameLog() {
    const char* file = std::getenv("CUBEFRAY_FRAME_LOG");
    if (file != nullptr && *file != '\0') {
        path = file;
        entries.reserve(maxEntries);
        const char* hash = std::getenv("CUBEFRAY_FRAME_HASH");
        hashing = hash != nullptr && std::string(hash) == "1";
    }
}

void FrameLog::frameDrawn(const Orientation* ownView, int width, int height) {
    if (path.empty()) {
        return;
    }
    drawn.heading = drawn.pitch = NAN;
    if (ownView != nullptr) {
        vec3 d = ownView->direction;
        drawn.heading = degrees(std::atan2(-double(d.x), -double(d.z)));
        drawn.pitch = degrees(std::asin(std::clamp(double(d.y), -1.0, 1.0)));
    }
    drawn.hash = hashing ? middleHash(width, height) : 0;
}

// FNV-1a over the pixels of the middle square of the back buffer.
uint32_t FrameLog::middleHash(int width, int height) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(width / 2 - hashedSide / 2, height / 2 - hashedSide / 2, hashedSide, hashedSide,
                 GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    uint32_t hash = 2166136261u;
    for (unsigned char byte : pixels) {
        hash = (hash ^ byte) * 16777619u;
    }
    return hash;
}

void FrameLog::framePresented() {
    if (!path.empty() && entries.size() < maxEntries) {
        drawn.presentedAt = monotonicMilliseconds();
        drawn.cpuTime = processCpuMilliseconds();
        entries.push_back(drawn);
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
        std::fprintf(out, "%.3f %.3f %.4f %.4f %u\n", entry.presentedAt, entry.cpuTime,
                     double(entry.heading), double(entry.pitch), unsigned(entry.hash));
    }
    std::fclose(out);
}
