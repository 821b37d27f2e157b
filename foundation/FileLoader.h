#ifndef CUBEFRAY_FILELOADER_H
#define CUBEFRAY_FILELOADER_H

#include <fstream>
#include <string>

// Opens path for reading; a file that cannot be opened ends the process with status 0.
void openFile(std::string path, std::ifstream& file);
// All lines of the file joined with their line feeds removed (carriage returns stay).
std::string fileStringContents(std::string path);

#endif
