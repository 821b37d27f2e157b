#ifndef CUBEFRAY_FILELOADER_H
#define CUBEFRAY_FILELOADER_H

#include <cstddef>
#include <fstream>
#include <string>

// Opens path for reading; a file that cannot be opened ends the process with status 0.
void openFile(std::string path, std::ifstream& file);
// All lines of the file joined with their line feeds removed (carriage returns stay).
std::string fileStringContents(std::string path);

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
