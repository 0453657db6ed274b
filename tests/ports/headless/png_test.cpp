// Tests of saving frames as PNG files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ports/headless/headless.h"
#include "support/png_read.h"

namespace fs = std::filesystem;

namespace {

fs::path tempPath(const std::string& name) {
    return fs::temp_directory_path() /
           ("korvane-png-test-" + std::to_string(::getpid()) + "-" + name);
}

} // namespace

TEST(WritePng, RoundTripKeepsEveryChannelInPlace) {
    // Every pixel different, channels distinct, so a swapped channel, a flipped
    // row order or a wrong stride shows.
    const int w = 7, h = 5;
    std::vector<std::uint32_t> picture(w * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            picture[y * w + x] = std::uint32_t(x * 36) << 16 | std::uint32_t(y * 60) << 8 |
                                 std::uint32_t(255 - x - y);
        }
    }
    picture[0] = 0xFF123456; // the unused top byte is not saved
    fs::path path = tempPath("round.png");
    std::string error;
    ASSERT_TRUE(writePng(path.string(), picture.data(), w, h, error)) << error;
    EXPECT_TRUE(pngIsRgb8(path.string()));

    std::vector<std::uint32_t> pixels;
    int rw = 0, rh = 0;
    ASSERT_TRUE(readPng(path.string(), pixels, rw, rh));
    EXPECT_EQ(rw, w);
    EXPECT_EQ(rh, h);
    picture[0] = 0x00123456;
    EXPECT_EQ(pixels, picture);
    fs::remove(path);
}

TEST(WritePng, AnUnwritablePathFailsNamingItAndLeavesNoFile) {
    fs::path path = tempPath("missing-dir") / "x.png";
    std::uint32_t pixel = 0;
    std::string error;
    EXPECT_FALSE(writePng(path.string(), &pixel, 1, 1, error));
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(path));
}

TEST(WritePng, AFailedWriteIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    std::vector<std::uint32_t> picture(64 * 64, 0x00808080);
    std::string error;
    EXPECT_FALSE(writePng("/dev/full", picture.data(), 64, 64, error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
    EXPECT_TRUE(fs::exists("/dev/full")); // only a half-written regular file is removed
}

TEST(WritePng, AnEmptyPictureIsRefused) {
    std::uint32_t pixel = 0;
    std::string error;
    fs::path path = tempPath("empty.png");
    EXPECT_FALSE(writePng(path.string(), &pixel, 0, 1, error));
    EXPECT_FALSE(writePng(path.string(), &pixel, 1, -1, error));
    EXPECT_FALSE(writePng(path.string(), nullptr, 1, 1, error));
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(path));
}

TEST(ReadPng, AFileThatIsNoPngIsRefused) {
    fs::path path = tempPath("not.png");
    std::ofstream(path, std::ios::binary) << "hello, not a picture";
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    EXPECT_FALSE(readPng(path.string(), pixels, w, h));
    EXPECT_FALSE(readPng(tempPath("absent.png").string(), pixels, w, h));
    fs::remove(path);
}
