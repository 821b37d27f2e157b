#include "Query.h"

#include <algorithm>

namespace {

const std::string_view getInfoCommand = "getinfo";
const std::string_view infoResponseCommand = "infoResponse\n";
const std::string_view getServersResponseCommand = "getserversResponse";
const std::string_view endOfList("\\EOT\0\0\0", 7);
// A backslash, four bytes of address and two of port.
const size_t serverEntrySize = 7;
const char infoSeparator = '\\';

bool isControl(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127;
}

bool answerableChallengeCharacter(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 33 && byte <= 126 && std::string_view("\\/;\"%").find(c) == std::string::npos;
}

// What follows the four 0xFF bytes and the command, when the datagram starts with both.
std::optional<std::string_view> afterCommand(std::string_view datagram, std::string_view command) {
    if (!isQuery(datagram)) {
        return std::nullopt;
    }
    datagram.remove_prefix(queryPrefix.size());
    if (datagram.substr(0, command.size()) != command) {
        return std::nullopt;
    }
    return datagram.substr(command.size());
}

// A separator or a control character inside a key or a value would break the infostring, or
// the lines of whoever shows it.
std::string infoText(std::string_view text) {
    std::string safe(text);
    for (char& c : safe) {
        if (c == infoSeparator || isControl(c)) {
            c = '?';
        }
    }
    return safe;
}

bool validKey(std::string_view key) {
    return !key.empty() && key.size() <= maxInfoKeyLength;
}

std::vector<std::string_view> fieldsOf(std::string_view text) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        size_t end = std::min(text.find(infoSeparator, start), text.size());
        fields.push_back(text.substr(start, end - start));
        if (end == text.size()) {
            return fields;
        }
        start = end + 1;
    }
}

uint32_t bigEndian(std::string_view bytes) {
    uint32_t value = 0;
    for (char c : bytes) {
        value = value << 8 | static_cast<unsigned char>(c);
    }
    return value;
}

} // namespace

bool isQuery(std::string_view datagram) {
    return datagram.substr(0, queryPrefix.size()) == queryPrefix;
}

std::string encodeGetInfo(std::string_view challenge) {
    std::string datagram = std::string(queryPrefix) + std::string(getInfoCommand);
    return challenge.empty() ? datagram : datagram + " " + std::string(challenge);
}

std::optional<std::string> parseGetInfo(std::string_view datagram) {
    std::optional<std::string_view> rest = afterCommand(datagram, getInfoCommand);
    if (!rest) {
        return std::nullopt;
    }
    if (rest->empty()) {
        return std::string();
    }
    std::string_view challenge = rest->substr(1);
    bool answerable = rest->front() == ' ' && !challenge.empty() &&
                      challenge.size() <= maxChallengeLength &&
                      std::all_of(challenge.begin(), challenge.end(), answerableChallengeCharacter);
    return answerable ? std::optional<std::string>(challenge) : std::nullopt;
}

// The pair that does not fit whole keeps what fits of its value; those after it are dropped.
std::string encodeInfoResponse(const InfoPairs& info) {
    std::string datagram = std::string(queryPrefix) + std::string(infoResponseCommand);
    for (const auto& [key, value] : info) {
        if (!validKey(key)) {
            continue;
        }
        std::string pair = infoSeparator + infoText(key) + infoSeparator + infoText(value);
        size_t room = maxQueryReply - datagram.size();
        if (pair.size() > room) {
            if (key.size() + 2 <= room) {
                datagram += pair.substr(0, room);
            }
            break;
        }
        datagram += pair;
    }
    return datagram;
}

std::optional<InfoPairs> parseInfoResponse(std::string_view datagram) {
    std::optional<std::string_view> rest = afterCommand(datagram, infoResponseCommand);
    if (!rest) {
        return std::nullopt;
    }
    if (rest->empty()) {
        return InfoPairs();
    }
    if (rest->front() != infoSeparator || std::any_of(rest->begin(), rest->end(), isControl)) {
        return std::nullopt;
    }
    std::vector<std::string_view> fields = fieldsOf(rest->substr(1));
    if (fields.size() % 2 != 0) {
        return std::nullopt;
    }
    InfoPairs info;
    for (size_t i = 0; i < fields.size(); i += 2) {
        if (!validKey(fields[i])) {
            return std::nullopt;
        }
        info.emplace_back(fields[i], fields[i + 1]);
    }
    return info;
}

std::optional<std::string> infoValue(const InfoPairs& info, std::string_view key) {
    auto found = std::find_if(info.begin(), info.end(),
                              [key](const auto& pair) { return pair.first == key; });
    return found == info.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::string encodeHeartbeat() {
    return std::string(queryPrefix) + "heartbeat DarkPlaces\n";
}

std::string encodeGetServers() {
    return std::string(queryPrefix) + "getservers " + gameName + " " +
           std::to_string(queryProtocol) + " empty full";
}

std::optional<ServerListPart> parseGetServersResponse(std::string_view datagram) {
    std::optional<std::string_view> rest = afterCommand(datagram, getServersResponseCommand);
    if (!rest) {
        return std::nullopt;
    }
    ServerListPart part;
    for (std::string_view entries = *rest;
         entries.size() >= serverEntrySize && entries.front() == infoSeparator;
         entries.remove_prefix(serverEntrySize)) {
        std::string_view entry = entries.substr(0, serverEntrySize);
        if (entry == endOfList) {
            part.ends = true;
            break;
        }
        PeerAddress server{bigEndian(entry.substr(1, 4)), uint16_t(bigEndian(entry.substr(5)))};
        if (server.ip != 0 && server.port != 0) {
            part.servers.push_back(server);
        }
    }
    return part;
}
