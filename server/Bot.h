#ifndef CUBEFRAY_SERVER_BOT_H
#define CUBEFRAY_SERVER_BOT_H

#include "Arena.h"
#include "Codec.h"
#include "ServerPlayer.h"
#include "SkillLevel.h"

#include <array>
#include <cstdint>
#include <random>
#include <vector>

// A living player, as a bot may notice it: humans and the other bots alike.
struct Sighting {
    char id = 0;
    vec3 eye;
};

// What a bot does in one tick, in the terms a client uses: held controls and mouse pixels.
struct BotControls {
    std::array<bool, controlCount> held{};
    int dx = 0;
    int dy = 0;
};

// What sets a bot of one skill apart from one of another.
struct BotSkill {
    // Ticks from the first sight of a target to the first shot, drawn between the two.
    int minReactionTicks = 0;
    int maxReactionTicks = 0;
    // The widest sideways error of a shot, in radians: at a target just chosen, and at one tracked
    // for settleTicks or longer; it narrows evenly between. Errors in height are three quarters
    // of these.
    float firstAimError = 0;
    float settledAimError = 0;
    int settleTicks = 1;
    // Radians a tick the view turns at most on a target.
    float turnRate = 0;
    // Players farther away than this go unseen.
    float sightRange = 0;

    static BotSkill of(SkillLevel level);
};

// The mind of a server-side player. With nobody in sight it walks from spawn point to spawn
// point, jumping onto steps and choosing another goal when a wall holds it up. Another player in
// sight (nothing solid between the eyes) becomes its target: after a reaction delay it turns on it
// at a limited rate and fires single shots at a human pace, each aimed a few degrees off at random,
// fewer the longer it tracks the same target. How quick, how sure and how far-sighted it is are
// its skill's.
class Bot {
  public:
    Bot(uint32_t seed, const BotSkill& skill);

    BotControls think(const ServerPlayer& self, const std::vector<Sighting>& players,
                      const Arena& arena);

  private:
    const Sighting* nearestVisible(const ServerPlayer& self, const std::vector<Sighting>& players,
                                   const Arena& arena) const;
    BotControls engage(const ServerPlayer& self, const Sighting& target);
    BotControls wander(const ServerPlayer& self, const Arena& arena);
    void trackProgress(const ServerPlayer& self);
    void pickWaypoint(const ServerPlayer& self, const Arena& arena);
    void chooseStrafe();
    void drawAimError();
    int between(int low, int high);
    float spread(float halfWidth);

    BotSkill skill;
    std::mt19937 random;
    bool hasWaypoint = false;
    vec3 waypoint;
    vec3 lastPosition;
    bool walkedLastTick = false;
    int stuckTicks = 0;
    char targetID = 0;
    int reactionDelay = 0;
    int trackedTicks = 0;
    int triggerDelay = 0;
    float yawError = 0;
    float pitchError = 0;
    int strafeSide = 0;
    int strafeTicks = 0;
};

#endif
