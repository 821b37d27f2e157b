#ifndef CUBEFRAY_CONNECTION_H
#define CUBEFRAY_CONNECTION_H

#include <string>

// The state of the link to the server as the player is told it. The join is sent again until
// the server answers it, because a lost join or a lost answer would otherwise leave the client
// outside the game for good; and again once the connection is lost, so that a server that
// restarts takes the player back (a server that still holds the seat answers with its id).
class Connection {
  public:
    enum class Status { connecting, noAnswer, serverFull, lost, reconnecting, playing };

    // Silence longer than this, in milliseconds, is reported.
    static constexpr double silenceLimit = 3000;
    static constexpr double joinInterval = 2000;

    // The server as the command line names it; the clock starts now.
    void start(const std::string& host, int port, double now);
    void joinSent(double now) { lastJoin = now; }
    double sinceJoinSent(double now) const { return now - lastJoin; }
    // Whether the join should go out again: no answer yet, or reconnecting, and the interval has
    // passed.
    bool joinDue(double now) const;
    // Any datagram from the server.
    void heard(double now) { lastHeard = now; }
    // The server gave us our id.
    void admitted() { isAdmitted = true; }
    // The server has no seat for us.
    void refused() { isRefused = true; }
    bool wasAdmitted() const { return isAdmitted; }

    Status status(double now) const;
    // What the player reads for the status; empty while playing. No allocation.
    const std::string& notice(double now) const;

  private:
    std::string connecting;
    std::string noAnswer;
    std::string serverFull = "Server is full";
    std::string lost = "Connection lost";
    std::string reconnecting;
    std::string none;
    double lastJoin = 0;
    double lastHeard = 0;
    bool isAdmitted = false;
    bool isRefused = false;
};

#endif
