#ifndef CUBEFRAY_LOCALSERVER_H
#define CUBEFRAY_LOCALSERVER_H

#include "SkillLevel.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <thread>

// The game's own server, started for a match against bots: cubefray-server beside the client's
// program (else the one on PATH), on a free port of the loopback address only, so nobody else
// can join. It stops when the match ends, and with the client whatever way that ends: the
// kernel sends it SIGTERM when the client is gone.
class LocalServer {
  public:
    LocalServer() = default;
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    // Starts it with the bots of the skill and waits until it tells its port: why it could not,
    // or an empty string.
    std::string start(int bots, SkillLevel skill);
    uint16_t port() const { return boundPort; }
    void stop();

  private:
    // Reads the server's log until it names its port; afterwards a thread drains it, so the
    // server never waits for room to write.
    std::string awaitPort();

    pid_t child = -1;
    int logFD = -1;
    uint16_t boundPort = 0;
    std::thread drain;
};

#endif
