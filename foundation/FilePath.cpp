#include "FilePath.h"

#include <unistd.h>

#include <vector>

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

std::string getResourcePath(std::string name) {
    return getAppPath() + "/Contents/Resources/" + name;
}
