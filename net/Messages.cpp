#include "Messages.h"

#include <cstring>

JoinMessage::JoinMessage(const char* playerName) {
    for (int i = 0; i < nameFieldSize - 1 && playerName[i] != '\0'; ++i) {
        name[i] = playerName[i];
    }
}

std::string textOfField(const char* field, size_t fieldSize) {
    size_t length = 0;
    while (length < fieldSize && field[length] != '\0') {
        ++length;
    }
    return std::string(field, length);
}

UpdateMessage asUpdateMessage(const GenericMessage& message) {
    static_assert(sizeof(UpdateMessage) <= sizeof(message.data), "an update fits a datagram");
    UpdateMessage update;
    std::memcpy(static_cast<void*>(&update), message.data, sizeof(UpdateMessage));
    return update;
}
