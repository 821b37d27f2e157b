// The readers of the datagrams that find servers: a getinfo's challenge, an infoResponse's pairs
// and a master's list of servers, each fed the same datagram; and infostrings built from pairs
// of fuzzed bytes.
#include "FuzzSupport.h"
#include "Query.h"

#include <algorithm>

namespace {

// The first byte picks a head for the rest, so that most inputs reach past the command.
const std::string heads[] = {"", "\xff\xff\xff\xffgetinfo", "\xff\xff\xff\xffinfoResponse\n",
                             "\xff\xff\xff\xffgetserversResponse"};
const size_t serverListHeadSize = heads[3].size();
const size_t entrySize = 7;

bool safeInInfo(char c) {
    auto byte = static_cast<unsigned char>(c);
    return c != '\\' && byte >= 32 && byte != 127;
}

void checkGetInfo(const std::string& datagram) {
    std::optional<std::string> challenge = parseGetInfo(datagram);
    if (!challenge) {
        return;
    }
    promise(challenge->size() <= maxChallengeLength &&
                std::none_of(challenge->begin(), challenge->end(),
                             [](char c) { return c <= ' ' || c > '~' || c == '\\'; }),
            "challenges are short and printable");
    promise(encodeGetInfo(*challenge) == datagram, "a getinfo read is its challenge's getinfo");
}

// Each pair read again from its re-encoding is the pair, its value cut at most.
bool sameOrCut(const InfoPairs& again, const InfoPairs& info) {
    for (size_t i = 0; i < again.size(); ++i) {
        const std::string& value = info[i].second;
        bool cut =
            i + 1 == again.size() && value.compare(0, again[i].second.size(), again[i].second) == 0;
        if (again[i].first != info[i].first || (again[i].second != value && !cut)) {
            return false;
        }
    }
    return again.size() <= info.size();
}

void checkInfoResponse(const std::string& datagram) {
    std::optional<InfoPairs> info = parseInfoResponse(datagram);
    if (!info) {
        return;
    }
    for (const auto& [key, value] : *info) {
        promise(!key.empty() && key.size() <= maxInfoKeyLength, "keys are short words");
        promise(std::all_of(key.begin(), key.end(), safeInInfo) &&
                    std::all_of(value.begin(), value.end(), safeInInfo),
                "no separator or control character in a pair");
        promise(infoValue(*info, key).has_value(), "every key read is found");
    }
    std::string again = encodeInfoResponse(*info);
    promise(again.size() <= maxQueryReply, "re-encoded within bounds");
    std::optional<InfoPairs> reread = parseInfoResponse(again);
    promise(reread && sameOrCut(*reread, *info), "re-encoded pairs read back");
    promise(datagram.size() > maxQueryReply || again == datagram,
            "an infoResponse that fits is re-encoded byte for byte");
}

std::string entryOf(const PeerAddress& server) {
    return {'\\',
            char(server.ip >> 24),
            char(server.ip >> 16),
            char(server.ip >> 8),
            char(server.ip),
            char(server.port >> 8),
            char(server.port)};
}

// Each listed server is a whole entry of the datagram, in order, and an end is one too.
void checkServerList(const std::string& datagram) {
    std::optional<ServerListPart> part = parseGetServersResponse(datagram);
    if (!part) {
        return;
    }
    size_t listed = 0;
    bool endEntry = false;
    for (size_t at = serverListHeadSize; at + entrySize <= datagram.size(); at += entrySize) {
        std::string entry = datagram.substr(at, entrySize);
        endEntry = endEntry || entry == std::string("\\EOT\0\0\0", entrySize);
        listed += listed < part->servers.size() && entry == entryOf(part->servers[listed]);
    }
    promise(listed == part->servers.size(), "listed servers come only from whole entries");
    promise(!part->ends || endEntry, "only an end entry ends the list");
}

// Pairs of any bytes: whatever they hold, the infostring stays whole and within bounds.
void checkEncodedInfo(FuzzInput& in) {
    InfoPairs info;
    while (!in.empty()) {
        std::string key = in.bytes(in.byte() % (maxInfoKeyLength + 4));
        info.emplace_back(key, in.bytes(in.byte() * 3));
    }
    std::string reply = encodeInfoResponse(info);
    std::optional<InfoPairs> read = parseInfoResponse(reply);
    promise(reply.size() <= maxQueryReply && read, "any pairs make a whole infostring");
    promise(read->size() <= info.size(), "no pair is made up");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    std::string datagram = heads[in.byte() % 4];
    FuzzInput rest = in;
    datagram += in.bytes(size);
    checkGetInfo(datagram);
    checkInfoResponse(datagram);
    checkServerList(datagram);
    checkEncodedInfo(rest);
    return 0;
}
