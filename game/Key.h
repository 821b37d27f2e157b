#ifndef CUBEFRAY_KEY_H
#define CUBEFRAY_KEY_H

#include <cstdint>

// A key as the chat line and the menus know it, whatever device or library it comes from: the
// program shell turns its own events into these (what an input does in the game is the
// bindings'). The letters stand for places on the keyboard, not for what the layout prints on
// them.
// clang-format off
enum class Key : uint8_t {
    none,
    a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z,
    space,
    enter,
    keypadEnter,
    backspace,
    escape,
    up,
    down,
    left,
    right,
};
// clang-format on

#endif
