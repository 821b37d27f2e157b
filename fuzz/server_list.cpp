// The server list fed what a hostile network can send it: answers and masters' lists from any
// address, some carrying the challenges the list asked with, between refreshes and the passing
// of time.
#include "FuzzSupport.h"
#include "ServerBrowser.h"

#include <algorithm>

namespace {

const PeerAddress master{0x7f000001, 27950};

// The challenge of the latest getinfo the browser asked with, or "".
std::string lastChallenge(const ServerBrowser& browser) {
    for (auto it = browser.outgoing().rbegin(); it != browser.outgoing().rend(); ++it) {
        if (std::optional<std::string> challenge = parseGetInfo(it->bytes)) {
            return *challenge;
        }
    }
    return "";
}

// Mostly well-formed answers with fuzzed values, sometimes raw bytes.
std::string datagramOf(FuzzInput& in, const ServerBrowser& browser, uint8_t operation) {
    size_t length = in.byte() * 2u;
    switch (operation % 4) {
    case 0:
        return std::string(queryPrefix) + "infoResponse\n\\challenge\\" + lastChallenge(browser) +
               "\\gamename\\Cubefray\\protocol\\1" + in.bytes(length);
    case 1:
        return std::string(queryPrefix) + "getserversResponse" + in.bytes(length);
    default:
        return in.bytes(length);
    }
}

void checkList(const ServerBrowser& browser) {
    const std::vector<ServerEntry>& servers = browser.servers();
    promise(servers.size() <= ServerBrowser::maxServers, "a bounded list");
    promise(
        std::is_sorted(servers.begin(), servers.end(),
                       [](const ServerEntry& a, const ServerEntry& b) { return a.ping < b.ping; }),
        "fastest first");
    for (const ServerEntry& server : servers) {
        promise(server.name.size() <= 32 && server.players >= 0 && server.maxPlayers >= 0,
                "names and counts the list can show");
        promise(std::all_of(server.name.begin(), server.name.end(),
                            [](char c) { return c >= ' ' && c <= '~'; }),
                "printable names");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    ServerBrowser browser;
    ServerSources sources;
    sources.localNetwork = true;
    sources.masters = {master};
    double now = 0;
    browser.refresh(sources, now);
    while (!in.empty()) {
        uint8_t operation = in.byte();
        if (operation % 16 == 15) {
            browser.refresh(sources, now);
            browser.clearOutgoing();
            continue;
        }
        now += in.byte();
        PeerAddress sender = operation & 16 ? master : PeerAddress{0x7f000001u + in.byte(), 4000};
        browser.receive(datagramOf(in, browser, operation), sender, now);
        browser.update(now);
        checkList(browser);
        // A list asks its new servers at once, the second round everyone again.
        promise(browser.outgoing().size() <=
                    2 * ServerBrowser::localPorts + 1 + 2 * ServerBrowser::maxAsked,
                "questions bounded by what was listed");
        browser.clearOutgoing();
    }
    return 0;
}
