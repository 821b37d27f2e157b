#include "FilePath.h"
#include "LightProgram.h"
#include "Shaders.h"
#include "SimpleTextureProgram.h"
#include "SolidColorProgram.h"
#include "gl_test_helpers.h"

#include <fstream>

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST(FilePath, ResourcesLieBesideTheExecutable) {
    const std::string app = getAppPath();
    EXPECT_TRUE(!app.empty() && app.back() != '/') << app;
    EXPECT_EQ(getResourcePath("/x"), app + "/Contents/Resources//x");
    EXPECT_TRUE(std::ifstream(getResourcePath("vsLight")).good());
}

TEST(ShaderCode, EveryLineIsPrecededByALineFeed) {
    EXPECT_EQ(getShaderCode(writeTempFile("two_lines", "a\nb")), "\na\nb");
    EXPECT_EQ(getShaderCode(writeTempFile("two_lines_ended", "a\nb\n")), "\na\nb");
    EXPECT_EQ(getShaderCode(writeTempFile("blank_line", "a\n\nb")), "\na\n\nb");
    EXPECT_EQ(getShaderCode(writeTempFile("empty", "")), "");
}

TEST(ShaderCodeDeathTest, MissingFileEndsTheProcessQuietly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = ::testing::TempDir() + "no_such_shader";
    EXPECT_EXIT((sendStdoutToStderr(), getShaderCode(path)), ::testing::ExitedWithCode(0),
                "Can't open: " + path);
}

using ShaderBuild = GlTest;

// Builds a program from the resource files: the steps in order and not a word from the compiler
// or the linker.
GLuint build(const std::string& vertex, const std::string& fragment) {
    CaptureStdout();
    const GLuint program = loadShaders(vertex, fragment);
    EXPECT_EQ(GetCapturedStdout(),
              "Loading Shader Code\nCompiling Vertex Shader  : " + vertex +
                  "\nCompiling Fragment Shader: " + fragment +
                  "\nLinking Program\nReturning Program ID: " + std::to_string(program) + "\n\n");
    return program;
}

TEST_F(ShaderBuild, ProgramsLinkQuietlyAndFindTheirInputsWhileBrokenCodeIsComplainedAbout) {
    SolidColorProgram solid(build("vsSolidColor", "fsSolidColor"));
    SimpleTextureProgram simple(build("vsSimpleTexture", "fsSimpleTexture"));
    LightProgram lit(build("vsLight", "fsLight"));
    EXPECT_EQ((std::vector<int>{solid.aVertexPosLocation, simple.aVertexPosLocation,
                                simple.aVertexUVLocation, lit.aVertexPosLocation,
                                lit.aVertexUVLocation, lit.aVertexNormLocation}),
              (std::vector<int>{0, 0, 1, 0, 1, 2}));
    int k = 0;
    for (int location :
         {solid.mvpMatLocation, solid.materialColorLocation, simple.mvpMatLocation,
          simple.texSamplerLocation, simple.uColorLocation, lit.pMatLocation, lit.mvMatLocation,
          lit.nMatLocation, lit.materialColorLocation, lit.materialShineLocation,
          lit.ambientColorLocation, lit.numPointLightsLocation, lit.pointLightPosLocation,
          lit.pointLightColorLocation, lit.pointLightRadiusLocation, lit.texSamplerLocation}) {
        EXPECT_NE(location, -1) << "uniform " << k++;
    }
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

} // namespace
