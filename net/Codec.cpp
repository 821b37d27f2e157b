#include "Codec.h"

#include "MathOps.h"

#include <algorithm>
#include <cstring>

namespace {

const size_t talkHeaderSize = offsetof(TalkMessage, text);
const size_t minTalkSize = talkHeaderSize + 1;

template <typename Record> WireBytes wireOf(const Record& record) {
    static_assert(sizeof(Record) <= sizeof(WireBytes::data), "every record fits");
    WireBytes wire;
    std::memcpy(wire.data.data(), &record, sizeof(record));
    wire.size = sizeof(record);
    return wire;
}

// A type code and an id: the keep-alive, the leave and the your-id notice.
WireBytes shortMessage(char type, char playerID) {
    WireBytes wire;
    wire.data[0] = type;
    wire.data[1] = playerID;
    wire.size = shortMessageSize;
    return wire;
}

// Control characters and bytes beyond ASCII would reach server logs and every client's chat.
std::string printable(std::string text) {
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return text;
}

int32_t int32At(std::string_view bytes, size_t offset) {
    int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

std::string_view untilZero(std::string_view bytes) {
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

std::optional<ClientMessage> parseJoin(std::string_view bytes) {
    if (bytes.size() != sizeof(JoinMessage)) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = MessageType::join;
    message.text = printable(std::string(untilZero(bytes.substr(offsetof(JoinMessage, name)))));
    if (message.text.empty()) {
        message.text = defaultPlayerName;
    }
    return message;
}

std::optional<ClientMessage> parseKey(std::string_view bytes) {
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

std::optional<ClientMessage> parseMouse(std::string_view bytes) {
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

std::optional<ClientMessage> parseTalk(std::string_view bytes) {
    if (bytes.size() < minTalkSize || bytes.size() > size_t(maxDatagramSize)) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = MessageType::talk;
    message.playerID = bytes[offsetof(TalkMessage, playerID)];
    std::string_view text = untilZero(bytes.substr(talkHeaderSize)).substr(0, maxTalkLength);
    message.text = printable(std::string(text));
    return message;
}

std::optional<ClientMessage> parseShort(std::string_view bytes) {
    if (bytes.size() != shortMessageSize) {
        return std::nullopt;
    }
    ClientMessage message;
    message.type = bytes[0];
    message.playerID = bytes[1];
    return message;
}

// The server's datagram as far as it goes, zeros after.
UpdateMessage updateOf(std::string_view bytes) {
    UpdateMessage update;
    std::memcpy(static_cast<void*>(&update), bytes.data(), std::min(bytes.size(), sizeof(update)));
    return update;
}

void readUpdate(std::string_view bytes, ServerMessage& message) {
    UpdateMessage update = updateOf(bytes);
    for (const PlayerUpdate& record : update.players) {
        if (record.playerID == 0) {
            break;
        }
        message.players[message.playerCount++] = record;
    }
}

} // namespace

WireBytes encodeJoin(std::string_view playerName) {
    JoinMessage message;
    std::string name = joinedName(playerName);
    std::memcpy(message.name, name.data(), name.size());
    return wireOf(message);
}

WireBytes encodeKey(char playerID, Control control, bool pressed) {
    KeyMessage message;
    message.playerID = playerID;
    message.key = static_cast<char>(control);
    message.pressed = pressed ? 1 : 0;
    return wireOf(message);
}

WireBytes encodeMouse(char playerID, int dx, int dy) {
    MouseMessage message;
    message.playerID = playerID;
    message.dx = dx;
    message.dy = dy;
    return wireOf(message);
}

WireBytes encodeKeepAlive(char playerID) {
    return shortMessage(MessageType::keepAlive, playerID);
}

WireBytes encodeLeave(char playerID) {
    return shortMessage(MessageType::leave, playerID);
}

WireBytes encodeTalk(char senderID, std::string_view text) {
    TalkMessage message;
    message.playerID = senderID;
    std::memcpy(message.text, text.data(), std::min(text.size(), size_t(maxTalkLength)));
    return wireOf(message);
}

WireBytes encodeYourID(char playerID) {
    return shortMessage(MessageType::yourID, playerID);
}

WireBytes encodeServerFull() {
    WireBytes wire;
    wire.data[0] = MessageType::serverFull;
    wire.size = 1;
    return wire;
}

WireBytes encodeUpdate(const std::vector<PlayerUpdate>& records) {
    UpdateMessage message;
    size_t count = std::min(records.size(), size_t(maxPlayersInUpdate));
    std::copy(records.begin(), records.begin() + long(count), message.players);
    return wireOf(message);
}

std::string joinedName(std::string_view playerName) {
    return std::string(untilZero(playerName.substr(0, nameFieldSize - 1)));
}

std::string textOfField(const char* field, size_t fieldSize) {
    return std::string(untilZero(std::string_view(field, fieldSize)));
}

std::optional<ClientMessage> parseClientMessage(std::string_view bytes) {
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

ServerMessage parseServerMessage(std::string_view datagram) {
    // Nothing beyond the longest datagram the client takes in counts.
    std::string_view bytes = datagram.substr(0, maxDatagramSize);
    ServerMessage message;
    if (bytes.empty()) {
        return message;
    }
    message.playerID = bytes.size() > 1 ? bytes[1] : '\0';
    switch (bytes[0]) {
    case MessageType::update:
        message.kind = ServerMessage::Kind::update;
        readUpdate(bytes, message);
        break;
    case MessageType::talk:
        message.kind = ServerMessage::Kind::talk;
        message.text = untilZero(bytes.substr(std::min(bytes.size(), talkHeaderSize)));
        break;
    case MessageType::yourID:
        message.kind = ServerMessage::Kind::yourID;
        break;
    case MessageType::serverFull:
        message.kind = ServerMessage::Kind::serverFull;
        break;
    default:
        break;
    }
    return message;
}
