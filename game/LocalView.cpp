#include "LocalView.h"

#include "MathOps.h"

#include <cmath>

namespace {

const vec3 worldUp(0, 1, 0);
// Far more than the rounding that keeps the server's views from matching ours exactly, and less
// than a pixel's turn.
const float noticeable = 1e-3f;

// The angle between two directions; a direction that is no number is as far as can be.
float angleBetween(vec3 a, vec3 b) {
    float cosine = normalized(a).dot(normalized(b));
    if (std::isnan(cosine)) {
        return float(pi);
    }
    return std::acos(clamp(cosine, -1.0f, 1.0f));
}

// The rotation that takes direction from onto direction to, the short way round.
quat arcBetween(vec3 from, vec3 to) {
    vec3 axis = normalized(from).cross(normalized(to));
    quat arc(axis.x, axis.y, axis.z, 1 + normalized(from).dot(normalized(to)));
    arc.normalize();
    return arc;
}

Orientation rotated(const Orientation& orientation, quat by) {
    return {by * orientation.direction, by * orientation.rotation};
}

bool same(const Orientation& a, const Orientation& b) {
    return a.direction.x == b.direction.x && a.direction.y == b.direction.y &&
           a.direction.z == b.direction.z && a.rotation.x == b.rotation.x &&
           a.rotation.y == b.rotation.y && a.rotation.z == b.rotation.z &&
           a.rotation.w == b.rotation.w;
}

bool isIdentity(quat q) {
    return q.x == 0 && q.y == 0 && q.z == 0;
}

} // namespace

void LocalView::reset() {
    hasReport = false;
    anchorNumber = sentCount;
    correction = quat();
}

uint64_t LocalView::oldestKept() const {
    return sentCount < capacity ? 1 : sentCount - capacity + 1;
}

Orientation LocalView::predicted() const {
    return sentCount > anchorNumber ? turn(sentCount).after : anchor;
}

void LocalView::turned(int dx, int dy, double now) {
    if (!hasReport) {
        return;
    }
    Orientation before = predicted();
    uint64_t number = sentCount + 1;
    // The oldest turn makes room; were it one the server has not yet made, the chain would lose
    // its start, so the anchor moves on to it first.
    if (number > capacity && number - capacity > anchorNumber) {
        anchorNumber = number - capacity;
        anchor = turn(anchorNumber).after;
    }
    turn(number) = {dx, dy, now, turnedBy(before, dx, dy, worldUp, 1)};
    sentCount = number;
}

std::optional<double> LocalView::reported(const Orientation& server, double now,
                                          double settledBefore) {
    if (!hasReport) {
        hasReport = true;
        anchorAt(sentCount, server);
        correction = quat();
        return std::nullopt;
    }
    Orientation before = shown(now);
    Orientation predictedBefore = predicted();
    std::optional<uint64_t> match = placeOf(server);
    std::optional<double> roundTrip;
    // Only a turn that moved the view can be told from the turns around it.
    bool newTurn = match && *match > anchorNumber;
    if (newTurn && angleBetween(turn(*match).after.direction, anchor.direction) > noticeable) {
        roundTrip = now - turn(*match).sentAt;
    }
    // A view of the server's own making has made every turn sent so far, as far as we know; and
    // a turn that should have come back long ago was lost on the way.
    anchorAt(std::max(match.value_or(sentCount), lastSentBy(settledBefore)), server);
    if (!same(predicted(), predictedBefore)) {
        keepShownAt(before, now);
    }
    return roundTrip;
}

std::optional<uint64_t> LocalView::placeOf(const Orientation& server) const {
    uint64_t best = sentCount;
    float bestAngle = angleBetween(server.direction, predicted().direction);
    // Newest first, so that of equally good places the one with the fewest turns still to come
    // wins.
    for (uint64_t number = sentCount; number >= oldestKept() && number > 0; --number) {
        float angle = angleBetween(server.direction, turn(number).after.direction);
        if (angle < bestAngle) {
            best = number;
            bestAngle = angle;
        }
    }
    float anchorAngle = angleBetween(server.direction, anchor.direction);
    if (anchorAngle < bestAngle) {
        best = anchorNumber;
        bestAngle = anchorAngle;
    }
    if (!(bestAngle <= matchAngle)) {
        return std::nullopt;
    }
    return best;
}

uint64_t LocalView::lastSentBy(double time) const {
    uint64_t number = sentCount;
    while (number >= oldestKept() && number > 0 && turn(number).sentAt > time) {
        --number;
    }
    return number;
}

void LocalView::anchorAt(uint64_t number, const Orientation& server) {
    anchorNumber = number;
    anchor = server;
    Orientation view = server;
    for (uint64_t later = number + 1; later <= sentCount; ++later) {
        Turn& next = turn(later);
        view = turnedBy(view, next.dx, next.dy, worldUp, 1);
        next.after = view;
    }
}

// The difference between what was shown and what is predicted now fades out, unless it is too
// large to be anything but the server's own doing.
void LocalView::keepShownAt(const Orientation& before, double now) {
    Orientation after = predicted();
    if (angleBetween(before.direction, after.direction) > snapAngle) {
        correction = quat();
        return;
    }
    correction = arcBetween(after.direction, before.direction);
    correctionStart = now;
}

Orientation LocalView::shown(double now) const {
    Orientation view = predicted();
    double left = 1 - (now - correctionStart) / fadeMillis;
    if (isIdentity(correction) || !(left > 0)) {
        return view;
    }
    return rotated(view, nlerp(quat(), correction, float(std::min(left, 1.0))));
}
