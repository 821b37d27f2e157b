#include "Connection.h"

void Connection::start(const std::string& host, int port, double now) {
    std::string address = host + ":" + std::to_string(port);
    connecting = "Connecting to " + address + "...";
    noAnswer = "No answer from " + address;
    // Silence is counted from the start: a server that never answers is reported like one that
    // went quiet.
    lastHeard = now;
    lastJoin = now;
}

bool Connection::joinDue(double now) const {
    return !isAdmitted && !isRefused && now - lastJoin >= joinInterval;
}

Connection::Status Connection::status(double now) const {
    if (isRefused) {
        return Status::serverFull;
    }
    bool silent = now - lastHeard >= silenceLimit;
    if (!isAdmitted) {
        return silent ? Status::noAnswer : Status::connecting;
    }
    return silent ? Status::lost : Status::playing;
}

const std::string& Connection::notice(double now) const {
    switch (status(now)) {
    case Status::connecting:
        return connecting;
    case Status::noAnswer:
        return noAnswer;
    case Status::serverFull:
        return serverFull;
    case Status::lost:
        return lost;
    default:
        return none;
    }
}
