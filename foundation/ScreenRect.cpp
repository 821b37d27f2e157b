#include "ScreenRect.h"

#include <algorithm>
#include <cmath>

ScreenRect ScreenRect::joined(const ScreenRect& other) const {
    return {vec2(std::min(min.x, other.min.x), std::min(min.y, other.min.y)),
            vec2(std::max(max.x, other.max.x), std::max(max.y, other.max.y))};
}

// Rectangles that only touch do not overlap.
bool ScreenRect::overlaps(const ScreenRect& other) const {
    return min.x < other.max.x && other.min.x < max.x && min.y < other.max.y && other.min.y < max.y;
}

namespace {

// The least move along one axis that brings [low, high] inside [lowest, highest]; a span longer
// than the room keeps its low end at the lowest.
float shiftInto(float low, float high, float lowest, float highest) {
    if (high - low > highest - lowest || low < lowest) {
        return lowest - low;
    }
    return high > highest ? highest - high : 0;
}

ScreenRect clampedInto(const ScreenRect& label, const ScreenRect& bounds) {
    return label.moved(vec2(shiftInto(label.min.x, label.max.x, bounds.min.x, bounds.max.x),
                            shiftInto(label.min.y, label.max.y, bounds.min.y, bounds.max.y)));
}

ScreenRect grown(const ScreenRect& rect, float by) {
    return {rect.min - vec2(by, by), rect.max + vec2(by, by)};
}

bool isClear(const ScreenRect& label, const ScreenRect* taken, size_t count, float gap) {
    ScreenRect kept = grown(label, gap);
    return std::none_of(taken, taken + count,
                        [&kept](const ScreenRect& other) { return kept.overlaps(other); });
}

float distance(const ScreenRect& a, const ScreenRect& b) {
    vec2 d = a.min - b.min;
    return std::sqrt(d.dot(d));
}

} // namespace

// The places tried are the wanted one, and beside each taken rectangle on each of its four
// sides: enough for the few lines of a heads-up display, which stand in columns and rows.
std::optional<ScreenRect> placeClear(const ScreenRect& label, const ScreenRect& bounds,
                                     const ScreenRect* taken, size_t count, float gap,
                                     float reach) {
    ScreenRect wanted = clampedInto(label, bounds);
    if (isClear(wanted, taken, count, gap)) {
        return wanted;
    }
    std::optional<ScreenRect> best;
    float nearest = reach;
    vec2 size = wanted.size();
    for (size_t i = 0; i < count; ++i) {
        ScreenRect around = grown(taken[i], gap);
        const vec2 corners[4] = {
            vec2(wanted.min.x, around.max.y), vec2(wanted.min.x, around.min.y - size.y),
            vec2(around.min.x - size.x, wanted.min.y), vec2(around.max.x, wanted.min.y)};
        for (vec2 corner : corners) {
            ScreenRect tried = clampedInto({corner, corner + size}, bounds);
            float moved = distance(tried, wanted);
            if (moved <= nearest && isClear(tried, taken, count, gap)) {
                best = tried;
                nearest = moved;
            }
        }
    }
    return best;
}
