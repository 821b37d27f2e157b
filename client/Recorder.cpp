#include "Recorder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

Recorder::~Recorder() {
    end();
}

void Recorder::begin(const std::string& file, double now) {
    end();
    path = file;
    started = now;
    ring.resize(capacity);
    first = count = 0;
    headerKnown = ending = false;
    failed = failureTaken = false;
    writer = std::thread([this] { write(); });
}

void Recorder::record(std::string_view datagram, double arrivedAt) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!writer.joinable() || failed || count == capacity) {
        return;
    }
    Slot& slot = ring[(first + count) % capacity];
    slot.millis = uint32_t(std::max(0.0, arrivedAt - started));
    slot.size = uint16_t(std::min(datagram.size(), sizeof slot.bytes));
    std::memcpy(slot.bytes, datagram.data(), slot.size);
    ++count;
}

void Recorder::admitted(const ReplayHeader& known) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        header = known;
        headerKnown = true;
    }
    wake.notify_one();
}

void Recorder::end() {
    if (!writer.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        ending = true;
    }
    wake.notify_one();
    writer.join();
}

std::string Recorder::takeFailure() {
    if (!failed || failureTaken) {
        return "";
    }
    std::lock_guard<std::mutex> lock(mutex);
    failureTaken = true;
    return failure;
}

void Recorder::fail(const std::string& why) {
    std::lock_guard<std::mutex> lock(mutex);
    failure = why;
    failed = true;
}

// Takes what waits once a second or at the end, compresses it and writes it out.
void Recorder::write() {
    FILE* file = nullptr;
    ReplayCompressor compressor;
    std::vector<Slot> taken;
    while (true) {
        bool last = false;
        bool known = false;
        ReplayHeader named;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait_for(lock, std::chrono::milliseconds(flushMillis), [this] { return ending; });
            last = ending;
            known = headerKnown;
            named = header;
            if (known) {
                for (; count > 0; --count, first = (first + 1) % capacity) {
                    taken.push_back(ring[first]);
                }
            }
        }
        if (!known) {
            if (last) {
                return;
            }
            continue;
        }
        std::string out;
        if (file == nullptr) {
            file = std::fopen(path.c_str(), "wb");
            if (file == nullptr) {
                fail(std::string(std::strerror(errno)));
                return;
            }
            out = replayHeaderText(named);
        }
        for (const Slot& slot : taken) {
            compressor.add(slot.millis, std::string_view(slot.bytes, slot.size), out);
        }
        taken.clear();
        last ? compressor.finish(out) : compressor.flush(out);
        bool written =
            std::fwrite(out.data(), 1, out.size(), file) == out.size() && std::fflush(file) == 0;
        if (!written) {
            fail(std::string(std::strerror(errno)));
            std::fclose(file);
            return;
        }
        if (last) {
            std::fclose(file);
            return;
        }
    }
}
