#include "Shaders.h"

#include "FilePath.h"

#include <epoxy/gl.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <type_traits>
#include <vector>

static_assert(std::is_same<GLuint, unsigned int>::value, "headers pass GL names as unsigned int");

std::string getShaderCode(std::string path) {
    std::ifstream file(path);
    if (!file.is_open()) {
        std::cout << "Can't open: " + path << std::endl;
        exit(0);
    }
    std::string code;
    std::string line;
    while (std::getline(file, line, '\n')) {
        code += '\n';
        code += line;
    }
    return code;
}

namespace {

// Prints a shader's or program's log under its heading; the status is not consulted, so warnings
// show as well as errors.
template <typename GetParameter, typename GetLog>
void printInfoLog(GLuint object, GetParameter getParameter, GetLog getLog, const char* heading) {
    GLint logLength = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 0) {
        std::vector<char> log(static_cast<size_t>(logLength) + 1, '\0');
        getLog(object, logLength, nullptr, log.data());
        std::cout << heading << log.data() << std::endl;
    }
}

} // namespace

void compileShader(std::string code, GLuint shader) {
    const char* source = code.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);

    printInfoLog(shader, glGetShaderiv, glGetShaderInfoLog, "Error(s) when compiling shader:\n");
}

GLuint loadShaders(std::string vertexName, std::string fragmentName) {
    std::cout << "Loading Shader Code\n";
    std::string vertexPath = getResourcePath(vertexName);
    std::string fragmentPath = getResourcePath(fragmentName);
    GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);

    std::cout << "Compiling Vertex Shader  : " << vertexName << std::endl;
    compileShader(getShaderCode(vertexPath), vertexShader);
    std::cout << "Compiling Fragment Shader: " << fragmentName << std::endl;
    compileShader(getShaderCode(fragmentPath), fragmentShader);

    std::cout << "Linking Program\n";
    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);

    printInfoLog(program, glGetProgramiv, glGetProgramInfoLog, "Error(s) when linking program:\n");

    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    std::cout << "Returning Program ID: " << program << "\n\n";
    return program;
}
