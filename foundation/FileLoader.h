#ifndef CUBEFRAY_FILELOADER_H
#define CUBEFRAY_FILELOADER_H

#include <cstddef>
#include <fstream>
#include <optional>
#include <string>

// What the client says of a file it cannot open, as the last words before it stops.
std::string cannotOpenFailure(const std::string& path);
// Opens path for reading; cannotOpenFailure(path) when it cannot, empty when it opened.
[[nodiscard]] std::string openFile(const std::string& path, std::ifstream& file);
// All lines of the file joined with their line feeds removed (carriage returns stay); nothing
// when the file cannot be opened.
std::optional<std::string> fileStringContents(const std::string& path);

// The bytes of a whole regular file, or why they could not be had; the caller says it in its
// own words and goes on.
struct FileBytes {
    enum class Problem { none, cannotOpen, cannotRead, tooLarge };

    std::string bytes;
    Problem problem = Problem::none;
};
// A file over maxBytes is refused before anything is read, so a wrong path cannot fill memory.
FileBytes readFileBytes(const std::string& path, size_t maxBytes);

#endif
