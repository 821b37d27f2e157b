#ifndef CUBEFRAY_COMBATEVENTS_H
#define CUBEFRAY_COMBATEVENTS_H

#include "Player.h"
#include "Vector.h"

#include <array>
#include <cstddef>
#include <string_view>

// What the client infers from the server's updates about hits and kills, for the player to see:
// the hits the own player takes and lands, who killed whom, and who killed the own player. The
// server sends no such events; a shot is taken to hit the body its line of fire crosses first,
// as the server decides, and a player who goes over to awaiting respawn was killed by the last
// player whose shot crossed it.
class CombatEvents {
  public:
    static constexpr size_t maxFeedLines = 5;
    // How long each thing stays on screen, in milliseconds.
    static constexpr double feedLifetime = 5000;
    static constexpr double hitFlashLifetime = 500;
    static constexpr double hitMarkerLifetime = 300;
    // A death counts as a kill by the last shooter to hit within this time.
    static constexpr double killWindow = 1500;

    // A name as the wire carries it: at most 12 characters, kept without the heap.
    struct Name {
        char text[13] = {};
        size_t length = 0;

        void assign(std::string_view name);
        std::string_view view() const { return {text, length}; }
    };

    struct FeedLine {
        Name killer;
        Name victim;
        double at = 0;
    };

    // The shooter's line of fire crossed the target's body first; ownID is the client's player.
    void shotHit(const Player& shooter, const Player& target, char ownID, double now);
    // The player has just gone over to awaiting respawn.
    void playerDied(const Player& victim, char ownID, double now);

    // Milliseconds since the own player was last hit, and where that shot came from.
    double sinceHitTaken(double now) const { return now - hitTakenAt; }
    vec3 lastShooterPosition() const { return shooterPosition; }
    double sinceHitLanded(double now) const { return now - hitLandedAt; }
    // The kill feed, newest first; lines older than feedLifetime are gone.
    size_t feedLineCount(double now) const;
    const FeedLine& feedLine(size_t newestFirst) const;
    // Who killed the own player last; empty when unknown.
    std::string_view killedBy() const { return killer.view(); }

  private:
    struct LastHit {
        Name shooter;
        double at = -1e30;
    };

    double hitTakenAt = -1e30;
    double hitLandedAt = -1e30;
    vec3 shooterPosition;
    Name killer;
    // By the target's id byte: any byte may come from the server.
    std::array<LastHit, 256> lastHits{};
    std::array<FeedLine, maxFeedLines> feed{};
    size_t feedCount = 0;
};

#endif
