#ifndef CUBEFRAY_CODEC_H
#define CUBEFRAY_CODEC_H

#include "Messages.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every message of either direction is built and read here, and nowhere else: the rest of both
// programs deals in the values below, never in the bytes of a datagram.

// Mouse motion beyond this many pixels in one message is taken as this many: no real mouse
// moves that far between two messages, and it keeps every later computation in range.
const int maxMouseDelta = 10000;

// The name of a player whose join carries none.
const char* const defaultPlayerName = "player";

// The bytes of one message on its way out, held without the heap so that sending never
// allocates: the longest record is an update.
struct WireBytes {
    std::array<char, sizeof(UpdateMessage)> data{};
    size_t size = 0;

    std::string_view view() const { return {data.data(), size}; }
};

// What a client sends.
WireBytes encodeJoin(std::string_view playerName);
WireBytes encodeKey(char playerID, Control control, bool pressed);
WireBytes encodeMouse(char playerID, int dx, int dy);
WireBytes encodeKeepAlive(char playerID);
WireBytes encodeLeave(char playerID);
// A chat line from a player, or from the server itself with serverSenderID; the text is cut to
// maxTalkLength characters.
WireBytes encodeTalk(char senderID, std::string_view text);

// What the server sends.
WireBytes encodeYourID(char playerID);
WireBytes encodeServerFull();
// The first maxPlayersInUpdate records, then records with id 0.
WireBytes encodeUpdate(const std::vector<PlayerUpdate>& records);

// The name as a join carries it: at most 11 characters, up to the first zero.
std::string joinedName(std::string_view playerName);
// The bytes of a zero-terminated text field, never reading past its end.
std::string textOfField(const char* field, size_t fieldSize);

// A datagram from a client that has the exact shape of its record. Whether its id belongs to
// the sender is for the server's rules to decide.
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
// than 0 or 1.
std::optional<ClientMessage> parseClientMessage(std::string_view bytes);

// A datagram from the server as the client reads it. The client is lenient where the server is
// strict: a datagram shorter than its record reads as if zeros followed it, and any type it
// does not know is simply of no kind.
struct ServerMessage {
    enum class Kind { unknown, update, talk, yourID, serverFull };

    Kind kind = Kind::unknown;
    // The id a your-id notice gives; the sender of a chat line (serverSenderID: the server).
    char playerID = 0;
    // A chat line's text up to its first zero or the datagram's end; it points into the bytes
    // that were parsed.
    std::string_view text;
    // An update's records before the first whose id is 0.
    std::array<PlayerUpdate, maxPlayersInUpdate> players{};
    size_t playerCount = 0;
};

ServerMessage parseServerMessage(std::string_view datagram);

#endif
