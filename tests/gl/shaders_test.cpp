#include "FilePath.h"
#include "LightProgram.h"
#include "Shaders.h"
#include "gl_test_helpers.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

using ShaderBuild = GlTest;

// Builds a program from the resource files: the steps in order and not a word from the compiler
// or the linker.
GLuint build(const std::string& vertex, const std::string& fragment) {
    CaptureStdout();
    const LoadedProgram loaded = loadShaders(vertex, fragment);
    EXPECT_EQ(GetCapturedStdout(), "Loading Shader Code\nCompiling Vertex Shader  : " + vertex +
                                       "\nCompiling Fragment Shader: " + fragment +
                                       "\nLinking Program\nReturning Program ID: " +
                                       std::to_string(loaded.program) + "\n\n");
    EXPECT_EQ(loaded.failure, "");
    return loaded.program;
}

// A misnamed uniform or input shows in the drawing tests; the builds are checked here.
TEST_F(ShaderBuild, ProgramsBuildQuietlyWhileBrokenCodeIsComplainedAbout) {
    build("vsSolidColor", "fsSolidColor");
    build("vsSimpleTexture", "fsSimpleTexture");
    LightProgram lit(build("vsLight", "fsLight"));
    // Lights past the shader's arrays would be dropped without a GL error.
    const char* arrays[] = {"pointLightPos", "pointLightColor", "pointLightRadius"};
    GLuint indices[3];
    glGetUniformIndices(lit.program, 3, arrays, indices);
    GLint sizes[3] = {};
    glGetActiveUniformsiv(lit.program, 3, indices, GL_UNIFORM_SIZE, sizes);
    EXPECT_EQ(std::vector<GLint>(sizes, sizes + 3),
              std::vector<GLint>(3, LightProgram::maxPointLights));

    // Without this the quiet builds above would prove nothing.
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    CaptureStdout();
    compileShader("#version 150 core\nvoid main() { undeclared = 1.0; }\n", shader);
    const std::string output = GetCapturedStdout();
    EXPECT_EQ(output.rfind("Error(s) when compiling shader:\n", 0), 0u) << output;
    EXPECT_NE(output.find("undeclared"), std::string::npos) << output;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The client prints the failure and stops: nothing may come between the step and the failure.
TEST_F(ShaderBuild, AMissingFileStopsTheBuildAtItsStep) {
    CaptureStdout();
    const LoadedProgram missing = loadShaders("vsMissing", "fsLight");
    EXPECT_EQ(GetCapturedStdout(), "Loading Shader Code\nCompiling Vertex Shader  : vsMissing\n");
    EXPECT_EQ(missing.failure, "Can't open: " + getResourcePath("vsMissing") + "\n");
    EXPECT_EQ(missing.program, 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
