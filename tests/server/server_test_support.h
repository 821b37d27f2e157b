#ifndef CUBEFRAY_SERVER_TEST_SUPPORT_H
#define CUBEFRAY_SERVER_TEST_SUPPORT_H

#include "Arena.h"
#include "GameServer.h"
#include "Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// Map text for a grid whose solid cells the predicate names.
inline std::string mapText(int columns, int rows, int depths,
                           const std::function<bool(int, int, int)>& solid) {
    std::ostringstream text;
    text << columns << " " << rows << " " << depths << "\n";
    for (int x = 0; x < columns; ++x) {
        for (int y = 0; y < rows; ++y) {
            for (int z = 0; z < depths; ++z) {
                text << (solid(x, y, z) ? "1 1 " : "0 0 ");
            }
            text << "\n";
        }
    }
    return text.str();
}

// A floor, and walls three cells high around it; room above for a jump.
inline std::string walledRoom(int columns, int depths) {
    return mapText(columns, 6, depths, [columns, depths](int x, int y, int z) {
        bool border = x == 0 || z == 0 || x == columns - 1 || z == depths - 1;
        return y == 0 || (border && y <= 3);
    });
}

// A corridor one cell wide along z whose floor is the bottom of the world, with a single solid
// cell at its start: the one place to spawn is on top of it, eye at (32, 139.5, 32), facing +z.
inline std::string stepCorridor() {
    return mapText(1, 5, 6, [](int, int y, int z) { return y == 0 && z == 0; });
}

// Open ground (the bottom of the world) with one solid cell in the middle: the one place to
// spawn is on top of it, eye at (224, 139.5, 224).
inline std::string centrePedestal() {
    return mapText(7, 5, 7, [](int x, int y, int z) { return x == 3 && y == 0 && z == 3; });
}

// A corridor one cell wide with a floor cell at each end and nothing between: two spawn points,
// eyes at z = 32 and z = 480, each facing the other.
inline std::string duelCorridor() {
    return mapText(1, 5, 8, [](int, int y, int z) { return y == 0 && (z == 0 || z == 7); });
}

inline PeerAddress clientAddress(int n) {
    return PeerAddress{0x7f000001, uint16_t(40000 + n)};
}

template <typename Record> std::string bytesOf(const Record& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof(record));
}

inline std::string joinBytes(const char* name) {
    return bytesOf(JoinMessage(name));
}

inline std::string keyBytes(char id, int control, bool pressed) {
    KeyMessage message;
    message.playerID = id;
    message.key = char(control);
    message.pressed = pressed ? 1 : 0;
    return bytesOf(message);
}

inline std::string mouseBytes(char id, int32_t dx, int32_t dy) {
    MouseMessage message;
    message.playerID = id;
    message.dx = dx;
    message.dy = dy;
    return bytesOf(message);
}

inline std::string talkBytes(char id, const std::string& text) {
    return std::string{MessageType::talk, id} + text + std::string(1, '\0');
}

inline std::string shortBytes(char type, char id) {
    return std::string{type, id};
}

// The datagrams of a batch that go to one client.
inline std::vector<std::string> sentTo(const Datagrams& batch, PeerAddress peer) {
    std::vector<std::string> bytes;
    for (const Datagram& datagram : batch) {
        if (datagram.peer == peer) {
            bytes.push_back(datagram.bytes);
        }
    }
    return bytes;
}

// Sender and text of every chat line a batch holds for one client.
inline std::vector<std::string> chatFor(const Datagrams& batch, PeerAddress peer) {
    std::vector<std::string> lines;
    for (const std::string& bytes : sentTo(batch, peer)) {
        if (bytes.size() == sizeof(TalkMessage) && bytes[0] == MessageType::talk) {
            lines.push_back(std::string(1, bytes[1]) + ":" +
                            textOfField(bytes.data() + 2, bytes.size() - 2));
        }
    }
    return lines;
}

inline std::optional<UpdateMessage> updateFor(const Datagrams& batch, PeerAddress peer) {
    for (const std::string& bytes : sentTo(batch, peer)) {
        if (bytes.size() == sizeof(UpdateMessage) && bytes[0] == MessageType::update) {
            UpdateMessage update;
            std::memcpy(static_cast<void*>(&update), bytes.data(), sizeof(update));
            return update;
        }
    }
    return std::nullopt;
}

inline ::testing::AssertionResult near(vec3 actual, vec3 expected, float tolerance) {
    vec3 d = actual - expected;
    if (std::fabs(d.x) <= tolerance && std::fabs(d.y) <= tolerance && std::fabs(d.z) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got (" << actual << "), expected (" << expected << ")";
}

inline float headingOf(vec3 direction) {
    return std::atan2(-direction.x, -direction.z);
}

// A game on a map built in the test, its log kept for reading.
struct TestGame {
    explicit TestGame(const std::string& map, uint32_t seed = 7)
        : arena(map), server(arena, seed, log) {}

    // The id the server gave, or 0 when it gave none.
    char join(int client, const char* name) {
        Datagrams reply = server.receive(clientAddress(client), joinBytes(name));
        std::vector<std::string> toClient = sentTo(reply, clientAddress(client));
        bool gotID =
            !toClient.empty() && toClient[0].size() == 2 && toClient[0][0] == MessageType::yourID;
        return gotID ? toClient[0][1] : 0;
    }

    Datagrams send(int client, const std::string& bytes) {
        return server.receive(clientAddress(client), bytes);
    }

    void press(int client, char id, int control, bool pressed = true) {
        send(client, keyBytes(id, control, pressed));
    }

    // Turns the player's view to the heading (radians, 0 along -z, growing to the left).
    void face(int client, char id, float heading) {
        float turn =
            std::remainder(heading - headingOf(player(id).body.getDirection()), 2 * 3.14159265f);
        send(client, mouseBytes(id, -int32_t(std::lround(turn * 360)), 0));
    }

    // Ticks with every listed client sending a keep-alive before each tick; the last tick's
    // datagrams.
    Datagrams run(int ticks, const std::vector<std::pair<int, char>>& clients = {}) {
        Datagrams last;
        for (int i = 0; i < ticks; ++i) {
            for (auto [client, id] : clients) {
                send(client, shortBytes(MessageType::keepAlive, id));
            }
            last = server.tick();
        }
        return last;
    }

    const ServerPlayer& player(char id) const {
        const ServerPlayer* found = server.findPlayer(id);
        if (found == nullptr) {
            throw std::runtime_error(std::string("no player ") + id);
        }
        return *found;
    }

    Arena arena;
    std::ostringstream log;
    GameServer server;
};

#endif
