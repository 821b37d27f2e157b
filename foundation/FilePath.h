#ifndef CUBEFRAY_FILEPATH_H
#define CUBEFRAY_FILEPATH_H

#include <string>

// Directory of the running executable, without a trailing separator. When the system will not
// tell, the current directory ".".
std::string getAppPath();
// Where the programs keep their shaders, images and map, for an executable in appPath:
// Contents/Resources beside it, as in the build folder, or, when that folder does not exist,
// share/FOLDER beside the executable's folder, as installed: share/cubefray for the game's, and
// share/cubefray-server for the server's, packaged apart. Ends in a separator.
std::string resourceDirectoryFor(const std::string& appPath,
                                 const std::string& folder = "cubefray");
// The named resource in the running executable's resource directory, whether or not it exists.
std::string getResourcePath(std::string name);

#endif
