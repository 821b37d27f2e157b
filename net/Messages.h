#ifndef CUBEFRAY_MESSAGES_H
#define CUBEFRAY_MESSAGES_H

#include "GameRules.h"
#include "Quaternion.h"
#include "Vector.h"

#include <cstddef>
#include <cstdint>

// Every message is one datagram holding the bytes of its record: little-endian, floats as IEEE
// single precision, padding sent as zero. The records below are that layout; Codec builds and
// reads them.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "wire records are little-endian");

const int maxDatagramSize = 512;
const int nameFieldSize = 12;
const int talkTextSize = 30;
// Letters a chat line may hold; the text field keeps one byte for the terminating zero.
const int maxTalkLength = 29;
const int maxPlayersInUpdate = 4;

// The sender of chat lines that come from the server itself.
const char serverSenderID = 's';

namespace MessageType {
const char join = 'j';
const char key = 'k';
const char mouse = 'm';
const char talk = 't';
const char keepAlive = 'x';
const char leave = 'd';
const char update = 'u';
const char yourID = 's';
const char serverFull = 'f';
} // namespace MessageType

struct JoinMessage {
    char type = MessageType::join;
    char name[nameFieldSize] = {};
};

struct KeyMessage {
    char type = MessageType::key;
    char playerID = 'z';
    char key = 0;
    char pressed = 0;
};

struct MouseMessage {
    char type = MessageType::mouse;
    char playerID = 'z';
    char padding[2] = {};
    int32_t dx = 0;
    int32_t dy = 0;
};

struct TalkMessage {
    char type = MessageType::talk;
    char playerID = 'z';
    char text[talkTextSize] = {};
};

struct PlayerUpdate {
    quat rotation;
    vec3 position;
    vec3 direction;
    char name[nameFieldSize] = {};
    int32_t points = 0;
    char shooting = 0;
    char playerID = 0;
    char padding[2] = {};
};

struct UpdateMessage {
    char type = MessageType::update;
    char padding[3] = {};
    PlayerUpdate players[maxPlayersInUpdate];
};

// The keep-alive and the leave: a type code and the sender's id.
const size_t shortMessageSize = 2;

static_assert(sizeof(JoinMessage) == 13, "join layout");
static_assert(offsetof(JoinMessage, name) == 1, "join layout");
static_assert(sizeof(KeyMessage) == 4, "key layout");
static_assert(offsetof(KeyMessage, pressed) == 3, "key layout");
static_assert(sizeof(MouseMessage) == 12, "mouse layout");
static_assert(offsetof(MouseMessage, dx) == 4 && offsetof(MouseMessage, dy) == 8, "mouse layout");
static_assert(sizeof(TalkMessage) == 32, "talk layout");
static_assert(offsetof(TalkMessage, text) == 2, "talk layout");
static_assert(sizeof(PlayerUpdate) == 60, "player update layout");
static_assert(offsetof(PlayerUpdate, position) == 16, "player update layout");
static_assert(offsetof(PlayerUpdate, direction) == 28, "player update layout");
static_assert(offsetof(PlayerUpdate, name) == 40, "player update layout");
static_assert(offsetof(PlayerUpdate, points) == 52, "player update layout");
static_assert(offsetof(PlayerUpdate, shooting) == 56, "player update layout");
static_assert(offsetof(PlayerUpdate, playerID) == 57, "player update layout");
static_assert(sizeof(UpdateMessage) == 244, "update layout");
static_assert(offsetof(UpdateMessage, players) == 4, "update layout");

#endif
