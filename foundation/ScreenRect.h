#ifndef CUBEFRAY_SCREENRECT_H
#define CUBEFRAY_SCREENRECT_H

#include "Vector.h"

#include <cstddef>
#include <optional>

// An upright rectangle of the window in pixels: what a line of text or a backdrop covers.
struct ScreenRect {
    vec2 min;
    vec2 max;

    vec2 size() const { return max - min; }
    ScreenRect moved(vec2 by) const { return {min + by, max + by}; }
    // The smallest rectangle that holds both.
    ScreenRect joined(const ScreenRect& other) const;
    bool overlaps(const ScreenRect& other) const;
};

// Where a label that wants to stand at label can stand instead: wholly inside bounds (as far as
// it fits), apart from every taken rectangle by at least gap, and moved as little as it can be.
// None when every free place lies farther than reach from its place inside the bounds.
std::optional<ScreenRect> placeClear(const ScreenRect& label, const ScreenRect& bounds,
                                     const ScreenRect* taken, size_t count, float gap, float reach);

#endif
