#ifndef CUBEFRAY_PLAYERTRACK_H
#define CUBEFRAY_PLAYERTRACK_H

#include "Player.h"

#include <array>
#include <cstddef>

// Where a player stood and how it looked at one moment.
struct Pose {
    vec3 position;
    Orientation orientation;
};

// The latest reports of one other player, for drawing it at an even pace however unevenly the
// datagrams come: between the two reports around the time asked for, beyond the newest for a
// little while when reports stop, then held. A jump from the map to the respawn point or back
// is shown as a jump.
class PlayerTrack {
  public:
    static constexpr size_t capacity = 8;
    // Farther than this between two reports is a jump, never a walk.
    static constexpr float jumpDistance = 200;

    void clear() { count = 0; }
    void add(double at, const Pose& pose);
    bool empty() const { return count == 0; }
    // The pose at the time, going at most maxAhead milliseconds beyond the newest report.
    Pose at(double time, double maxAhead) const;

  private:
    struct Report {
        double at = 0;
        Pose pose;
    };

    const Report& newest(size_t back = 0) const { return reports[(count - 1 - back) % capacity]; }
    Pose between(const Report& from, const Report& to, double time, double maxAhead) const;

    std::array<Report, capacity> reports{};
    size_t count = 0;
};

#endif
