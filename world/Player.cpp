#include "Player.h"

#include "MapManager.h"
#include "MathOps.h"
#include "Timing.h"

#include <cmath>
#include <iostream>

namespace {

const float normalFOV = 60;
const float zoomedFOV = 15;
// A view closer than this to straight up or down (in x and z) would make the strafe axis vanish.
const double pitchLimit = 0.1;

// The orientation turned by angle about axis, or as it was when the view would come too near
// straight up or down.
Orientation turnedAbout(Orientation orientation, float angle, vec3 axis, bool localFirst) {
    quat q;
    q.fromAxisAngle(axis, angle);
    vec3 newDirection = q * orientation.direction;
    bool nearlyVertical = std::fabs(double(newDirection.x)) < pitchLimit &&
                          std::fabs(double(newDirection.z)) < pitchLimit;
    if (nearlyVertical) {
        return orientation;
    }
    quat rotation = localFirst ? orientation.rotation * q : q * orientation.rotation;
    return {newDirection, rotation};
}

} // namespace

Orientation turnedBy(Orientation orientation, int dx, int dy, vec3 up, float scale) {
    float pitch = static_cast<float>(dy / 360.0) * scale;
    float yaw = static_cast<float>(-dx / 360.0) * scale;
    vec3 strafe = normalized(up.cross(orientation.direction));
    orientation = turnedAbout(orientation, pitch, strafe, false);
    return turnedAbout(orientation, yaw, up, false);
}

Player::Player() : lastUpdateTime(getCurrentMillisecond()) {}

Player::Player(vec3 position, vec3 look, vec3 up)
    : playerName(), box(position, bodySize), position(position), look(look), up(up),
      lastUpdateTime(getCurrentMillisecond()) {
    updateDirAndStrafe();
}

void Player::updateDirAndStrafe() {
    direction = normalized(look - position);
    strafeDirection = normalized(up.cross(direction));
}

vec3 Player::shoot(const MapManager* map) const {
    return map->pointOfIntersection(position, direction);
}

// The box is placed from the position rather than moved beside it: moving both by the same
// steps rounds them apart, and over an hour the body would drift off the eye.
void Player::moveBy(vec3 delta) {
    position += delta;
    look += delta;
    box.moveTo(position);
}

void Player::move(float amount) {
    vec3 delta = direction * (amount * moveSpeed);
    delta.y = 0;
    moveBy(delta);
}

void Player::strafe(float amount) {
    vec3 delta = strafeDirection * (amount * strafeSpeed);
    delta.y = 0;
    moveBy(delta);
}

void Player::moveAll(vec3 dir, float amount) {
    moveBy(dir * amount);
}

void Player::jump() {
    jumping = true;
    verticalSpeed = jumpSpeed;
}

void Player::rotateViewAround(float angle, vec3 axis, bool localFirst) {
    setOrientation(turnedAbout(getOrientation(), angle, axis, localFirst));
}

void Player::setOrientation(const Orientation& orientation) {
    direction = orientation.direction;
    look = position + direction;
    rotation = orientation.rotation;
}

void Player::rotateView(int dx, int dy) {
    updateDirAndStrafe();
    setOrientation(turnedBy(getOrientation(), dx, dy, up, isZoomed() ? 0.5f : 1));
}

float Player::getFOV() const {
    if (zoomingIn) {
        return lerp(normalFOV, zoomedFOV, zoomProgress);
    }
    if (zoomingOut) {
        return lerp(zoomedFOV, normalFOV, zoomProgress);
    }
    if (zoomed) {
        return zoomedFOV;
    }
    return normalFOV;
}

mat4 Player::getViewMatrix() {
    look = position + direction;
    return lookAt(position, look, up);
}

mat4 Player::gunModelMatrix() const {
    return translate(position) * rotation.toMatrix();
}

void Player::toConsole() const {
    std::cout << "Player Infomation\n";
    std::cout << "pos = vec3(" << position << ");\n";
    std::cout << "look = vec3(" << look << ");\n";
    std::cout << "up = vec3(" << up << ");\n";
    std::cout << "rotation = ";
    rotation.display();
    std::cout << ";\n";
}

void Player::applyState(const PlayerState& state, double now) {
    rotation = state.rotation;
    position = state.position;
    direction = state.direction;
    shooting = state.shooting;
    points = state.points;
    lastUpdateTime = static_cast<int64_t>(now);
    updatedSinceCheck = true;
    box.moveTo(position);
}
