#ifndef CUBEFRAY_FAKE_SERVER_H
#define CUBEFRAY_FAKE_SERVER_H

#include "Game.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

// A UDP socket on the loopback address that plays the game server in tests.
class FakeServer {
  public:
    FakeServer() {
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        socklen_t length = sizeof(addr);
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
        port = ntohs(addr.sin_port);
    }
    ~FakeServer() { close(fd); }
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

    // The next datagram, or an empty string when none arrives within the wait.
    std::string receive(int waitMillis = 1000) {
        pollfd watched{fd, POLLIN, 0};
        if (poll(&watched, 1, waitMillis) <= 0) {
            return "";
        }
        char buffer[2048];
        socklen_t length = sizeof(client);
        ssize_t n =
            recvfrom(fd, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&client), &length);
        return n > 0 ? std::string(buffer, size_t(n)) : "";
    }

    // Sends to the client that spoke last.
    void send(const std::string& bytes) {
        sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&client),
               sizeof(client));
    }

    int port = 0;

  private:
    int fd = -1;
    sockaddr_in client{};
};

// A game connected to a fake server: the join has gone out, so the server knows the client's
// address, and the queue's mutex is ready.
struct ConnectedGame {
    ConnectedGame() {
        pthread_mutex_init(&game.mutex, nullptr);
        game.initNetworkStuff("127.0.0.1", server.port);
        JoinMessage join("tester");
        game.socketInfo.sendBytesTo(&game.server, &join, sizeof(join));
        joinBytes = server.receive();
    }
    ~ConnectedGame() {
        game.stopReceiveThread();
        pthread_mutex_destroy(&game.mutex);
    }

    FakeServer server;
    Game game;
    std::string joinBytes;
};

inline std::string bytes(std::initializer_list<int> values) {
    return std::string(values.begin(), values.end());
}

inline GenericMessage datagram(const std::string& content) {
    GenericMessage message;
    std::memcpy(message.data, content.data(), std::min(content.size(), sizeof(message.data)));
    return message;
}

#endif
