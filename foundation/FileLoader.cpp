#include "FileLoader.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

void openFile(std::string path, std::ifstream& file) {
    file.open(path, std::ios::in);
    if (file.fail() || file.bad()) {
        std::cout << "Error reading file at: " << path << std::flush;
        std::exit(0);
    }
}

std::string fileStringContents(std::string path) {
    std::ifstream file;
    openFile(path, file);
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
