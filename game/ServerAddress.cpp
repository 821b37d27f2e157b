#include "ServerAddress.h"

#include "StringFloat.h"

#include <algorithm>

namespace {

const int maxPort = 65535;
const size_t maxHostLength = 253;

bool fitsInAHostName(char c) {
    return c > ' ' && c < 127 && c != ',' && c != '#' && c != '/' && c != '\\';
}

std::string_view trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::string ServerAddress::text() const {
    return host + ":" + std::to_string(port);
}

bool ServerAddress::operator==(const ServerAddress& other) const {
    return host == other.host && port == other.port;
}

std::optional<ServerAddress> parseServerAddress(std::string_view text) {
    text = trimmed(text);
    size_t colon = text.rfind(':');
    ServerAddress address;
    address.host = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) {
        std::optional<int> port = parseWholeNumber(std::string(text.substr(colon + 1)));
        if (!port || *port < 1 || *port > maxPort) {
            return std::nullopt;
        }
        address.port = *port;
    }
    bool hostFits = !address.host.empty() && address.host.size() <= maxHostLength &&
                    std::all_of(address.host.begin(), address.host.end(), fitsInAHostName) &&
                    address.host.find(':') == std::string::npos;
    if (!hostFits) {
        return std::nullopt;
    }
    return address;
}
