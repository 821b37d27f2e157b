// Writes the game's sounds as 16-bit mono PCM WAV files at 22,050 samples a second: mono so
// that OpenAL can place them in the world, short because each is a single event. Every sound is
// built from sines and seeded noise shaped by filters and envelopes, in basic arithmetic and
// square roots only (stableSin for sines, powers by multiplication), so the bytes are the same on
// every machine.
//
//   shot.wav        another player's gun: a crack of noise over a falling thump
//   own_shot.wav    the own gun, heard at the ear: deeper and closer
//   impact.wav      a shot meeting the map: a bright tick of filtered noise
//   explosion.wav   a shot through a body: a dull roar with a low rumble
//   hit_taken.wav   being hit: a low, dull knock
//   hit_landed.wav  the own shot hitting: a short high ping
//   death.wav       the own death: a long falling tone
//   join.wav        a rising pair of notes
//   leave.wav       the same pair falling
//   chat.wav        a short blip

#include "GeneratorSupport.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const int sampleRate = 22050;
const double twoPi = 6.283185307179586;
const double peak = 0.89;

using Samples = std::vector<double>;

Samples silence(double seconds) {
    return Samples(size_t(seconds * sampleRate), 0.0);
}

double timeOf(size_t sample) {
    return double(sample) / sampleRate;
}

double power(double base, int exponent) {
    double result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= base;
    }
    return result;
}

// Rises over `attack` seconds, then falls to nothing at `length` along (1 - t)^steepness.
double envelope(double t, double attack, double length, int steepness) {
    if (t >= length) {
        return 0;
    }
    double rise = attack > 0 ? clamp01(t / attack) : 1.0;
    return rise * power(1 - t / length, steepness);
}

// A sine whose pitch glides straight from `from` to `to` over `length` seconds, added at the
// given level under the envelope.
void addTone(Samples& out, double from, double to, double start, double length, double level,
             double attack, int steepness) {
    double phase = 0;
    size_t first = size_t(start * sampleRate);
    for (size_t i = first; i < out.size(); ++i) {
        double t = timeOf(i - first);
        if (t >= length) {
            break;
        }
        out[i] += level * envelope(t, attack, length, steepness) * stableSin(phase);
        phase += twoPi * mix(from, to, t / length) / sampleRate;
        if (phase > twoPi) {
            phase -= twoPi;
        }
    }
}

// Seeded white noise through a one-pole low-pass filter: `smoothing` near 0 leaves a rumble,
// 1 leaves the noise as it is. With `bright` the low-passed part is taken away instead, leaving
// the hiss.
void addNoise(Samples& out, uint64_t seed, double smoothing, bool bright, double length,
              double level, double attack, int steepness) {
    Random random(seed);
    double low = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = timeOf(i);
        if (t >= length) {
            break;
        }
        double white = random.range(-1, 1);
        low += smoothing * (white - low);
        double filtered = bright ? white - low : low;
        out[i] += level * envelope(t, attack, length, steepness) * filtered;
    }
}

// How loud a sound is heard: the root mean square of its loudest 50 ms, so that a short blip
// and a long roar compare as the ear takes them.
double loudness(const Samples& samples) {
    const size_t window = sampleRate / 20;
    double loudest = 0;
    for (size_t start = 0; start < samples.size(); start += window / 4) {
        size_t end = start + window < samples.size() ? start + window : samples.size();
        double sum = 0;
        for (size_t i = start; i < end; ++i) {
            sum += samples[i] * samples[i];
        }
        double level = std::sqrt(sum / double(window));
        loudest = level > loudest ? level : loudest;
    }
    return loudest;
}

// Scales the sound to the given loudness, but never past `peak`: the files carry the balance
// between the sounds, and the game plays them all at one gain.
void setLoudness(Samples& samples, double level) {
    double loudest = 0;
    for (double s : samples) {
        loudest = s > loudest ? s : (-s > loudest ? -s : loudest);
    }
    double measured = loudness(samples);
    if (loudest == 0 || measured == 0) {
        return;
    }
    double gain = level / measured;
    gain = gain * loudest > peak ? peak / loudest : gain;
    for (double& s : samples) {
        s *= gain;
    }
}

void appendLittleEndian(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += char((value >> (8 * i)) & 0xff);
    }
}

