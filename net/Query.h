#ifndef CUBEFRAY_QUERY_H
#define CUBEFRAY_QUERY_H

#include "Datagram.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The datagrams that find servers, in the protocol of the dpmaster master server (the Quake III
// Arena style): each starts with four 0xFF bytes, which no game message does. A server answers
// getinfo on its game port and sends heartbeats to its masters; a client asks a master for its
// servers and each server for its info.

const std::string_view queryPrefix = "\xff\xff\xff\xff";
const char* const gameName = "Cubefray";
const int queryProtocol = 1;
// No reply to a query may reach this size, so none can be used to amplify a flood.
const size_t maxQueryReply = 511;
// The longest challenge answered.
const size_t maxChallengeLength = 64;
// Keys are short words; a longer one marks a broken or hostile infostring.
const size_t maxInfoKeyLength = 64;

// Whether the datagram is a query datagram at all (starts with the four 0xFF bytes).
bool isQuery(std::string_view datagram);

// key/value pairs as an infostring carries them: \key\value\key\value...
using InfoPairs = std::vector<std::pair<std::string, std::string>>;

// "getinfo CHALLENGE".
std::string encodeGetInfo(std::string_view challenge);
// The challenge of a getinfo datagram, when it is one the server answers: printable ASCII 33 to
// 126 without \ / ; " %, at most maxChallengeLength characters; "getinfo" alone has an empty
// one.
std::optional<std::string> parseGetInfo(std::string_view datagram);

// "infoResponse\n" and the infostring, cut so that the whole stays within maxQueryReply. A
// backslash or a control character in a key or a value becomes '?'; a pair whose key the parser
// would refuse is left out.
std::string encodeInfoResponse(const InfoPairs& info);
// The pairs of an infoResponse, or nothing when the datagram is not one or its infostring is
// malformed (an odd number of fields, a key that is empty or too long, a control character).
std::optional<InfoPairs> parseInfoResponse(std::string_view datagram);
// The value of the key, or nothing.
std::optional<std::string> infoValue(const InfoPairs& info, std::string_view key);

// "heartbeat DarkPlaces\n", a server's word to its masters.
std::string encodeHeartbeat();

// "getservers Cubefray 1 empty full", a client's question to a master.
std::string encodeGetServers();

// One getserversResponse datagram: the servers it lists and whether it ends the list.
struct ServerListPart {
    std::vector<PeerAddress> servers;
    bool ends = false;
};
// "getserversResponse" then entries of \ and a 4-byte IPv4 address and a 2-byte port, both
// big-endian; the entry \EOT\0\0\0 ends the list. Nothing when the datagram is not one; a
// truncated entry at the end is dropped with what follows it. An entry of address 0 or port 0
// names no server and is skipped.
std::optional<ServerListPart> parseGetServersResponse(std::string_view datagram);

#endif
