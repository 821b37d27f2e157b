#include "Bot.h"

#include "Collisions.h"
#include "MathOps.h"

#include <algorithm>
#include <cmath>

namespace {

// Single shots, two to four a second.
const int minTriggerTicks = 15;
const int maxTriggerTicks = 30;
const float pitchErrorShare = 0.75f;
// Fire only once the view is this close to the chosen aim.
const float fireTolerance = 0.05f;
// Radians a tick: calm while walking.
const float walkTurnRate = 0.06f;
// Walk only when facing the goal this closely, so turns happen on the spot rather than in arcs.
const float walkCone = 0.6f;
// Views steeper than this are refused by the player model.
const float maxElevation = 1.3f;
const float waypointReach = 40;
const float minWaypointDistance = 128;
const int waypointTries = 12;
// Less progress than this in a tick of walking counts as being held up.
const float minProgress = 0.5f;
// Ticks held up before the goal is given up for another.
const int patienceTicks = 30;
const int minStrafeTicks = 30;
const int maxStrafeTicks = 90;
// How far ahead a step is looked for.
const float stepProbe = 16;

float heading(vec3 direction) {
    return std::atan2(-direction.x, -direction.z);
}

float elevation(vec3 direction) {
    return std::asin(clamp(direction.y, -1.0f, 1.0f));
}

float wrapAngle(float angle) {
    return std::remainder(angle, float(2 * pi));
}

float horizontalDistance(vec3 a, vec3 b) {
    return distanceVec3(vec3(a.x, 0, a.z), vec3(b.x, 0, b.z));
}

int pixels(float radians) {
    return int(std::lround(radians * 360));
}

// Mouse motion that turns the view towards the wanted heading and elevation by at most maxTurn
// radians on each axis. rotateView turns left for negative dx and down for positive dy.
void turnTowards(BotControls& controls, vec3 direction, float wantedHeading, float wantedElevation,
                 float maxTurn) {
    float yaw = clamp(wrapAngle(wantedHeading - heading(direction)), -maxTurn, maxTurn);
    float pitch = clamp(clamp(wantedElevation, -maxElevation, maxElevation) - elevation(direction),
                        -maxTurn, maxTurn);
    controls.dx = -pixels(yaw);
    controls.dy = -pixels(pitch);
}

// A wall in front whose top the body would clear one cell higher up.
bool stepAhead(const Player& body, const Arena& arena) {
    vec3 forward = body.getDirection();
    forward.y = 0;
    vec3 ahead = normalized(forward) * stepProbe;
    Box front = body.getBox();
    front.move(ahead, 1.0f);
    Box above = front;
    above.move(vec3(0, arena.map().getCubeSize() + 2, 0), 1.0f);
    return !arena.fits(front) && arena.fits(above);
}

float degrees(float angle) {
    return float(angle * pi / 180);
}

} // namespace

// Tuned with bot_skill_bench against a scripted newcomer: easy wins about one fight in four,
// normal about half, hard nearly two in three. In order: the reaction's ticks (fewest, most), the
// aim error at first sight and once settled, the ticks to settle, the turn rate in radians a tick
// and the range of sight.
BotSkill BotSkill::of(SkillLevel level) {
    switch (level) {
    case SkillLevel::easy:
        return {21, 36, degrees(6), degrees(3), 180, 0.07f, 1500};
    case SkillLevel::hard:
        return {6, 12, degrees(2.5f), degrees(0.75f), 45, 0.2f, 3000};
    default:
        return {12, 20, degrees(3.5f), degrees(1.5f), 90, 0.12f, 2400};
    }
}

Bot::Bot(uint32_t seed, const BotSkill& skill) : skill(skill), random(seed) {}

