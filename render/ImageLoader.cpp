#include "ImageLoader.h"

#include <epoxy/gl.h>
#include <lodepng.h>

#include <algorithm>
#include <future>
#include <iostream>
#include <map>
#include <mutex>
#include <type_traits>

static_assert(std::is_same<GLuint, unsigned int>::value, "textures are named by unsigned int");

namespace {

bool isPowerOfTwo(unsigned n) {
    return n != 0 && (n & (n - 1)) == 0;
}

unsigned char halfway(unsigned char a, unsigned char b) {
    return static_cast<unsigned char>((unsigned(a) + unsigned(b) + 1) >> 1);
}

// Images being decoded ahead of time, by path. A future from std::async waits for its decoder
// when it goes, so a process that ends early never leaves one running.
struct Prefetched {
    std::mutex mutex;
    std::map<std::string, std::shared_future<DecodedImage>> images;
};

Prefetched& prefetched() {
    static Prefetched instance;
    return instance;
}

DecodedImage takeDecoded(const std::string& path) {
    std::shared_future<DecodedImage> pending;
    {
        Prefetched& cache = prefetched();
        std::lock_guard<std::mutex> lock(cache.mutex);
        auto found = cache.images.find(path);
        if (found == cache.images.end()) {
            return decodeImage(path);
        }
        pending = found->second;
        cache.images.erase(found);
    }
    return pending.get();
}

} // namespace

void flipRowsVertically(std::vector<unsigned char>& pixels, unsigned width, unsigned height) {
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (rowBytes == 0 || height > pixels.size() / rowBytes) {
        return;
    }
    for (size_t i = 0; i < height / 2; ++i) {
        auto top = pixels.begin() + static_cast<std::ptrdiff_t>(i * rowBytes);
        auto bottom = pixels.begin() + static_cast<std::ptrdiff_t>((height - 1 - i) * rowBytes);
        std::swap_ranges(top, top + static_cast<std::ptrdiff_t>(rowBytes), bottom);
    }
}

std::vector<unsigned char> halveImage(const std::vector<unsigned char>& pixels, unsigned width,
                                      unsigned height) {
    const unsigned halfWidth = std::max(1u, width / 2);
    const unsigned halfHeight = std::max(1u, height / 2);
    std::vector<unsigned char> half(size_t(halfWidth) * halfHeight * 4);
    if (pixels.size() < size_t(width) * height * 4) {
        return half;
    }
    auto at = [&](unsigned x, unsigned y, unsigned channel) {
        return pixels[(size_t(std::min(y, height - 1)) * width + std::min(x, width - 1)) * 4 +
                      channel];
    };
    for (unsigned y = 0; y < halfHeight; ++y) {
        for (unsigned x = 0; x < halfWidth; ++x) {
            for (unsigned c = 0; c < 4; ++c) {
                unsigned char low = halfway(at(2 * x, 2 * y, c), at(2 * x + 1, 2 * y, c));
                unsigned char high = halfway(at(2 * x, 2 * y + 1, c), at(2 * x + 1, 2 * y + 1, c));
                half[(size_t(y) * halfWidth + x) * 4 + c] = halfway(low, high);
            }
        }
    }
    return half;
}

DecodedImage decodeImage(const std::string& path) {
    DecodedImage image;
    std::vector<unsigned char> pixels;
    image.error = lodepng::decode(pixels, image.width, image.height, path, LCT_RGBA, 8);
    if (image.error) {
        return image;
    }
    flipRowsVertically(pixels, image.width, image.height);
    image.levels.push_back(std::move(pixels));
    // Other sizes are left to the driver, which filters them its own way.
    if (!isPowerOfTwo(image.width) || !isPowerOfTwo(image.height)) {
        return image;
    }
    for (unsigned w = image.width, h = image.height; w > 1 || h > 1;
         w = std::max(1u, w / 2), h = std::max(1u, h / 2)) {
        image.levels.push_back(halveImage(image.levels.back(), w, h));
    }
    return image;
}

void prefetchImages(const std::vector<std::string>& paths) {
    std::shared_future<DecodedImage> previous;
    Prefetched& cache = prefetched();
    std::lock_guard<std::mutex> lock(cache.mutex);
    for (const std::string& path : paths) {
        // One after another on one thread: the other core is busy starting the window.
        std::shared_future<DecodedImage> next = std::async(std::launch::async, [path, previous] {
                                                    if (previous.valid()) {
                                                        previous.wait();
                                                    }
                                                    return decodeImage(path);
                                                }).share();
        cache.images[path] = next;
        previous = next;
    }
}

LoadedTexture loadTexture(const std::string& path) {
    std::cout << "Loading image file: " + path << std::endl;
    DecodedImage image = takeDecoded(path);
    if (image.error) {
        return {0, "LodePNG decoder error " + std::to_string(image.error) + ": " +
                       lodepng_error_text(image.error) + "\nEXITING\n\n"};
    }
    std::cout << "Image Size: " << image.levels.front().size() << " Width: " << image.width
              << " Height: " << image.height << std::endl;

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The rows are packed; say so rather than depend on whatever alignment was set last.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLsizei width = static_cast<GLsizei>(image.width);
    GLsizei height = static_cast<GLsizei>(image.height);
    for (size_t level = 0; level < image.levels.size(); ++level) {
        glTexImage2D(GL_TEXTURE_2D, GLint(level), GL_RGBA, width, height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image.levels[level].data());
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
    }
    if (image.levels.size() == 1) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    std::cout << "Returning texture ID\n\n";
    return {texture, ""};
}
