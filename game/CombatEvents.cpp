#include "CombatEvents.h"

#include <algorithm>

namespace {

size_t slotOf(char id) {
    return static_cast<unsigned char>(id);
}

} // namespace

void CombatEvents::Name::assign(std::string_view name) {
    length = std::min(name.size(), sizeof(text) - 1);
    std::copy_n(name.data(), length, text);
    text[length] = '\0';
}

void CombatEvents::shotHit(const Player& shooter, const Player& target, char ownID, double now) {
    LastHit& hit = lastHits[slotOf(target.getPlayerID())];
    hit.shooter.assign(shooter.getPlayerName());
    hit.at = now;
    if (target.getPlayerID() == ownID) {
        hitTakenAt = now;
        shooterPosition = shooter.getPosition();
    }
    if (shooter.getPlayerID() == ownID) {
        hitLandedAt = now;
    }
}

void CombatEvents::playerDied(const Player& victim, char ownID, double now) {
    const LastHit& hit = lastHits[slotOf(victim.getPlayerID())];
    if (now - hit.at > killWindow) {
        return;
    }
    if (victim.getPlayerID() == ownID) {
        killer = hit.shooter;
    }
    // Newest first: the others move down and the oldest falls off.
    std::move_backward(feed.begin(), feed.end() - 1, feed.end());
    feed[0].killer = hit.shooter;
    feed[0].victim.assign(victim.getPlayerName());
    feed[0].at = now;
    feedCount = std::min(feedCount + 1, maxFeedLines);
}

size_t CombatEvents::feedLineCount(double now) const {
    size_t fresh = 0;
    while (fresh < feedCount && now - feed[fresh].at < feedLifetime) {
        ++fresh;
    }
    return fresh;
}

const CombatEvents::FeedLine& CombatEvents::feedLine(size_t newestFirst) const {
    return feed[std::min(newestFirst, maxFeedLines - 1)];
}
