#include "AdminSocket.h"

#include "UdpEndpoint.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const size_t maxConnections = 4;
const std::chrono::seconds connectionTime(2);
// More than any status or list of bans; a peer that sends more is no server of ours.
const size_t maxReply = 1 << 20;

// The address of the path, or nothing when the path does not fit one.
bool unixAddress(const std::string& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void setTimeouts(int fd, std::chrono::milliseconds timeout) {
    timeval limit{};
    limit.tv_sec = long(timeout.count() / 1000);
    limit.tv_usec = long(timeout.count() % 1000 * 1000);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
}

// A blocking stream socket connected to path, or -1 with errno set. The timeout bounds each
// receive and send, and the connect too: a server whose queue is full would keep it waiting.
int connectTo(const std::string& path, std::chrono::milliseconds timeout) {
    sockaddr_un address;
    if (!unixAddress(path, address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        setTimeouts(fd, timeout);
    }
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        int error = errno;
        ::close(fd);
        errno = error;
        fd = -1;
    }
    return fd;
}

// Why the file at path may not be replaced by a new socket, or an empty string.
std::string claim(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? "" : reasonOf(errno);
    }
    if (!S_ISSOCK(info.st_mode)) {
        return "a file that is no socket is in the way";
    }
    int live = connectTo(path, std::chrono::seconds(1));
    if (live >= 0) {
        ::close(live);
        return "another server listens there";
    }
    // Only a refusal proves that nobody listens; a socket we may not use, or one whose server is
    // too busy to take us, may well be alive.
    if (errno != ECONNREFUSED) {
        return reasonOf(errno);
    }
    return ::unlink(path.c_str()) == 0 ? "" : reasonOf(errno);
}

bool sendAll(int fd, const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        ssize_t count = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) {
            return false;
        }
        sent += size_t(count);
    }
    return true;
}

} // namespace

AdminListener::~AdminListener() {
    for (Connection& connection : connections) {
        ::close(connection.fd);
    }
    if (fd >= 0) {
        ::close(fd);
        ::unlink(socketPath.c_str());
    }
}

std::string AdminListener::listen(const std::string& path) {
    sockaddr_un address;
    if (!unixAddress(path, address)) {
        return "cannot listen on " + path + ": the path is too long for a socket";
    }
    std::string refusal = claim(path);
    if (!refusal.empty()) {
        return "cannot listen on " + path + ": " + refusal;
    }
    int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // Nobody can connect before listen(), so the mode is right before anyone can use it.
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(path.c_str(), 0660) != 0 || ::listen(listener, 8) != 0) {
        std::string failure = "cannot listen on " + path + ": " + reasonOf(errno);
        if (listener >= 0) {
            ::close(listener);
        }
        return failure;
    }
    fd = listener;
    socketPath = path;
    return "";
}

void AdminListener::serve(Clock::time_point now, const Answerer& answer) {
    acceptWaiting(now);
    for (auto connection = connections.begin(); connection != connections.end();) {
        if (progress(*connection, answer) || now >= connection->deadline) {
            ::close(connection->fd);
            connection = connections.erase(connection);
        } else {
            ++connection;
        }
    }
}

// Those beyond the few served wait in the listen queue.
void AdminListener::acceptWaiting(Clock::time_point now) {
    while (fd >= 0 && connections.size() < maxConnections) {
        int accepted = ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (accepted < 0) {
            return;
        }
        Connection connection;
        connection.fd = accepted;
        connection.deadline = now + connectionTime;
        connections.push_back(std::move(connection));
    }
}

bool AdminListener::progress(Connection& connection, const Answerer& answer) {
    RequestBuffer::State state = RequestBuffer::State::incomplete;
    char buffer[maxAdminRequest];
    while (connection.reply.empty() && state == RequestBuffer::State::incomplete) {
        ssize_t count = ::recv(connection.fd, buffer, sizeof(buffer), 0);
        if (count < 0) {
            return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
        }
        state = count == 0 ? connection.request.finish()
                           : connection.request.add(std::string_view(buffer, size_t(count)));
        if (state == RequestBuffer::State::complete) {
            connection.reply = answer(connection.request.line());
        } else if (state == RequestBuffer::State::tooLong) {
            connection.reply = formatAdminReply(
                false, "a request is at most " + std::to_string(maxAdminRequest) + " bytes");
        }
    }
    ssize_t count = ::send(connection.fd, connection.reply.data() + connection.sent,
                           connection.reply.size() - connection.sent, MSG_NOSIGNAL);
    if (count < 0) {
        return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
    }
    connection.sent += size_t(count);
    return connection.sent == connection.reply.size();
}

AdminExchange askServer(const std::string& path, const std::string& request,
                        std::chrono::milliseconds timeout) {
    int fd = connectTo(path, timeout);
    if (fd < 0) {
        return {"", "no server listening at " + path + ": " + reasonOf(errno)};
    }
    AdminExchange exchange;
    if (!sendAll(fd, request + "\n") || ::shutdown(fd, SHUT_WR) != 0) {
        exchange.error = "cannot send to the server at " + path + ": " + reasonOf(errno);
    }
    char buffer[4096];
    while (exchange.error.empty()) {
        ssize_t count = ::recv(fd, buffer, sizeof(buffer), 0);
        if (count == 0) {
            break;
        }
        if (count < 0 || exchange.reply.size() + size_t(count) > maxReply) {
            exchange.error = "no reply from the server at " + path +
                             (count < 0 ? ": " + reasonOf(errno) : ": it goes on without end");
        } else {
            exchange.reply.append(buffer, size_t(count));
        }
    }
    ::close(fd);
    return exchange;
}
