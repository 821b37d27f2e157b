#ifndef CUBEFRAY_SOUNDPLAYER_H
#define CUBEFRAY_SOUNDPLAYER_H

#include "Game.h"
#include "SoundEvents.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <array>
#include <string>

// Plays the game's sounds through OpenAL: the listener at the own player's eye, looking where
// it looks, and every sound of another player heard from where it happened. Each kind of sound
// has a few voices of its own, made once: a new sound takes the voice of its kind that started
// longest ago, cutting it off when all are busy, so a flood of updates never makes more. Without
// a device every call does nothing.
class SoundPlayer {
  public:
    static constexpr size_t voiceCount = 31;

    SoundPlayer() = default;
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;
    ~SoundPlayer() { stop(); }

    // Opens the system's default output; false when there is none.
    bool openDefaultDevice();
    // Plays through a device the caller opened (a loopback device, say), which it then owns;
    // attributes are the context's, or null. False, and the device closed, when it cannot.
    bool start(ALCdevice* openedDevice, const ALCint* attributes);
    bool isOn() const { return context != nullptr; }
    // Every sound from its file in the folder (which ends in a separator). A file that cannot
    // be played gets one line on the console, and its sound stays silent.
    void loadSounds(const std::string& folder);
    // 0 to 100; 0 is silence.
    void setVolume(int volume);
    // Once a frame, after the game's update: follows the own player's view and starts the
    // sounds of the game's events, which it takes. Allocates nothing and starts every new sound
    // in one call.
    void play(Game& game);
    void stop();

  private:
    void makeVoices();
    void placeListener(Game& game);
    void startSound(const SoundEvent& event);

    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    float gain = 1;
    // By kind; 0 is a sound that could not be loaded.
    std::array<ALuint, soundKindCount> buffers{};
    // By kind: which of its voices the next sound takes.
    std::array<size_t, soundKindCount> nextVoice{};
    std::array<ALuint, voiceCount> voices{};
    // The voices to start at the end of this frame, each once.
    std::array<ALuint, voiceCount> starting{};
    size_t startingCount = 0;
};

#endif