int Bot::between(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

float Bot::spread(float halfWidth) {
    return std::uniform_real_distribution<float>(-halfWidth, halfWidth)(random);
}

BotControls Bot::think(const ServerPlayer& self, const std::vector<Sighting>& players,
                       const Arena& arena) {
    if (!self.isAlive()) {
        hasWaypoint = false;
        targetID = 0;
        return BotControls();
    }
    trackProgress(self);
    const Sighting* target = nearestVisible(self, players, arena);
    BotControls controls = target ? engage(self, *target) : wander(self, arena);
    walkedLastTick = controls.held[walkForward];
    return controls;
}

const Sighting* Bot::nearestVisible(const ServerPlayer& self, const std::vector<Sighting>& players,
                                    const Arena& arena) const {
    vec3 eye = self.body.getPosition();
    const Sighting* nearest = nullptr;
    for (const Sighting& other : players) {
        if (other.id == self.id()) {
            continue;
        }
        float distance = distanceVec3(eye, other.eye);
        bool nearer = !nearest || distance < distanceVec3(eye, nearest->eye);
        if (nearer && distance <= skill.sightRange && arena.canSee(eye, other.eye)) {
            nearest = &other;
        }
    }
    return nearest;
}

BotControls Bot::engage(const ServerPlayer& self, const Sighting& target) {
    if (target.id != targetID) {
        targetID = target.id;
        trackedTicks = 0;
        reactionDelay = between(skill.minReactionTicks, skill.maxReactionTicks);
        drawAimError();
    }
    ++trackedTicks;
    vec3 direction = self.body.getDirection();
    vec3 toTarget = normalized(target.eye - self.body.getPosition());
    float wantedHeading = heading(toTarget) + yawError;
    float wantedElevation = elevation(toTarget) + pitchError;
    BotControls controls;
    turnTowards(controls, direction, wantedHeading, wantedElevation, skill.turnRate);

    if (--strafeTicks <= 0) {
        chooseStrafe();
    }
    controls.held[strafeLeft] = strafeSide > 0;
    controls.held[strafeRight] = strafeSide < 0;

    bool onAim = std::fabs(wrapAngle(wantedHeading - heading(direction))) < fireTolerance &&
                 std::fabs(wantedElevation - elevation(direction)) < fireTolerance;
    if (reactionDelay > 0) {
        --reactionDelay;
    } else if (triggerDelay > 0) {
        --triggerDelay;
    } else if (onAim) {
        controls.held[fire] = true;
        triggerDelay = between(minTriggerTicks, maxTriggerTicks);
        drawAimError();
    }
    return controls;
}

BotControls Bot::wander(const ServerPlayer& self, const Arena& arena) {
    targetID = 0;
    vec3 position = self.body.getPosition();
    bool arrived = hasWaypoint && horizontalDistance(position, waypoint) < waypointReach;
    if (!hasWaypoint || arrived || stuckTicks > patienceTicks) {
        pickWaypoint(self, arena);
    }
    vec3 direction = self.body.getDirection();
    float wantedHeading = heading(waypoint - position);
    BotControls controls;
    turnTowards(controls, direction, wantedHeading, 0, walkTurnRate);
    controls.held[walkForward] =
        std::fabs(wrapAngle(wantedHeading - heading(direction))) < walkCone;
    controls.held[jump] = stuckTicks > 0 && stepAhead(self.body, arena);
    return controls;
}

void Bot::trackProgress(const ServerPlayer& self) {
    vec3 position = self.body.getPosition();
    bool heldUp = walkedLastTick && horizontalDistance(position, lastPosition) < minProgress;
    stuckTicks = heldUp ? stuckTicks + 1 : 0;
    lastPosition = position;
}

// A random spawn point in plain view and some way off; failing that, any spawn point.
void Bot::pickWaypoint(const ServerPlayer& self, const Arena& arena) {
    const std::vector<vec3>& spots = arena.spawnPoints();
    vec3 eye = self.body.getPosition();
    for (int attempt = 0; attempt < waypointTries; ++attempt) {
        waypoint = spots[size_t(between(0, int(spots.size()) - 1))];
        if (horizontalDistance(eye, waypoint) >= minWaypointDistance &&
            arena.canSee(eye, waypoint)) {
            break;
        }
    }
    hasWaypoint = true;
    stuckTicks = 0;
}

void Bot::chooseStrafe() {
    strafeSide = between(-1, 1);
    strafeTicks = between(minStrafeTicks, maxStrafeTicks);
}

void Bot::drawAimError() {
    float settled = std::min(1.0f, float(trackedTicks) / float(std::max(skill.settleTicks, 1)));
    float widest = skill.firstAimError + (skill.settledAimError - skill.firstAimError) * settled;
    yawError = spread(widest);
    pitchError = spread(widest * pitchErrorShare);
}
