#include "SoundPlayer.h"

#include "WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// How a kind of sound plays. A sound heard from a place is at full gain within
// referenceDistance and fades with distance beyond; the others play at the listener's ears.
// The files carry the balance between the kinds; all play at one gain.
struct Style {
    const char* file;
    size_t voices;
    bool placed;
};

// By SoundKind.
constexpr std::array<Style, soundKindCount> styles = {{
    {"shot.wav", 8, true},
    {"own_shot.wav", 3, false},
    {"impact.wav", 6, true},
    {"explosion.wav", 6, true},
    {"hit_taken.wav", 2, false},
    {"hit_landed.wav", 2, false},
    {"death.wav", 1, false},
    {"join.wav", 1, false},
    {"leave.wav", 1, false},
    {"chat.wav", 1, false},
}};
const float soundGain = 0.6f;

constexpr size_t totalVoices() {
    size_t total = 0;
    for (const Style& style : styles) {
        total += style.voices;
    }
    return total;
}
static_assert(totalVoices() == SoundPlayer::voiceCount, "every voice belongs to one kind");

// In world units: about three cells, and the far side of the arena.
const float referenceDistance = 300;
const float maxDistance = 4000;

size_t firstVoiceOf(size_t kind) {
    size_t first = 0;
    for (size_t k = 0; k < kind; ++k) {
        first += styles[k].voices;
    }
    return first;
}

// The camera mirrors the picture: where an ordinary camera looking along the direction would
// show a point on its left, ours shows it on the right. OpenAL hears as an ordinary camera
// sees, so it is given the world mirrored in x; its listener then hears on the left what the
// picture shows on the left, while ahead, behind, above and below stay as they are.
vec3 heardAt(vec3 world) {
    return vec3(-world.x, world.y, world.z);
}

bool finite(vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The libraries below OpenAL report a missing sound card on standard error in lines of their
// own; the client says so itself, in one.
ALCdevice* openDefaultQuietly() {
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && sink >= 0) {
        dup2(sink, STDERR_FILENO);
    }
    ALCdevice* opened = alcOpenDevice(nullptr);
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (sink >= 0) {
        close(sink);
    }
    return opened;
}

} // namespace

bool SoundPlayer::openDefaultDevice() {
    ALCdevice* opened = openDefaultQuietly();
    return opened != nullptr && start(opened, nullptr);
}

bool SoundPlayer::start(ALCdevice* openedDevice, const ALCint* attributes) {
    stop();
    device = openedDevice;
    context = alcCreateContext(device, attributes);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        stop();
        return false;
    }
    alGetError();
    alGenSources(ALsizei(voices.size()), voices.data());
    if (alGetError() != AL_NO_ERROR) {
        voices.fill(0);
        stop();
        return false;
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alListenerf(AL_GAIN, gain);
    makeVoices();
    return true;
}

void SoundPlayer::makeVoices() {
    for (size_t kind = 0; kind < soundKindCount; ++kind) {
        const Style& style = styles[kind];
        for (size_t i = 0; i < style.voices; ++i) {
            ALuint voice = voices[firstVoiceOf(kind) + i];
            alSourcef(voice, AL_GAIN, soundGain);
            alSourcei(voice, AL_SOURCE_RELATIVE, style.placed ? AL_FALSE : AL_TRUE);
            alSourcef(voice, AL_REFERENCE_DISTANCE, referenceDistance);
            alSourcef(voice, AL_MAX_DISTANCE, maxDistance);
            alSourcef(voice, AL_ROLLOFF_FACTOR, style.placed ? 1.0f : 0.0f);
        }
    }
}

void SoundPlayer::loadSounds(const std::string& folder) {
    if (!isOn()) {
        return;
    }
    for (size_t kind = 0; kind < soundKindCount; ++kind) {
        const Style& style = styles[kind];
        std::string path = folder + style.file;
        WaveRead read = readWaveFile(path);
        if (!read.problem.empty()) {
            std::cout << "Sound " << path << " cannot be played (" << read.problem
                      << "): it stays silent" << std::endl;
            continue;
        }
        const std::vector<int16_t>& samples = read.sound.samples;
        alGetError();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO16, samples.data(),
                     ALsizei(samples.size() * sizeof(int16_t)), read.sound.sampleRate);
        for (size_t i = 0; i < style.voices; ++i) {
            alSourcei(voices[firstVoiceOf(kind) + i], AL_BUFFER, ALint(buffer));
        }
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &buffer);
            std::cout << "Sound " << path << " cannot be played (OpenAL refused it): it stays "
                      << "silent" << std::endl;
            continue;
        }
        buffers[kind] = buffer;
    }
}

// Loudness is heard on a roughly logarithmic scale; the square makes the steps of the menu
// sound more even than a straight line would.
void SoundPlayer::setVolume(int volume) {
    float share = float(std::clamp(volume, 0, Settings::maxVolume)) / Settings::maxVolume;
    gain = share * share;
    if (isOn()) {
        alListenerf(AL_GAIN, gain);
    }
}

void SoundPlayer::play(Game& game) {
    if (!isOn() || gain == 0) {
        game.sounds.clear();
        return;
    }
    placeListener(game);
    for (size_t i = 0; i < game.sounds.size(); ++i) {
        startSound(game.sounds.at(i));
    }
    game.sounds.clear();
    if (startingCount > 0) {
        alSourcePlayv(ALsizei(startingCount), starting.data());
        startingCount = 0;
    }
}

// While the own player awaits respawn its ears stay where its eye last was, as the view does.
void SoundPlayer::placeListener(Game& game) {
    const Player* me = game.shownPlayer(game.clientPlayerID);
    vec3 eye = game.lastOwnEye;
    vec3 direction = game.lastOwnDirection;
    if (me != nullptr && !me->awaitingRespawn()) {
        eye = me->getPosition();
        direction = me->getDirection();
    } else if (!game.hasLastOwnView) {
        return;
    }
    if (!finite(eye) || !finite(direction)) {
        return;
    }
    vec3 position = heardAt(eye);
    vec3 at = heardAt(direction);
    vec3 up = heardAt(vec3(0, 1, 0));
    const ALfloat orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

void SoundPlayer::startSound(const SoundEvent& event) {
    size_t kind = size_t(event.kind);
    const Style& style = styles[kind];
    if (buffers[kind] == 0 || (style.placed && !finite(event.position))) {
        return;
    }
    ALuint voice = voices[firstVoiceOf(kind) + nextVoice[kind]];
    nextVoice[kind] = (nextVoice[kind] + 1) % style.voices;
    if (style.placed) {
        vec3 at = heardAt(event.position);
        alSource3f(voice, AL_POSITION, at.x, at.y, at.z);
    }
    ALuint* end = starting.begin() + startingCount;
    if (std::find(starting.begin(), end, voice) == end) {
        starting[startingCount++] = voice;
    }
}

void SoundPlayer::stop() {
    if (context != nullptr) {
        alcMakeContextCurrent(context);
        if (voices[0] != 0) {
            alSourceStopv(ALsizei(voices.size()), voices.data());
            alDeleteSources(ALsizei(voices.size()), voices.data());
        }
        for (ALuint& buffer : buffers) {
            if (buffer != 0) {
                alDeleteBuffers(1, &buffer);
            }
        }
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (device != nullptr) {
        alcCloseDevice(device);
    }
    device = nullptr;
    context = nullptr;
    buffers.fill(0);
    voices.fill(0);
    nextVoice.fill(0);
    startingCount = 0;
}
