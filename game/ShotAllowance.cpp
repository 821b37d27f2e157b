#include "ShotAllowance.h"

#include <algorithm>

bool ShotAllowance::take() {
    if (left < 1) {
        return false;
    }
    left -= 1;
    return true;
}

// A clock that goes back gives nothing.
void ShotAllowance::grow(double now) {
    if (started && now > grownAt) {
        left = std::min(burst, left + (now - grownAt) * perSecond / 1000);
    }
    grownAt = started ? std::max(grownAt, now) : now;
    started = true;
}
