#ifndef CUBEFRAY_PLAYER_H
#define CUBEFRAY_PLAYER_H

#include "Box.h"
#include "GameRules.h"
#include "Matrix.h"
#include "Quaternion.h"
#include "Vector.h"

#include <cstdint>
#include <string>

class MapManager;

// Where a player looks, and the rotation its gun is drawn with: what mouse motion changes.
struct Orientation {
    vec3 direction;
    quat rotation;
};

// The orientation after mouse motion of dx, dy pixels, as the server turns every player: 1/360
// radian a pixel times scale, first up or down about the horizontal axis at right angles to the
// view (refused where the view would come too near straight up or down), then about up.
Orientation turnedBy(Orientation orientation, int dx, int dy, vec3 up, float scale);

// What the server reports of a player in every update.
struct PlayerState {
    quat rotation;
    vec3 position;
    vec3 direction;
    int32_t points = 0;
    bool shooting = false;
};

// One participant as the client knows it. The server is authoritative: each update overwrites
// rotation, position, direction, points and the shooting flag. The motion and view operations
// are the model the game server applies to the input it receives.
class Player {
  public:
    // Every field determinate: no id ('0'), a placeholder name, all vectors zero.
    Player();
    Player(vec3 position, vec3 look, vec3 up);

    char getPlayerID() const { return playerID; }
    void setPlayerID(char id) { playerID = id; }
    const std::string& getPlayerName() const { return playerName; }
    void setPlayerName(const std::string& name) { playerName = name; }
    Box getBox() const { return box; }
    vec3 getPosition() const { return position; }
    vec3 getDirection() const { return direction; }
    vec3 getStrafe() const { return strafeDirection; }
    vec3 getUp() const { return up; }
    vec3 getLook() const { return look; }
    quat getRotation() const { return rotation; }
    void setRotation(quat q) { rotation = q; }
    bool isShooting() const { return shooting; }
    void setIsInCrosshairs(bool inCrosshairs) { isInCrosshairs = inCrosshairs; }
    bool playerIsInCrosshairs() const { return isInCrosshairs; }
    int getPoints() const { return points; }
    int64_t getLastUpdateTime() const { return lastUpdateTime; }
    bool wasUpdatedSinceCheck() const { return updatedSinceCheck; }
    void setUpdatedSinceCheck(bool updated) { updatedSinceCheck = updated; }
    // A participant whose x lies below 0 is waiting to respawn and is not drawn or aimed from.
    bool awaitingRespawn() const { return position.x < 0; }
    void update() {}

    void updateDirAndStrafe();
    // Where the line of sight first meets a solid cube, or (-1, -1, -1).
    vec3 shoot(const MapManager* map) const;
    void move(float amount);
    // A positive amount moves towards the strafe direction, the player's left.
    void strafe(float amount);
    void moveAll(vec3 dir, float amount);
    void jump();
    void rotateViewAround(float angle, vec3 axis, bool localFirst);
    Orientation getOrientation() const { return {direction, rotation}; }
    // Looks along the orientation's direction, with its rotation.
    void setOrientation(const Orientation& orientation);
    // Mouse motion in pixels: 1/360 radian a pixel, halved while zoomed.
    void rotateView(int dx, int dy);
    bool isZoomed() const { return zoomed || zoomingIn || zoomingOut; }
    float getFOV() const;
    // Rewrites look as position + direction, then builds the camera matrix of the eye.
    mat4 getViewMatrix();
    mat4 gunModelMatrix() const;
    void toConsole() const;
    // Takes over what the server reported at time now, and re-centres the body on the eye.
    void applyState(const PlayerState& state, double now);

  private:
    void moveBy(vec3 delta);

    char playerID = unknownPlayerID;
    std::string playerName = "no_name_man";
    Box box;
    vec3 position;
    vec3 look;
    vec3 up;
    vec3 direction;
    vec3 strafeDirection;
    quat rotation;
    float moveSpeed = walkSpeed;
    float strafeSpeed = walkSpeed;
    float verticalSpeed = 0.0f;
    bool jumping = false;
    bool shooting = false;
    bool zoomed = false;
    bool zoomingIn = false;
    bool zoomingOut = false;
    float zoomProgress = 0.0f;
    bool isInCrosshairs = false;
    int32_t points = 0;
    int64_t lastUpdateTime = 0;
    bool updatedSinceCheck = false;
};

#endif
