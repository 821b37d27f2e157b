#ifndef CUBEFRAY_SHADERS_H
#define CUBEFRAY_SHADERS_H

#include <string>

// GLSL source of a file, every line preceded by a line feed, or what the client says of a file
// it cannot open before it stops: failure is empty when the code was read.
struct ShaderCode {
    std::string code;
    std::string failure;
};

[[nodiscard]] ShaderCode getShaderCode(const std::string& path);
// Compiles code into the shader object and prints the compiler's log when it has one.
void compileShader(std::string code, unsigned int shader);

// A program's name, or the failure to stop on, empty when the program was built.
struct LoadedProgram {
    unsigned int program = 0;
    std::string failure;
};

// Builds a program from two shader files in the resource directory. A file that cannot be opened
// leaves no GL object behind. A program that does not compile or link is still built: its
// compiler's words are printed and the client goes on.
[[nodiscard]] LoadedProgram loadShaders(const std::string& vertexName,
                                        const std::string& fragmentName);

#endif
