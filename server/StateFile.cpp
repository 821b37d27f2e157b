#include "StateFile.h"

#include "FileLoader.h"
#include "UdpEndpoint.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// A thousand bans take some 30 kB; a larger file is no file of ours.
const size_t maxStateFileBytes = 1 << 20;

std::string writeAll(int fd, const std::string& text) {
    for (size_t written = 0; written < text.size();) {
        ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno != EINTR) {
            return reasonOf(errno);
        }
        written += count > 0 ? size_t(count) : 0;
    }
    return ::fsync(fd) == 0 ? "" : reasonOf(errno);
}

} // namespace

std::string banFilePath(const std::string& stateFolder) {
    return (std::filesystem::path(stateFolder) / "bans").string();
}

BanState readBanState(const std::string& path) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {};
    }
    if (error) {
        return {{}, "cannot read " + path + ": " + error.message()};
    }
    FileBytes file = readFileBytes(path, maxStateFileBytes);
    switch (file.problem) {
    case FileBytes::Problem::none:
        return {parseBanFile(file.bytes), ""};
    case FileBytes::Problem::tooLarge:
        return {{}, "cannot read " + path + ": larger than a state file can be"};
    default:
        return {{}, "cannot read " + path};
    }
}

std::string replaceFile(const std::string& path, const std::string& text) {
    std::string temporary = path + ".new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0640);
    if (fd < 0) {
        return "cannot write " + temporary + ": " + reasonOf(errno);
    }
    std::string failure = writeAll(fd, text);
    if (::close(fd) != 0 && failure.empty()) {
        failure = reasonOf(errno);
    }
    if (failure.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) {
        failure = reasonOf(errno);
    }
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return "cannot write " + path + ": " + failure;
    }
    return "";
}
