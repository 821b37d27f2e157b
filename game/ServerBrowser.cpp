#include "ServerBrowser.h"

#include "StringFloat.h"

#include <algorithm>

namespace {

const uint32_t broadcastAddress = 0xffffffff;
const uint32_t loopbackAddress = 0x7f000001;
const size_t maxQuestions = 64;
const size_t maxNameLength = 32;
const int mostSeats = 99;

// Only what the font can draw and the list has room for.
std::string shown(std::string_view text, size_t most) {
    std::string result;
    for (char c : text.substr(0, most)) {
        result += c >= ' ' && c <= '~' ? c : '?';
    }
    return result;
}

int count(const InfoPairs& info, std::string_view key) {
    std::optional<std::string> value = infoValue(info, key);
    std::optional<int> number = value ? parseWholeNumber(*value) : std::nullopt;
    return number ? std::clamp(*number, 0, mostSeats) : 0;
}

} // namespace

void ServerBrowser::refresh(const ServerSources& newSources, double now) {
    sources = newSources;
    entries.clear();
    asked.clear();
    questions.clear();
    askAll(now);
    repeatAt = now + repeatAfter;
}

void ServerBrowser::update(double now) {
    if (repeatAt >= 0 && now >= repeatAt) {
        repeatAt = -1;
        askAll(now);
        askServers(asked, now);
    }
}

void ServerBrowser::askAll(double now) {
    std::string getInfo = encodeGetInfo(newChallenge(now));
    if (sources.localNetwork) {
        for (uint16_t port = firstLocalPort; port < firstLocalPort + localPorts; ++port) {
            outbox.push_back({{broadcastAddress, port}, getInfo});
            outbox.push_back({{loopbackAddress, port}, getInfo});
        }
    }
    for (const PeerAddress& server : sources.known) {
        outbox.push_back({server, getInfo});
    }
    for (const PeerAddress& master : sources.masters) {
        outbox.push_back({master, encodeGetServers()});
    }
}

void ServerBrowser::askServers(const std::vector<PeerAddress>& servers, double now) {
    if (servers.empty()) {
        return;
    }
    std::string getInfo = encodeGetInfo(newChallenge(now));
    for (const PeerAddress& server : servers) {
        outbox.push_back({server, getInfo});
    }
}

// Each batch of questions has a challenge of its own, which tells when the answer's question
// went out.
std::string ServerBrowser::newChallenge(double now) {
    if (questions.size() == maxQuestions) {
        questions.erase(questions.begin());
    }
    questions.push_back({"cf" + std::to_string(++questionCount), now});
    return questions.back().challenge;
}

const ServerBrowser::Question* ServerBrowser::questionOf(std::string_view challenge) const {
    for (const Question& question : questions) {
        if (question.challenge == challenge) {
            return &question;
        }
    }
    return nullptr;
}

ServerEntry* ServerBrowser::find(const PeerAddress& address) {
    for (ServerEntry& entry : entries) {
        if (entry.address == address) {
            return &entry;
        }
    }
    return nullptr;
}

bool ServerBrowser::isMaster(const PeerAddress& address) const {
    return std::find(sources.masters.begin(), sources.masters.end(), address) !=
           sources.masters.end();
}

const ServerEntry* ServerBrowser::receive(std::string_view datagram, const PeerAddress& sender,
                                          double now) {
    if (!isQuery(datagram)) {
        return nullptr;
    }
    if (std::optional<InfoPairs> info = parseInfoResponse(datagram)) {
        size_t before = entries.size();
        readInfo(*info, sender, now);
        return entries.size() > before ? find(sender) : nullptr;
    }
    readList(datagram, sender, now);
    return nullptr;
}

void ServerBrowser::readInfo(const InfoPairs& info, const PeerAddress& sender, double now) {
    const Question* question = questionOf(infoValue(info, "challenge").value_or(""));
    bool ours = infoValue(info, "gamename") == std::string(gameName) &&
                infoValue(info, "protocol") == std::to_string(queryProtocol);
    if (question == nullptr || !ours) {
        return;
    }
    double ping = std::max(0.0, now - question->sentAt);
    ServerEntry* entry = find(sender);
    if (entry == nullptr) {
        if (entries.size() == maxServers) {
            return;
        }
        entries.push_back({});
        entry = &entries.back();
        entry->address = sender;
        entry->ping = ping;
    }
    entry->ping = std::min(entry->ping, ping);
    entry->name = shown(infoValue(info, "hostname").value_or(""), maxNameLength);
    if (entry->name.empty()) {
        entry->name = addressText(sender);
    }
    entry->mapName = shown(infoValue(info, "mapname").value_or(""), maxNameLength);
    entry->players = count(info, "clients");
    entry->bots = count(info, "bots");
    entry->maxPlayers = count(info, "sv_maxclients");
    entry->favourite = std::find(sources.favourites.begin(), sources.favourites.end(), sender) !=
                       sources.favourites.end();
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ServerEntry& a, const ServerEntry& b) { return a.ping < b.ping; });
}

// Only the masters we asked may tell us of servers, and only so many.
void ServerBrowser::readList(std::string_view datagram, const PeerAddress& sender, double now) {
    std::optional<ServerListPart> part = parseGetServersResponse(datagram);
    if (!part || !isMaster(sender)) {
        return;
    }
    std::vector<PeerAddress> fresh;
    for (const PeerAddress& server : part->servers) {
        bool known = std::find(asked.begin(), asked.end(), server) != asked.end();
        if (!known && asked.size() < maxAsked) {
            asked.push_back(server);
            fresh.push_back(server);
        }
    }
    askServers(fresh, now);
}
