#include "Shaders.h"

#include "FilePath.h"

#include <epoxy/gl.h>

#include <fstream>
#include <iostream>
#include <type_traits>
#include <vector>

static_assert(std::is_same<GLuint, unsigned int>::value, "headers pass GL names as unsigned int");

ShaderCode getShaderCode(const std::string& path) {
    std::ifstream file(path);
    if (!file.is_open()) {
        return {"", "Can't open: " + path + "\n"};
    }
    ShaderCode source;
    std::string line;
    while (std::getline(file, line, '\n')) {
        source.code += '\n';
        source.code += line;
    }
    return source;
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

// A shader object compiled from a file in the resource directory, or the failure to stop on.
struct CompiledShader {
    GLuint shader = 0;
    std::string failure;
};

CompiledShader compileResource(GLenum kind, const std::string& name) {
    ShaderCode source = getShaderCode(getResourcePath(name));
    if (!source.failure.empty()) {
        return {0, source.failure};
    }
    GLuint shader = glCreateShader(kind);
    compileShader(source.code, shader);
    return {shader, ""};
}

} // namespace

void compileShader(std::string code, GLuint shader) {
    const char* source = code.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);

    printInfoLog(shader, glGetShaderiv, glGetShaderInfoLog, "Error(s) when compiling shader:\n");
}

LoadedProgram loadShaders(const std::string& vertexName, const std::string& fragmentName) {
    std::cout << "Loading Shader Code\n";
    std::cout << "Compiling Vertex Shader  : " << vertexName << std::endl;
    CompiledShader vertex = compileResource(GL_VERTEX_SHADER, vertexName);
    if (!vertex.failure.empty()) {
        return {0, vertex.failure};
    }
    std::cout << "Compiling Fragment Shader: " << fragmentName << std::endl;
    CompiledShader fragment = compileResource(GL_FRAGMENT_SHADER, fragmentName);
    if (!fragment.failure.empty()) {
        glDeleteShader(vertex.shader);
        return {0, fragment.failure};
    }

    std::cout << "Linking Program\n";
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex.shader);
    glAttachShader(program, fragment.shader);
    glLinkProgram(program);

    printInfoLog(program, glGetProgramiv, glGetProgramInfoLog, "Error(s) when linking program:\n");

    glDeleteShader(vertex.shader);
    glDeleteShader(fragment.shader);
    std::cout << "Returning Program ID: " << program << "\n\n";
    return {program, ""};
}
