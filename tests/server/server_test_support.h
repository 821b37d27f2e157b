#ifndef CUBEFRAY_SERVER_TEST_SUPPORT_H
#define CUBEFRAY_SERVER_TEST_SUPPORT_H

#include "Arena.h"
#include "Codec.h"
#include "Collisions.h"
#include "GameServer.h"
#include "MathOps.h"
#include "test_support.h"

#include <cstring>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>

// A floor, and walls three cells high around it; room above for a jump.
inline std::string walledRoom(int columns, int depths) {
    return mapText(columns, 6, depths, [columns, depths](int x, int y, int z) {
        bool border = x == 0 || z == 0 || x == columns - 1 || z == depths - 1;
        return y == 0 || (border && y <= 3);
    });
}

inline PeerAddress clientAddress(int n) {
    return PeerAddress{0x7f000001, uint16_t(40000 + n)};
}

inline std::string keyBytes(char id, int control, bool pressed) {
    return wire(encodeKey(id, Control(control), pressed));
}

inline std::string mouseBytes(char id, int32_t dx, int32_t dy) {
    return wire(encodeMouse(id, dx, dy));
}

inline std::string talkBytes(char id, const std::string& text) {
    return std::string{MessageType::talk, id} + text + std::string(1, '\0');
}

using Lines = std::vector<std::string>;

// The datagrams of a batch that go to one client.
inline Lines sentTo(const Datagrams& batch, PeerAddress peer) {
    Lines bytes;
    for (const Datagram& datagram : batch) {
        if (datagram.peer == peer) {
            bytes.push_back(datagram.bytes);
        }
    }
    return bytes;
}

// "sender:text" for every chat line a batch holds for one client.
inline Lines chatFor(const Datagrams& batch, PeerAddress peer) {
    Lines lines;
    for (const std::string& bytes : sentTo(batch, peer)) {
        ServerMessage message = parseServerMessage(bytes);
        if (bytes.size() == sizeof(TalkMessage) && message.kind == ServerMessage::Kind::talk) {
            lines.push_back(message.playerID + (":" + std::string(message.text)));
        }
    }
    return lines;
}

inline std::optional<ServerMessage> updateFor(const Datagrams& batch, PeerAddress peer) {
    for (const std::string& bytes : sentTo(batch, peer)) {
        ServerMessage message = parseServerMessage(bytes);
        if (bytes.size() == sizeof(UpdateMessage) && message.kind == ServerMessage::Kind::update) {
            return message;
        }
    }
    return std::nullopt;
}

// A game on a map built in the test, its log kept for reading.
struct TestGame {
    explicit TestGame(const std::string& map, uint32_t seed = 7, Listing listing = {})
        : arena(loadedMap(map)), server(arena, seed, log, std::move(listing)) {}

    // The id the server gave, or 0 when it gave none.
    char join(int client, const char* name) {
        Lines reply = sentTo(send(client, wire(encodeJoin(name))), clientAddress(client));
        return reply.at(0)[0] == MessageType::yourID ? reply[0].at(1) : 0;
    }

    Datagrams send(int client, const std::string& bytes) {
        return server.receive(clientAddress(client), bytes);
    }

    void press(int client, char id, int control, bool pressed = true) {
        send(client, keyBytes(id, control, pressed));
    }

    // Turns the player's view to the heading (radians, 0 along -z, growing to the left).
    void face(int client, char id, float heading) {
        vec3 now = player(id).body.getDirection();
        float turn = std::remainder(heading - std::atan2(-now.x, -now.z), float(2 * pi));
        send(client, mouseBytes(id, -int32_t(std::lround(turn * 360)), 0));
    }

    // Ticks with every listed client sending a keep-alive before each tick; the last tick's
    // datagrams.
    Datagrams run(int ticks, const std::vector<std::pair<int, char>>& clients = {}) {
        Datagrams last;
        for (int i = 0; i < ticks; ++i) {
            for (auto [client, id] : clients) {
                send(client, {MessageType::keepAlive, id});
            }
            last = server.tick();
        }
        return last;
    }

    const ServerPlayer& player(char id) const {
        const ServerPlayer* found = server.findPlayer(id);
        return found ? *found : throw std::runtime_error(std::string("no player ") + id);
    }

    Arena arena;
    std::ostringstream log;
    GameServer server;
};

#endif
