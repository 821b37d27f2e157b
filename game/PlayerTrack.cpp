#include "PlayerTrack.h"

#include "Collisions.h"
#include "MathOps.h"

#include <algorithm>

namespace {

bool jumped(const Pose& from, const Pose& to) {
    bool awayBefore = from.position.x < 0;
    bool awayAfter = to.position.x < 0;
    return awayBefore != awayAfter ||
           !(distanceVec3(from.position, to.position) <= PlayerTrack::jumpDistance);
}

} // namespace

void PlayerTrack::add(double at, const Pose& pose) {
    // Two reports handled at one moment: the later stands for both.
    if (count > 0 && !(at > newest().at)) {
        reports[(count - 1) % capacity] = {newest().at, pose};
        return;
    }
    reports[count++ % capacity] = {at, pose};
}

Pose PlayerTrack::at(double time, double maxAhead) const {
    if (count == 1 || time >= newest().at) {
        return count == 1 ? newest().pose : between(newest(1), newest(), time, maxAhead);
    }
    size_t kept = std::min(count, capacity);
    for (size_t back = 1; back < kept; ++back) {
        const Report& earlier = newest(back);
        if (earlier.at <= time) {
            return between(earlier, newest(back - 1), time, maxAhead);
        }
    }
    return newest(kept - 1).pose;
}

// Where the way from one report to the next stands at the time; past the second report it goes
// on as it went, for at most maxAhead.
Pose PlayerTrack::between(const Report& from, const Report& to, double time,
                          double maxAhead) const {
    if (jumped(from.pose, to.pose)) {
        return time < to.at ? from.pose : to.pose;
    }
    double span = to.at - from.at;
    double reach = std::min(time, to.at + maxAhead);
    float t = float((reach - from.at) / span);
    const Orientation& a = from.pose.orientation;
    const Orientation& b = to.pose.orientation;
    // q and -q are one rotation: the way between them is the shorter one.
    quat target = b.rotation;
    if (a.rotation.x * target.x + a.rotation.y * target.y + a.rotation.z * target.z +
            a.rotation.w * target.w <
        0) {
        target = {-target.x, -target.y, -target.z, -target.w};
    }
    return {lerp(from.pose.position, to.pose.position, t),
            {normalized(lerp(a.direction, b.direction, t)), nlerp(a.rotation, target, t)}};
}
