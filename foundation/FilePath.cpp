#include "FilePath.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// "/usr" for "/usr/bin", "" (the root, to which a separator is appended) for "/bin", and
// "./.." for "." or any other path without a separator.
std::string parentDirectory(const std::string& path) {
    size_t separator = path.find_last_of('/');
    if (separator == std::string::npos) {
        return path + "/..";
    }
    return path.substr(0, separator);
}

} // namespace

std::string getAppPath() {
    // readlink neither terminates nor reports truncation, so grow until the link fits.
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return ".";
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<size_t>(length));
            return path.substr(0, path.find_last_of('/'));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string resourceDirectoryFor(const std::string& appPath, const std::string& folder) {
    std::string beside = appPath + "/Contents/Resources/";
    std::error_code error;
    if (std::filesystem::is_directory(beside, error)) {
        return beside;
    }
    return parentDirectory(appPath) + "/share/" + folder + "/";
}

std::string getResourcePath(std::string name) {
    return resourceDirectoryFor(getAppPath()) + name;
}
