#ifndef CUBEFRAY_SHADERS_H
#define CUBEFRAY_SHADERS_H

#include <string>

// GLSL source of a file, every line preceded by a line feed. A file that cannot be opened ends
// the process with status 0.
std::string getShaderCode(std::string path);
// Compiles code into the shader object and prints the compiler's log when it has one.
void compileShader(std::string code, unsigned int shader);
// Builds a program from two shader files in the resource directory and returns its name.
unsigned int loadShaders(std::string vertexName, std::string fragmentName);

#endif