void writeWave(const std::string& directory, const char* name, Samples samples, double level) {
    setLoudness(samples, level);
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::string bytes = "RIFF";
    appendLittleEndian(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    appendLittleEndian(bytes, 16, 4);
    appendLittleEndian(bytes, 1, 2); // PCM
    appendLittleEndian(bytes, 1, 2); // mono
    appendLittleEndian(bytes, sampleRate, 4);
    appendLittleEndian(bytes, sampleRate * 2, 4);
    appendLittleEndian(bytes, 2, 2);
    appendLittleEndian(bytes, 16, 2);
    bytes += "data";
    appendLittleEndian(bytes, dataBytes, 4);
    for (double s : samples) {
        double scaled = s * 32767.0;
        int value = int(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
        appendLittleEndian(bytes, uint32_t(uint16_t(int16_t(value))), 2);
    }
    writeTextFile(joinPath(directory, name), bytes);
}

Samples shot() {
    Samples out = silence(0.22);
    addNoise(out, 11, 0.55, false, 0.16, 1.0, 0.0005, 3);
    addNoise(out, 12, 0.3, true, 0.03, 0.5, 0, 2);
    addTone(out, 170, 55, 0, 0.2, 0.7, 0.002, 2);
    return out;
}

Samples ownShot() {
    Samples out = silence(0.2);
    addNoise(out, 21, 0.35, false, 0.14, 1.0, 0.0005, 3);
    addNoise(out, 22, 0.4, true, 0.02, 0.4, 0, 2);
    addTone(out, 120, 42, 0, 0.18, 1.0, 0.002, 2);
    return out;
}

Samples impact() {
    Samples out = silence(0.1);
    addNoise(out, 31, 0.25, true, 0.07, 1.0, 0.0003, 5);
    addTone(out, 2300, 1900, 0, 0.05, 0.25, 0.0005, 6);
    return out;
}

Samples explosion() {
    Samples out = silence(0.5);
    addNoise(out, 41, 0.08, false, 0.48, 1.0, 0.004, 2);
    addNoise(out, 42, 0.5, true, 0.12, 0.15, 0.002, 3);
    addTone(out, 75, 32, 0, 0.45, 0.6, 0.01, 2);
    return out;
}

Samples hitTaken() {
    Samples out = silence(0.25);
    addTone(out, 110, 65, 0, 0.24, 1.0, 0.002, 2);
    addTone(out, 330, 195, 0, 0.16, 0.35, 0.002, 3);
    addNoise(out, 51, 0.12, false, 0.1, 0.5, 0.001, 2);
    return out;
}

Samples hitLanded() {
    Samples out = silence(0.09);
    addTone(out, 1760, 1760, 0, 0.09, 1.0, 0.002, 4);
    addTone(out, 2640, 2640, 0, 0.06, 0.5, 0.002, 4);
    return out;
}

// A falling tone of a fundamental and its next two harmonics, reedy rather than pure.
Samples death() {
    Samples out = silence(0.7);
    for (int harmonic = 1; harmonic <= 3; ++harmonic) {
        addTone(out, 440.0 * harmonic, 110.0 * harmonic, 0, 0.7, 1.0 / harmonic, 0.01, 1);
    }
    return out;
}

Samples twoNotes(double first, double second) {
    Samples out = silence(0.26);
    addTone(out, first, first, 0, 0.12, 1.0, 0.005, 2);
    addTone(out, second, second, 0.12, 0.14, 1.0, 0.005, 2);
    return out;
}

Samples chat() {
    Samples out = silence(0.06);
    addTone(out, 1318.5, 1318.5, 0, 0.06, 1.0, 0.003, 3);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::string directory = outputDirectory(argc, argv, "the game's sounds (*.wav)");
    const double c5 = 523.25;
    const double g5 = 783.99;
    // Guns loudest, the own above another's; what a shot meets next; the player's own hits and
    // death between; the tones of the roster and the chat well below them all.
    writeWave(directory, "own_shot.wav", ownShot(), 0.31);
    writeWave(directory, "shot.wav", shot(), 0.28);
    writeWave(directory, "explosion.wav", explosion(), 0.2);
    writeWave(directory, "impact.wav", impact(), 0.15);
    writeWave(directory, "hit_taken.wav", hitTaken(), 0.3);
    writeWave(directory, "hit_landed.wav", hitLanded(), 0.2);
    writeWave(directory, "death.wav", death(), 0.25);
    writeWave(directory, "join.wav", twoNotes(c5, g5), 0.063);
    writeWave(directory, "leave.wav", twoNotes(g5, c5), 0.063);
    writeWave(directory, "chat.wav", chat(), 0.063);
    return 0;
}
