#include "Connection.h"

void Connection::start(const std::string& host, int port, double now) {
    std::string address = host + ":" + std::to_string(port);
    connecting = "Connecting to " + address + "...";
    noAnswer = "No answer from " + address;
    reconnecting = "Reconnecting to " + address + "...";
    // Silence is counted from the start: a server that never answers is reported like one that
    // went quiet.
    lastHeard = now;
    lastJoin = now;
}

bool Connection::joinDue(double now) const {
    bool unanswered = !isAdmitted || status(now) == Status::reconnecting;
    return unanswered && !isRefused && now - lastJoin >= joinInterval;
}

Connection::Status Connection::status(double now) const {
    if (isRefused) {
        return Status::serverFull;
    }
    bool silent = now - lastHeard >= silenceLimit;
    if (!isAdmitted) {
        return silent ? Status::noAnswer : Status::connecting;
    }
    if (!silent) {
        return Status::playing;
    }
    // The loss is told for one join interval before the joins go out again.
    return now - lastHeard >= silenceLimit + joinInterval ? Status::reconnecting : Status::lost;
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
    case Status::reconnecting:
        return reconnecting;
    default:
        return none;
    }
}
