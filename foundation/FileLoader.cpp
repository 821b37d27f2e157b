#include "FileLoader.h"

#include <cstdlib>
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
