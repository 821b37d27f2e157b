#include "WaveFile.h"

#include "FileLoader.h"

#include <algorithm>
#include <optional>

namespace {

const int minSampleRate = 8000;
const int maxSampleRate = 192000;

struct Format {
    unsigned tag = 0;
    unsigned channels = 0;
    unsigned sampleRate = 0;
    unsigned bitsPerSample = 0;
};

unsigned byteAt(std::string_view bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

uint16_t little16(std::string_view bytes, size_t at) {
    return static_cast<uint16_t>(byteAt(bytes, at) | byteAt(bytes, at + 1) << 8);
}

uint32_t little32(std::string_view bytes, size_t at) {
    return uint32_t(little16(bytes, at)) | uint32_t(little16(bytes, at + 2)) << 16;
}

WaveRead failure(std::string problem) {
    WaveRead read;
    read.problem = std::move(problem);
    return read;
}

std::string formatProblem(const std::optional<Format>& format) {
    if (!format) {
        return "no fmt chunk";
    }
    if (format->tag != 1) {
        return "not PCM but format " + std::to_string(format->tag);
    }
    if (format->channels != 1) {
        return std::to_string(format->channels) + " channels, not one: only mono can be placed";
    }
    if (format->bitsPerSample != 16) {
        return std::to_string(format->bitsPerSample) + " bits a sample, not 16";
    }
    if (format->sampleRate < unsigned(minSampleRate) ||
        format->sampleRate > unsigned(maxSampleRate)) {
        return "a sample rate of " + std::to_string(format->sampleRate) + " Hz";
    }
    return "";
}

std::vector<int16_t> samplesOf(std::string_view data) {
    std::vector<int16_t> samples(data.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(little16(data, 2 * i));
    }
    return samples;
}

} // namespace

WaveRead parseWave(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return failure("not a RIFF WAVE file");
    }
    std::optional<Format> format;
    std::optional<std::string_view> data;
    // Chunks follow one another, each padded to an even length; unknown ones are skipped.
    size_t at = 12;
    while (bytes.size() - at >= 8) {
        std::string_view id = bytes.substr(at, 4);
        size_t size = little32(bytes, at + 4);
        at += 8;
        if (size > bytes.size() - at) {
            return failure("cut short: a chunk claims " + std::to_string(size) + " bytes, " +
                           std::to_string(bytes.size() - at) + " follow");
        }
        if (id == "fmt " && size >= 16) {
            format = Format{little16(bytes, at), little16(bytes, at + 2), little32(bytes, at + 4),
                            little16(bytes, at + 14)};
        } else if (id == "data") {
            data = bytes.substr(at, size);
        }
        at += std::min(size + size % 2, bytes.size() - at);
    }
    std::string problem = formatProblem(format);
    if (!problem.empty()) {
        return failure(problem);
    }
    if (!data || data->size() < 2) {
        return failure("no samples");
    }
    WaveRead read;
    read.sound.samples = samplesOf(*data);
    read.sound.sampleRate = int(format->sampleRate);
    return read;
}

WaveRead readWaveFile(const std::string& path) {
    FileBytes file = readFileBytes(path, maxWaveFileBytes);
    switch (file.problem) {
    case FileBytes::Problem::none:
        return parseWave(file.bytes);
    case FileBytes::Problem::cannotOpen:
        return failure("cannot be opened");
    case FileBytes::Problem::tooLarge:
        return failure("larger than " + std::to_string(maxWaveFileBytes >> 20) + " MiB");
    case FileBytes::Problem::cannotRead:
        break;
    }
    return failure("cannot be read");
}
