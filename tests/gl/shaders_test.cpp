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
    ASSERT_FALSE(app.empty());
    EXPECT_NE(app.back(), '/');
    EXPECT_EQ(getResourcePath("vsLight"), app + "/Contents/Resources/vsLight");
    EXPECT_TRUE(std::ifstream(getResourcePath("vsLight")).good());
    EXPECT_EQ(getResourcePath("/x"), app + "/Contents/Resources//x");
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
    EXPECT_EXIT(
        {
            sendStdoutToStderr();
            getShaderCode(path);
        },
        ::testing::ExitedWithCode(0), "Can't open: " + path);
}

using ShaderBuild = GlTest;

TEST_F(ShaderBuild, LoadingReportsEachStepInOrder) {
    CaptureStdout();
    GLuint program = loadShaders("vsLight", "fsLight");
    const std::string output = GetCapturedStdout();
    EXPECT_NE(program, 0u);
    EXPECT_EQ(output, "Loading Shader Code\n"
                      "Compiling Vertex Shader  : vsLight\n"
                      "Compiling Fragment Shader: fsLight\n"
                      "Linking Program\n"
                      "Returning Program ID: " +
                          std::to_string(program) + "\n\n");
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
}

TEST_F(ShaderBuild, CompilerComplaintsArePrinted) {
    GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    CaptureStdout();
    compileShader("#version 150 core\nvoid main() { undeclared = 1.0; }\n", shader);
    const std::string output = GetCapturedStdout();
    glDeleteShader(shader);
    const std::string heading = "Error(s) when compiling shader:\n";
    ASSERT_EQ(output.substr(0, heading.size()), heading);
    EXPECT_NE(output.find("undeclared"), std::string::npos) << output;
}

// Builds a program from the resource files and fails the test on any compiler or linker text.
GLuint buildQuietly(const std::string& vertex, const std::string& fragment) {
    CaptureStdout();
    GLuint program = loadShaders(vertex, fragment);
    const std::string output = GetCapturedStdout();
    EXPECT_EQ(output.find("Error(s)"), std::string::npos) << output;
    return program;
}

TEST_F(ShaderBuild, SolidColorProgramFindsItsInputs) {
    SolidColorProgram p(buildQuietly("vsSolidColor", "fsSolidColor"));
    EXPECT_EQ(p.aVertexPosLocation, 0);
    EXPECT_NE(p.mvpMatLocation, -1);
    EXPECT_NE(p.materialColorLocation, -1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderBuild, SimpleTextureProgramFindsItsInputs) {
    SimpleTextureProgram p(buildQuietly("vsSimpleTexture", "fsSimpleTexture"));
    EXPECT_EQ(p.aVertexPosLocation, 0);
    EXPECT_EQ(p.aVertexUVLocation, 1);
    EXPECT_NE(p.mvpMatLocation, -1);
    EXPECT_NE(p.texSamplerLocation, -1);
    EXPECT_NE(p.uColorLocation, -1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderBuild, LightProgramFindsItsInputs) {
    LightProgram p(buildQuietly("vsLight", "fsLight"));
    EXPECT_EQ(p.aVertexPosLocation, 0);
    EXPECT_EQ(p.aVertexUVLocation, 1);
    EXPECT_EQ(p.aVertexNormLocation, 2);
    for (int location : {p.pMatLocation, p.mvMatLocation, p.nMatLocation, p.materialColorLocation,
                         p.materialShineLocation, p.ambientColorLocation, p.numPointLightsLocation,
                         p.pointLightPosLocation, p.pointLightColorLocation,
                         p.pointLightRadiusLocation, p.texSamplerLocation}) {
        EXPECT_NE(location, -1);
    }
    GLint size = 0;
    GLenum type = 0;
    char name[64];
    GLint uniforms = 0;
    glGetProgramiv(p.program, GL_ACTIVE_UNIFORMS, &uniforms);
    for (GLint i = 0; i < uniforms; ++i) {
        glGetActiveUniform(p.program, GLuint(i), sizeof name, nullptr, &size, &type, name);
        if (std::string(name).rfind("pointLight", 0) == 0) {
            EXPECT_EQ(size, LightProgram::maxPointLights) << name;
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
