#include "LocalServer.h"

#include "StringFloat.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const serverProgram = "cubefray-server";
const char* const portLine = "Cubefray server on port ";
const int startMillis = 5000;
const int stopMillis = 2000;

// Beside the client's own program, as in the build folder and in /usr/bin; else on PATH.
std::string serverPath() {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        std::string folder(self, size_t(length));
        std::string beside = folder.substr(0, folder.rfind('/') + 1) + serverProgram;
        if (access(beside.c_str(), X_OK) == 0) {
            return beside;
        }
    }
    return serverProgram;
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void runServer(const std::string& path, int logFD, pid_t parent, const char* bots,
                            const char* skill) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        _exit(1);
    }
    dup2(logFD, STDOUT_FILENO);
    const char* arguments[] = {path.c_str(), "--address", "127.0.0.1",   "--port", "0",
                               "--bots",     bots,        "--bot-skill", skill,    nullptr};
    execvp(path.c_str(), const_cast<char* const*>(arguments));
    _exit(127);
}

bool waitExited(pid_t child, int millis) {
    for (int waited = 0; waited < millis; waited += 10) {
        if (waitpid(child, nullptr, WNOHANG) == child) {
            return true;
        }
        usleep(10000);
    }
    return false;
}

} // namespace

LocalServer::~LocalServer() {
    stop();
}

std::string LocalServer::start(int bots, SkillLevel skill) {
    stop();
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return std::strerror(errno);
    }
    std::string path = serverPath();
    std::string botCount = std::to_string(bots);
    pid_t parent = getpid();
    child = fork();
    if (child == 0) {
        runServer(path, ends[1], parent, botCount.c_str(), skillName(skill));
    }
    close(ends[1]);
    logFD = ends[0];
    if (child < 0) {
        std::string reason = std::strerror(errno);
        stop();
        return reason;
    }
    std::string failure = awaitPort();
    if (!failure.empty()) {
        stop();
    }
    return failure;
}

std::string LocalServer::awaitPort() {
    std::string log;
    for (int waited = 0; waited < startMillis; waited += 50) {
        pollfd readable{logFD, POLLIN, 0};
        char buffer[512];
        ssize_t got = poll(&readable, 1, 50) > 0 ? read(logFD, buffer, sizeof buffer) : -1;
        if (got == 0) {
            return "the server ended at once (is cubefray-server installed?)";
        }
        if (got > 0) {
            log.append(buffer, size_t(got));
        }
        size_t at = log.find(portLine);
        size_t end = at == std::string::npos ? at : log.find(',', at);
        if (end != std::string::npos) {
            size_t from = at + std::strlen(portLine);
            std::optional<int> port = parseWholeNumber(log.substr(from, end - from));
            if (!port || *port <= 0 || *port > 65535) {
                return "the server named no port";
            }
            boundPort = uint16_t(*port);
            drain = std::thread([fd = logFD] {
                char discarded[4096];
                while (read(fd, discarded, sizeof discarded) > 0) {
                }
            });
            return "";
        }
    }
    return "the server did not start in time";
}

void LocalServer::stop() {
    if (child > 0) {
        kill(child, SIGTERM);
        if (!waitExited(child, stopMillis)) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        child = -1;
    }
    if (drain.joinable()) {
        drain.join();
    }
    if (logFD >= 0) {
        close(logFD);
        logFD = -1;
    }
    boundPort = 0;
}
