#ifndef CUBEFRAY_SERVER_ADMINSOCKET_H
#define CUBEFRAY_SERVER_ADMINSOCKET_H

#include "AdminCommand.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// The server's end of the admin socket: a Unix stream socket that only the server's user and
// group may use, served from the server's own loop without ever blocking it. A connection brings
// one request of at most maxAdminRequest bytes and gets one reply; a few are served at once, and
// one that has not finished within two seconds is dropped.
class AdminListener {
  public:
    using Clock = std::chrono::steady_clock;
    // The whole reply to a request line.
    using Answerer = std::function<std::string(const std::string& line)>;

    AdminListener() = default;
    // Closes the connections and removes the socket file.
    ~AdminListener();
    AdminListener(const AdminListener&) = delete;
    AdminListener& operator=(const AdminListener&) = delete;

    // Listens at path with mode 0660. A socket file that nobody listens on (left by a server that
    // died) is replaced; one a server listens on, or a file of another kind, is left alone and
    // refused. Why it cannot listen, or an empty string.
    std::string listen(const std::string& path);
    // Accepts waiting connections, reads what has come and answers the requests that are whole.
    void serve(Clock::time_point now, const Answerer& answer);

  private:
    struct Connection {
        int fd = -1;
        Clock::time_point deadline;
        RequestBuffer request;
        std::string reply;
        size_t sent = 0;
    };

    void acceptWaiting(Clock::time_point now);
    // Whether the connection is done with.
    bool progress(Connection& connection, const Answerer& answer);

    int fd = -1;
    std::string socketPath;
    std::vector<Connection> connections;
};

// The admin's end: the reply of the server listening at path to the request, or why there is
// none (no server listening, no permission, no answer in time).
struct AdminExchange {
    std::string reply;
    std::string error;
};
AdminExchange askServer(const std::string& path, const std::string& request,
                        std::chrono::milliseconds timeout);

#endif
