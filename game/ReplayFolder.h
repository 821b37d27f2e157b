#ifndef CUBEFRAY_REPLAYFOLDER_H
#define CUBEFRAY_REPLAYFOLDER_H

#include "ReplayFile.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

const char* const replayExtension = ".cfreplay";

// $XDG_DATA_HOME/cubefray/replays, else ~/.local/share/cubefray/replays; empty when neither is
// known.
std::string replayFolder();
// The time in UTC as ISO 8601 has it: 2026-12-07T11:52:03Z.
std::string isoTime(std::time_t time);
// A name for a recording begun at the time on the server: when and where, in an order that
// sorts by time: 2026-12-07T11-52-03Z_127.0.0.1_4000.cfreplay.
std::string replayFileName(std::time_t start, const std::string& server);
// Makes the folder, and removes its oldest replays until keep - 1 are left, making room for one
// more; why it could not, or an empty string.
std::string makeRoomForReplay(const std::string& folder, size_t keep);

// The replay in the file; one that cannot be read says so as its problem.
Replay readReplayFile(const std::string& path);

// A replay of the folder as a list shows it.
struct ReplayListing {
    std::string path;
    ReplayHeader header;
    double length = 0;
    // What is wrong with it, if anything.
    std::string problem;
};

// The replays of the folder, newest first.
std::vector<ReplayListing> listReplays(const std::string& folder);

#endif
