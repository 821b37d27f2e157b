#ifndef CUBEFRAY_SERVER_STATEFILE_H
#define CUBEFRAY_SERVER_STATEFILE_H

#include "Bans.h"

#include <string>

// The file of the bans in the state folder.
std::string banFilePath(const std::string& stateFolder);

// The bans a state file holds, with a problem for each damaged line; no file is no bans.
struct BanState {
    BanFileRead read;
    // Why the file could not be read at all; empty when it could, or when there is none.
    std::string error;
};
BanState readBanState(const std::string& path);

// Writes the text to a temporary file beside path, then renames it over path, so that whatever
// happens meanwhile the file holds either the old text or the new. Why it could not, or an empty
// string.
std::string replaceFile(const std::string& path, const std::string& text);

#endif
