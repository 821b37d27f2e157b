#ifndef CUBEFRAY_FILEPATH_H
#define CUBEFRAY_FILEPATH_H

#include <string>

// Directory of the running executable, without a trailing separator. When the system will not
// tell, the current directory ".".
std::string getAppPath();
// Where the client keeps its shaders, images and map: Contents/Resources beside the executable.
// The name is appended as given.
std::string getResourcePath(std::string name);

#endif
