#include "ClientMessage.h"

#include "MathOps.h"
#include "Messages.h"

#include <cstring>

namespace {

const size_t shortMessageSize = 2;
const size_t talkHeaderSize = 2;
const size_t minTalkSize = talkHeaderSize + 1;

// Control characters and bytes beyond ASCII would reach server logs and every client's chat.
std::string printable(std::string text) {
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return text;
}

int32_t int32At(const std::string& bytes, size_t offset) {
    int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

std::optional<ClientMessage> parseJoin(const std::string& bytes) {
    if (bytes.size() != sizeof(JoinMessage)) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = MessageType::join;
    message.text =
        printable(textOfField(bytes.data() + offsetof(JoinMessage, name), nameFieldSize));
    if (message.text.empty()) {
        message.text = defaultPlayerName;
    }
    return message;
}

std::optional<ClientMessage> parseKey(const std::string& bytes) {
    if (bytes.size() != sizeof(KeyMessage)) {
        return std::nullopt;
    }
    int control = static_cast<unsigned char>(bytes[offsetof(KeyMessage, key)]);
    int pressed = static_cast<unsigned char>(bytes[offsetof(KeyMessage, pressed)]);
    if (control >= controlCount || pressed > 1) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = MessageType::key;
    message.playerID = bytes[offsetof(KeyMessage, playerID)];
    message.control = control;
    message.pressed = pressed == 1;
    return message;
}

std::optional<ClientMessage> parseMouse(const std::string& bytes) {
    if (bytes.size() != sizeof(MouseMessage)) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = MessageType::mouse;
    message.playerID = bytes[offsetof(MouseMessage, playerID)];
    message.dx = clamp(int32At(bytes, offsetof(MouseMessage, dx)), -maxMouseDelta, maxMouseDelta);
    message.dy = clamp(int32At(bytes, offsetof(MouseMessage, dy)), -maxMouseDelta, maxMouseDelta);
    return message;
}

std::optional<ClientMessage> parseTalk(const std::string& bytes) {
    if (bytes.size() < minTalkSize || bytes.size() > size_t(maxDatagramSize)) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = MessageType::talk;
    message.playerID = bytes[offsetof(TalkMessage, playerID)];
    std::string text = textOfField(bytes.data() + talkHeaderSize, bytes.size() - talkHeaderSize);
    message.text = printable(text.substr(0, maxTalkLength));
    return message;
}

std::optional<ClientMessage> parseShort(const std::string& bytes) {
    if (bytes.size() != shortMessageSize) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = bytes[0];
    message.playerID = bytes[1];
    return message;
}

} // namespace

std::optional<ClientMessage> parseClientMessage(const std::string& bytes) {
    if (bytes.empty()) {
        return std::nullopt;
    }
    switch (bytes[0]) {
    case MessageType::join:
        return parseJoin(bytes);
    case MessageType::key:
        return parseKey(bytes);
    case MessageType::mouse:
        return parseMouse(bytes);
    case MessageType::talk:
        return parseTalk(bytes);
    case MessageType::keepAlive:
    case MessageType::leave:
        return parseShort(bytes);
    default:
        return std::nullopt;
    }
}
