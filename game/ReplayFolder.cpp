#include "ReplayFolder.h"

#include "FileLoader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

// Larger files are no replay of ours: about ten hours of a full match.
const size_t maxReplayBytes = size_t(256) << 20;

std::vector<std::filesystem::path> replaysIn(const std::string& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == replayExtension && entry.is_regular_file(error)) {
            found.push_back(entry.path());
        }
    }
    // The names begin with the time, so the newest sorts last.
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

std::string replayFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/cubefray/replays";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/share/cubefray/replays";
    }
    return "";
}

std::string isoTime(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string replayFileName(std::time_t start, const std::string& server) {
    std::string name = isoTime(start) + "_" + server;
    for (char& c : name) {
        bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                     c == '.' || c == '-' || c == '_';
        c = plain ? c : '-';
    }
    return name + replayExtension;
}

std::string makeRoomForReplay(const std::string& folder, size_t keep) {
    if (folder.empty()) {
        return "no folder for replays is known";
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return error.message();
    }
    std::vector<std::filesystem::path> replays = replaysIn(folder);
    for (size_t i = 0; i + keep < replays.size() + 1 && i < replays.size(); ++i) {
        std::filesystem::remove(replays[i], error);
    }
    return "";
}

Replay readReplayFile(const std::string& path) {
    FileBytes file = readFileBytes(path, maxReplayBytes);
    if (file.problem != FileBytes::Problem::none) {
        Replay unreadable;
        unreadable.problem = "it cannot be read";
        return unreadable;
    }
    return readReplay(file.bytes);
}

std::vector<ReplayListing> listReplays(const std::string& folder) {
    std::vector<ReplayListing> listings;
    std::vector<std::filesystem::path> replays = replaysIn(folder);
    for (auto path = replays.rbegin(); path != replays.rend(); ++path) {
        ReplayListing listing;
        listing.path = path->string();
        Replay replay = readReplayFile(listing.path);
        listing.header = replay.header;
        listing.length = replay.records.empty() ? 0 : replay.records.back().millis;
        listing.problem = replay.problem;
        listings.push_back(listing);
    }
    return listings;
}
