#ifndef CUBEFRAY_WAVEFILE_H
#define CUBEFRAY_WAVEFILE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A sound as OpenAL takes it and can place in the world: one channel of 16-bit samples.
struct WaveSound {
    std::vector<int16_t> samples;
    int sampleRate = 0;
};

// A sound file read, or why it could not be: then there are no samples.
struct WaveRead {
    WaveSound sound;
    std::string problem;
};

// Sound files are short effects; anything larger is not one of them.
constexpr size_t maxWaveFileBytes = 4 << 20;

// A RIFF WAVE file of 16-bit mono PCM. Any other format, a file cut short, or a chunk claiming
// more bytes than the file holds is a problem.
WaveRead parseWave(std::string_view bytes);
WaveRead readWaveFile(const std::string& path);

#endif
