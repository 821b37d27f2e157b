#ifndef CUBEFRAY_BINDINGS_H
#define CUBEFRAY_BINDINGS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// What a player does with a key, a mouse button or a gamepad button.
enum class Action : uint8_t {
    forward,
    back,
    left,
    right,
    jump,
    fire,
    chat,
    menu,
    fullscreen,
    // Watching a replay.
    pause,
    jumpBack,
    jumpForward,
    faster,
    slower,
    eye1,
    eye2,
    eye3,
    eye4,
    freeCamera,
};
constexpr size_t actionCount = size_t(Action::freeCamera) + 1;

struct ActionInfo {
    // In the settings file, after "bind_".
    const char* name;
    // On the Controls page.
    const char* label;
    bool inMatch;
    bool inReplay;
    // The control a key message names for it; -1 for none.
    int control;
};

const ActionInfo& infoOf(Action action);

// One key by its place on the keyboard (its scancode), one mouse button (0: any of them) or one
// gamepad button (a trigger counts as one), whatever library reports them.
struct Input {
    enum class Device : uint8_t { none, key, mouse, pad };

    Device device = Device::none;
    int code = 0;

    bool operator==(const Input& other) const {
        return device == other.device && code == other.code;
    }
    bool operator!=(const Input& other) const { return !(*this == other); }
    // One number for each input, to tell who holds a control.
    uint32_t id() const { return uint32_t(device) << 16 | uint32_t(code & 0xffff); }
};

// Up to two inputs for every action. An input does one thing where it counts: binding it to an
// action takes it from the action that had it there, which gets the input it replaces (the two
// swap). Keys that mean one thing in a match and another in a replay (Space jumps in one and
// pauses the other) do not meet.
class Bindings {
  public:
    static constexpr size_t slots = 2;
    using Slots = std::array<Input, slots>;
    using Table = std::array<Slots, actionCount>;

    explicit Bindings(const Table& defaults);

    const Slots& of(Action action) const { return current[size_t(action)]; }
    const Slots& defaultOf(Action action) const { return defaults[size_t(action)]; }
    // The action the input is bound to in a replay or a match, if any.
    std::optional<Action> actionOf(Input input, bool inReplay) const;
    void bind(Action action, size_t slot, Input input);
    void set(Action action, const Slots& inputs) { current[size_t(action)] = inputs; }
    void reset() { current = defaults; }

  private:
    Table defaults;
    Table current;
};

#endif
