#include "ImageLoader.h"
#include "gl_test_helpers.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST(FlipRows, SwapsRowsAroundTheMiddle) {
    // Three rows of one pixel each; the middle row stays.
    std::vector<unsigned char> pixels = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    flipRowsVertically(pixels, 1, 3);
    EXPECT_EQ(pixels, (std::vector<unsigned char>{3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1}));

    std::vector<unsigned char> wide = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    flipRowsVertically(wide, 2, 2);
    EXPECT_EQ(wide,
              (std::vector<unsigned char>{9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(FlipRows, SingleRowAndShortBuffersStayUnchanged) {
    const std::vector<unsigned char> row = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<unsigned char> pixels = row;
    flipRowsVertically(pixels, 2, 1);
    EXPECT_EQ(pixels, row);
    // Claims more rows than the buffer holds, with sizes whose byte count overflows.
    flipRowsVertically(pixels, 2, 3);
    flipRowsVertically(pixels, 0x80000000u, 0x80000000u);
    EXPECT_EQ(pixels, row);
}

using TextureLoading = GlTest;

TEST_F(TextureLoading, OddWidthImageArrivesBottomRowFirst) {
    // 3 x 2, top row first as PNG stores it; every texel different.
    std::vector<unsigned char> png;
    for (unsigned char k = 0; k < 6; ++k) {
        png.insert(png.end(), {static_cast<unsigned char>(10 * k), static_cast<unsigned char>(k),
                               static_cast<unsigned char>(200 - k), 255});
    }
    const std::string path = writeTempPng("odd.png", png, 3, 2);

    CaptureStdout();
    GLuint texture = loadTexture(path);
    const std::string output = GetCapturedStdout();
    EXPECT_EQ(output, "Loading image file: " + path +
                          "\nImage Size: 24 Width: 3 Height: 2\nReturning texture ID\n\n");

    ASSERT_TRUE(glIsTexture(texture));
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<unsigned char> texels(24);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    std::vector<unsigned char> expected(png.begin() + 12, png.end());
    expected.insert(expected.end(), png.begin(), png.begin() + 12);
    EXPECT_EQ(texels, expected);

    GLint mipWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &mipWidth);
    EXPECT_EQ(mipWidth, 1);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_LINEAR);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(TextureLoadingDeathTest, UndecodableFileEndsTheProcessQuietly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string broken = writeTempFile("broken.png", "\x89PNG\r\n\x1a\nnot really");
    EXPECT_EXIT(
        {
            sendStdoutToStderr();
            loadTexture(broken);
        },
        ::testing::ExitedWithCode(0),
        "Loading image file: .*broken.png\nLodePNG decoder error [0-9]+: [^\n]+\nEXITING\n\n$");
    const std::string missing = ::testing::TempDir() + "missing.png";
    EXPECT_EXIT(
        {
            sendStdoutToStderr();
            loadTexture(missing);
        },
        ::testing::ExitedWithCode(0), "LodePNG decoder error 78: [^\n]+\nEXITING");
}

} // namespace
