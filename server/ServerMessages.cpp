#include "ServerMessages.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Record> std::string bytesOf(const Record& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof(record));
}

} // namespace

std::string yourIDMessage(char playerID) {
    return std::string{MessageType::yourID, playerID};
}

std::string serverFullMessage() {
    return std::string(1, MessageType::serverFull);
}

std::string talkMessage(char senderID, const std::string& text) {
    TalkMessage message;
    message.playerID = senderID;
    std::memcpy(message.text, text.data(), std::min(text.size(), size_t(maxTalkLength)));
    return bytesOf(message);
}

std::string updateMessage(const std::vector<PlayerUpdate>& records) {
    UpdateMessage message;
    size_t count = std::min(records.size(), size_t(maxPlayersInUpdate));
    std::copy(records.begin(), records.begin() + long(count), message.players);
    return bytesOf(message);
}
