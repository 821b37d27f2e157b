#ifndef CUBEFRAY_SERVER_CLIENTMESSAGE_H
#define CUBEFRAY_SERVER_CLIENTMESSAGE_H

#include "GameRules.h"

#include <optional>
#include <string>

// Mouse motion beyond this many pixels in one message is taken as this many: no real mouse
// moves that far between two messages, and it keeps every later computation in range.
const int maxMouseDelta = 10000;

// The name of a player whose join carries none.
const char* const defaultPlayerName = "player";

// A datagram from a client that has the exact shape of its record. Whether its id belongs to
// the sender is for the game to decide.
struct ClientMessage {
    char type = 0;
    // Absent (zero) in a join.
    char playerID = 0;
    // The name of a join, the line of a talk: printable ASCII only.
    std::string text;
    // A key message: which control, and whether it is now held.
    int control = 0;
    bool pressed = false;
    // A mouse message, clamped to +-maxMouseDelta.
    int dx = 0;
    int dy = 0;
};

// The message the bytes hold, or nothing when they are no well-formed client record: an unknown
// type code, a length other than the record's, a control outside 0..5 or a pressed flag other
// than 0 or 1. Reads no byte beyond the string.
std::optional<ClientMessage> parseClientMessage(const std::string& bytes);

#endif
