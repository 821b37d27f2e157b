#ifndef CUBEFRAY_SOUNDEVENTS_H
#define CUBEFRAY_SOUNDEVENTS_H

#include "Vector.h"

#include <array>
#include <cstddef>
#include <cstdint>

// What the player should hear, as the client infers it from the server's updates and chat.
enum class SoundKind : uint8_t {
    // Another player fired, from its eye.
    shot,
    // The own gun fired.
    ownShot,
    // A shot met the map and crossed no player, where it met it.
    impact,
    // A shot crossed another player's body, where it went in.
    explosion,
    hitTaken,
    hitLanded,
    ownDeath,
    join,
    leave,
    chat,
};
constexpr size_t soundKindCount = size_t(SoundKind::chat) + 1;

struct SoundEvent {
    SoundKind kind = SoundKind::shot;
    // In world units; only the kinds heard from a place use it.
    vec3 position;
};

// The sounds of the updates handled since the last drain, oldest first, in a fixed ring: the
// game fills it while it handles updates and whatever plays the sounds drains it once a frame.
// A flood beyond its capacity overwrites the oldest: those would be cut off by newer ones anyway.
class SoundEvents {
  public:
    static constexpr size_t capacity = 64;

    void add(SoundKind kind, vec3 position = vec3());
    size_t size() const { return count; }
    // The index-th waiting event, oldest first.
    const SoundEvent& at(size_t index) const { return ring[(first + index) % capacity]; }
    void clear() { count = 0; }

  private:
    std::array<SoundEvent, capacity> ring{};
    size_t first = 0;
    size_t count = 0;
};

#endif
