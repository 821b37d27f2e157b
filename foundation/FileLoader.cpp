#include "FileLoader.h"

#include <filesystem>

std::string cannotOpenFailure(const std::string& path) {
    return "Error reading file at: " + path;
}

std::string openFile(const std::string& path, std::ifstream& file) {
    file.open(path, std::ios::in);
    return file.fail() || file.bad() ? cannotOpenFailure(path) : "";
}

std::optional<std::string> fileStringContents(const std::string& path) {
    std::ifstream file;
    if (!openFile(path, file).empty()) {
        return std::nullopt;
    }
    std::string contents;
    std::string line;
    while (std::getline(file, line)) {
        contents += line;
    }
    return contents;
}

FileBytes readFileBytes(const std::string& path, size_t maxBytes) {
    std::error_code error;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!std::filesystem::is_regular_file(path, error) || !file) {
        return {"", FileBytes::Problem::cannotOpen};
    }
    std::streamoff size = file.tellg();
    if (size < 0) {
        return {"", FileBytes::Problem::cannotRead};
    }
    if (size_t(size) > maxBytes) {
        return {"", FileBytes::Problem::tooLarge};
    }
    std::string bytes(size_t(size), '\0');
    file.seekg(0);
    if (!file.read(bytes.data(), size)) {
        return {"", FileBytes::Problem::cannotRead};
    }
    return {bytes, FileBytes::Problem::none};
}
