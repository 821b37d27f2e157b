#include "ReplayPlayer.h"

#include "MathOps.h"

#include <algorithm>
#include <cmath>

namespace {

// A replay plays from no address: only what it holds reaches its game.
const PeerAddress recorded{0, 0};
const float pitchLimit = 1.4f;

} // namespace

vec3 FreeCamera::direction() const {
    return vec3(-std::sin(heading) * std::cos(pitch), std::sin(pitch),
                -std::cos(heading) * std::cos(pitch));
}

void FreeCamera::move(int forward, int right) {
    vec3 ahead = direction();
    vec3 side = normalized(ahead.cross(vec3(0, 1, 0)));
    eye += ahead * (float(forward) * speed) + side * (float(right) * speed);
}

// Moving the mouse to the right turns to the right, as in the game.
void FreeCamera::look(int dx, int dy) {
    heading -= float(dx) / 360;
    pitch = std::clamp(pitch - float(dy) / 360, -pitchLimit, pitchLimit);
}

ReplayPlayer::ReplayPlayer(Replay played, const MapManager& map, double now)
    : replay(std::move(played)), map(map), lastNow(now), followed(char(replay.header.playerID)) {
    camera.eye = vec3(map.getWidth() / 2, 500, map.getDepth() / 2);
    restartAt(0);
}

double ReplayPlayer::length() const {
    return replay.records.empty() ? 0 : double(replay.records.back().millis);
}

// The game anew from the update nearest the target, before or after it: the state to go on from.
void ReplayPlayer::restartAt(double target) {
    std::unique_ptr<Game> fresh = std::make_unique<Game>();
    if (current) {
        fresh->menu = current->menu;
        fresh->controlsPage = current->controlsPage;
        fresh->settings = current->settings;
    }
    current = std::move(fresh);
    current->mapManager = map;
    current->live = false;
    current->start(replay.header.server, 0, recorded, target);
    current->clientPlayerID = followed;
    next = nearestUpdate(target);
    time = target;
    playUntil(
        std::max(target, double(next < replay.records.size() ? replay.records[next].millis : 0)));
}

size_t ReplayPlayer::nearestUpdate(double target) const {
    size_t nearest = 0;
    double distance = INFINITY;
    for (size_t i = 0; i < replay.records.size(); ++i) {
        double away = std::fabs(double(replay.records[i].millis) - target);
        bool update =
            parseServerMessage(replay.records[i].datagram).kind == ServerMessage::Kind::update;
        if (update && away < distance) {
            nearest = i;
            distance = away;
        }
    }
    return nearest;
}

void ReplayPlayer::playUntil(double target) {
    while (next < replay.records.size() && replay.records[next].millis <= target) {
        const ReplayRecord& record = replay.records[next++];
        current->receive(record.datagram, recorded, double(record.millis));
    }
    // Seen from the free camera, every player is someone else.
    current->clientPlayerID = flying ? 0 : followed;
    current->update(target);
    current->clearOutgoing();
}

void ReplayPlayer::advance(double now) {
    double passed = std::max(0.0, now - lastNow);
    lastNow = now;
    if (paused) {
        return;
    }
    time = std::min(length(), time + passed * double(speed));
    playUntil(time);
}

void ReplayPlayer::jump(double millis) {
    restartAt(std::clamp(time + millis, 0.0, length()));
}

void ReplayPlayer::faster() {
    speed = std::min(maxSpeed, speed * 2);
}

void ReplayPlayer::slower() {
    speed = std::max(minSpeed, speed / 2);
}

void ReplayPlayer::follow(size_t index) {
    if (index < current->players.size()) {
        followed = current->players[index].getPlayerID();
        flying = false;
        current->clientPlayerID = followed;
    }
}

void ReplayPlayer::toggleFreeCamera() {
    flying = !flying;
    current->clientPlayerID = flying ? 0 : followed;
}

std::string_view ReplayPlayer::followedName() const {
    if (flying) {
        return {};
    }
    for (const Player& player : current->players) {
        if (player.getPlayerID() == followed) {
            return player.getPlayerName();
        }
    }
    return "nobody yet";
}
