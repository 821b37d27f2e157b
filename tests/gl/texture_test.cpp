#include "ImageLoader.h"
#include "gl_test_helpers.h"

#include <lodepng.h>

namespace {

TEST(FlipRows, SwapsWholeRowsAroundTheMiddleAndLeavesShortBuffersAlone) {
    // Two pixels a row, three rows; the middle row stays.
    std::vector<unsigned char> pixels = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,
                                         4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6};
    flipRowsVertically(pixels, 2, 3);
    const std::vector<unsigned char> flipped = {5, 5, 5, 5, 6, 6, 6, 6, 3, 3, 3, 3,
                                                4, 4, 4, 4, 1, 1, 1, 1, 2, 2, 2, 2};
    EXPECT_EQ(pixels, flipped);
    // No rows at all, more rows than the buffer holds, and sizes whose byte count overflows.
    flipRowsVertically(pixels, 0, 3);
    flipRowsVertically(pixels, 2, 4);
    flipRowsVertically(pixels, 0x80000000u, 0x80000000u);
    EXPECT_EQ(pixels, flipped);
}

TEST(Mipmaps, EachLevelHalvesAcrossThenDownWithRounding) {
    // Across first: (0, 0) -> 0 and (0, 1) -> 1, then (0, 1) -> 1, where the mean would be 0.
    std::vector<unsigned char> block = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    EXPECT_EQ(halveImage(block, 2, 2), std::vector<unsigned char>({1, 1, 1, 1}));
    // A side of 1 stays 1; the other still halves, averaging along it.
    std::vector<unsigned char> column = {10, 0, 0, 0, 21, 0, 0, 0};
    EXPECT_EQ(halveImage(column, 1, 2), std::vector<unsigned char>({16, 0, 0, 0}));
    // Too few pixels for the size: a blank level, no read beyond the buffer.
    EXPECT_EQ(halveImage(column, 4, 4).size(), 16u);
}

using TextureLoading = GlTest;

TEST_F(TextureLoading, PowerOfTwoImagesComeWithEveryLevelReadyAndPrefetchedOnesMatch) {
    std::vector<unsigned char> png(4 * 2 * 4);
    for (size_t i = 0; i < png.size(); ++i) {
        png[i] = static_cast<unsigned char>(37 * i);
    }
    const std::string path = ::testing::TempDir() + "pot.png";
    ASSERT_EQ(lodepng::encode(path, png, 4, 2), 0u);
    DecodedImage direct = decodeImage(path);
    ASSERT_EQ(direct.levels.size(), 3u);
    prefetchImages({path});
    const LoadedTexture loaded = loadTexture(path);
    ASSERT_EQ(loaded.failure, "");
    glBindTexture(GL_TEXTURE_2D, loaded.texture);
    std::vector<unsigned char> smallest(4);
    glGetTexImage(GL_TEXTURE_2D, 2, GL_RGBA, GL_UNSIGNED_BYTE, smallest.data());
    EXPECT_EQ(smallest, direct.levels[2]);
}

TEST_F(TextureLoading, OddWidthImageArrivesBottomRowFirstWithMipmaps) {
    // 3 x 2, top row first as PNG stores it; every texel different.
    std::vector<unsigned char> png;
    for (unsigned char k = 0; k < 6; ++k) {
        png.insert(png.end(), {static_cast<unsigned char>(10 * k), k,
                               static_cast<unsigned char>(200 - k), 255});
    }
    const std::string path = ::testing::TempDir() + "odd.png";
    ASSERT_EQ(lodepng::encode(path, png, 3, 2), 0u);

    ::testing::internal::CaptureStdout();
    const LoadedTexture loaded = loadTexture(path);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(loaded.failure, "");
    glBindTexture(GL_TEXTURE_2D, loaded.texture);
    std::vector<unsigned char> texels(24);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    std::vector<unsigned char> expected(png.begin() + 12, png.end());
    expected.insert(expected.end(), png.begin(), png.begin() + 12);
    EXPECT_EQ(texels, expected);
    // Without the smaller levels the mipmapping filter would leave the texture incomplete.
    GLint mipWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &mipWidth);
    EXPECT_EQ(mipWidth, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
