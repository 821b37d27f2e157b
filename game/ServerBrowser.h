#ifndef CUBEFRAY_SERVERBROWSER_H
#define CUBEFRAY_SERVERBROWSER_H

#include "Datagram.h"
#include "Query.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A server that answered, as the list shows it.
struct ServerEntry {
    PeerAddress address;
    std::string name;
    std::string mapName;
    // Seats taken, bots included, and bots.
    int players = 0;
    int bots = 0;
    int maxPlayers = 0;
    // From the question to the answer, in milliseconds.
    double ping = 0;
    bool favourite = false;

    // Bots give up their seats to humans, so only humans fill a server.
    bool full() const { return players - bots >= maxPlayers; }
};

// Where to look for servers: the local network, the servers the player knows (favourites and
// those joined lately) and the masters, all resolved to addresses.
struct ServerSources {
    bool localNetwork = false;
    std::vector<PeerAddress> known;
    std::vector<PeerAddress> favourites;
    std::vector<PeerAddress> masters;
};

// Finds servers the way the game's own datagrams go: fed with datagrams and times, it keeps what
// it wants sent in outgoing() until the program has sent it. Everything that comes back is
// untrusted: only answers to its own questions count (each carries a challenge of ours), and
// the lists are bounded whatever arrives.
class ServerBrowser {
  public:
    static constexpr size_t maxServers = 64;
    // Servers a master's list may make us ask.
    static constexpr size_t maxAsked = 512;
    // Every question goes out twice, this long apart: one may be lost.
    static constexpr double repeatAfter = 500;
    // The local network is asked on the first ports a server takes.
    static constexpr uint16_t firstLocalPort = 4000;
    static constexpr uint16_t localPorts = 4;

    // Forgets every server and asks the sources anew.
    void refresh(const ServerSources& sources, double now);
    // A datagram from sender; the server it newly lists, or nullptr.
    const ServerEntry* receive(std::string_view datagram, const PeerAddress& sender, double now);
    void update(double now);

    // Fastest first.
    const std::vector<ServerEntry>& servers() const { return entries; }
    ServerEntry* find(const PeerAddress& address);
    const std::vector<Datagram>& outgoing() const { return outbox; }
    void clearOutgoing() { outbox.clear(); }

  private:
    struct Question {
        std::string challenge;
        double sentAt = 0;
    };

    void askAll(double now);
    void askServers(const std::vector<PeerAddress>& servers, double now);
    std::string newChallenge(double now);
    const Question* questionOf(std::string_view challenge) const;
    void readInfo(const InfoPairs& info, const PeerAddress& sender, double now);
    void readList(std::string_view datagram, const PeerAddress& sender, double now);
    bool isMaster(const PeerAddress& address) const;

    ServerSources sources;
    std::vector<ServerEntry> entries;
    std::vector<PeerAddress> asked;
    std::vector<Question> questions;
    std::vector<Datagram> outbox;
    uint32_t questionCount = 0;
    double repeatAt = -1;
};

#endif
