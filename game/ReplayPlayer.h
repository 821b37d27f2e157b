#ifndef CUBEFRAY_REPLAYPLAYER_H
#define CUBEFRAY_REPLAYPLAYER_H

#include "Game.h"
#include "ReplayFile.h"

#include <memory>
#include <optional>
#include <string>

// A camera that flies where the keys and the mouse take it, to watch a replay from anywhere.
struct FreeCamera {
    static constexpr float speed = 12;

    vec3 eye;
    float heading = 0;
    float pitch = -0.3f;

    vec3 direction() const;
    // Forward and sideways by whole steps of speed, as the keys held say.
    void move(int forward, int right);
    // Mouse motion in pixels.
    void look(int dx, int dy);
};

// Plays a replay through the game state a live match uses, at the recorded times (or faster,
// slower, paused), with nothing sent anywhere. Every update of the server holds the whole state
// of all players, so any moment is reached by starting from the update nearest to it: particles
// and chat begin anew from there. The picture is seen from the eye of a player of the roster, or
// from a free camera.
class ReplayPlayer {
  public:
    static constexpr double jumpMillis = 5000;
    static constexpr float minSpeed = 0.25f;
    static constexpr float maxSpeed = 4;

    ReplayPlayer(Replay replay, const MapManager& map, double now);

    // The world's clock has come to now: the records up to the replay's time are played.
    void advance(double now);
    void togglePause() { paused = !paused; }
    // By millis of the replay, back or forward.
    void jump(double millis);
    void faster();
    void slower();
    // The eye of the index-th player of the roster (from 0); nothing when there is none.
    void follow(size_t index);
    void toggleFreeCamera();

    Game& game() { return *current; }
    const Game& game() const { return *current; }
    double position() const { return time; }
    double length() const;
    float pace() const { return speed; }
    bool isPaused() const { return paused; }
    bool atEnd() const { return time >= length(); }
    // The free camera, while it is in use.
    FreeCamera* freeCamera() { return flying ? &camera : nullptr; }
    // The name of the player whose eye is followed ("nobody yet" before the player appears);
    // empty for the free camera.
    std::string_view followedName() const;

  private:
    void restartAt(double target);
    size_t nearestUpdate(double target) const;
    void playUntil(double target);

    Replay replay;
    const MapManager& map;
    std::unique_ptr<Game> current;
    size_t next = 0;
    double time = 0;
    double lastNow = 0;
    float speed = 1;
    bool paused = false;
    char followed = 0;
    bool flying = false;
    FreeCamera camera;
};

#endif
