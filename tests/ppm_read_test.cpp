#include "gfx/ppm_read.h"

#include "program_runner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const char CONVERT[] = "/usr/bin/convert";
const int WIDTH = 7; // odd, so rows are not multiples of 4 bytes
const int HEIGHT = 5;

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> pattern()
{
    std::vector<uint8_t> rgb;
    for (int i = 0; i < WIDTH * HEIGHT * 3; ++i)
        rgb.push_back(static_cast<uint8_t>(i * 53 + 7));
    return rgb;
}

std::vector<uint8_t> withHeader(const std::string& header, const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

struct Folder {
    std::filesystem::path path = scratchPath("ppm");
    Folder()
    {
        std::filesystem::create_directories(path);
        writeBytes(path / "raw.rgb", pattern());
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::filesystem::path make(const std::string& name, const std::string& command) const
    {
        std::string full = "cd '" + path.string() + "' && " + command + " > '" + name + "'";
        EXPECT_EQ(std::system(full.c_str()), 0) << "the producer failed (netpbm, imagemagick): " << command;
        return path / name;
    }
};

std::unique_ptr<uint8_t[]> readPpm(const std::filesystem::path& path, int& width, int& height)
{
    width = height = -1;
    return std::unique_ptr<uint8_t[]>(objReadPPM(path.string().c_str(), &width, &height));
}

TEST(PpmRead, PicturesOfOtherProgramsLoadPixelForPixel)
{
    Folder folder;
    std::string size = std::to_string(WIDTH) + " " + std::to_string(HEIGHT);
    std::string imSize = std::to_string(WIDTH) + "x" + std::to_string(HEIGHT);
    const std::pair<const char*, std::string> producers[] = {
        {"netpbm.ppm", "rawtoppm " + size + " raw.rgb"},
        {"imagemagick.ppm", std::string(CONVERT) + " -size " + imSize + " -depth 8 rgb:raw.rgb ppm:-"},
    };
    for (const auto& producer : producers) {
        std::filesystem::path path = folder.make(producer.first, producer.second);
        int width;
        int height;
        std::unique_ptr<uint8_t[]> pixels = readPpm(path, width, height);
        ASSERT_TRUE(pixels) << producer.first;
        EXPECT_EQ(width, WIDTH) << producer.first;
        EXPECT_EQ(height, HEIGHT) << producer.first;
        EXPECT_EQ(std::vector<uint8_t>(pixels.get(), pixels.get() + WIDTH * HEIGHT * 3), pattern()) << producer.first;
    }
}

TEST(PpmRead, HeaderNumbersAreReadWhereverTheyStand)
{
    const std::string headers[] = {
        "P6 7 5 255\n",
        "P6\n7\n5\n255\n",
        "P6\n# a comment\n7 # width\n# another\n5\n255\t",
        "P6\r\n7 5\r\n100\r",
        "P6#comment right after the magic\n7 5 255\n",
    };
    for (const std::string& header : headers) {
        PpmImage image;
        std::string error;
        std::vector<uint8_t> bytes = withHeader(header, pattern());
        ASSERT_TRUE(decodePpm(bytes.data(), bytes.size(), image, error)) << header << ": " << error;
        EXPECT_EQ(image.width, WIDTH);
        EXPECT_EQ(image.height, HEIGHT);
        EXPECT_EQ(image.pixels, pattern()) << header;
    }
}

TEST(PpmRead, RefusedPictures)
{
    Folder folder;
    std::string size = std::to_string(WIDTH) + " " + std::to_string(HEIGHT);
    struct Case {
        const char* what;
        std::string command;
        const char* reason;
    } cases[] = {
        {"plain (P3) from netpbm", "rawtoppm " + size + " raw.rgb | pnmtoplainpnm", "Not a raw PPM file"},
        {"plain (P3) from imagemagick",
         std::string(CONVERT) + " -size 7x5 -depth 8 rgb:raw.rgb -compress none ppm:-", "Not a raw PPM file"},
        {"16-bit from netpbm", "rawtoppm " + size + " raw.rgb | pnmdepth 65535",
         "expected a maximum value from 1 to 255"},
        {"16-bit from imagemagick", std::string(CONVERT) + " -size 7x5 -depth 8 rgb:raw.rgb -depth 16 ppm:-",
         "expected a maximum value from 1 to 255"},
        {"grey (P5)", "rawtoppm " + size + " raw.rgb | ppmtopgm", "Not a raw PPM file"},
    };
    for (const Case& c : cases) {
        std::filesystem::path path = folder.make("refused.ppm", c.command);
        int width;
        int height;
        testing::internal::CaptureStderr();
        std::unique_ptr<uint8_t[]> pixels = readPpm(path, width, height);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(pixels) << c.what;
        EXPECT_EQ(err, path.string() + ": " + c.reason + "\n") << c.what;
        EXPECT_EQ(width, -1) << c.what << ": sizes untouched";
    }
    // Paths that hold no picture: nothing is read (a FIFO must not block), one line names them.
    std::filesystem::create_directory(folder.path / "folder.ppm");
    ASSERT_EQ(mkfifo((folder.path / "pipe.ppm").c_str(), 0600), 0);
    const std::pair<const char*, const char*> paths[] = {
        {"missing.ppm", "No such file or directory"},
        {"folder.ppm", "is a directory"},
        {"pipe.ppm", "is not a regular file"},
    };
    for (const auto& [name, reason] : paths) {
        int width;
        int height;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(readPpm(folder.path / name, width, height)) << name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), (folder.path / name).string() + ": " + reason + "\n");
    }
}

TEST(PpmRead, EveryTruncationAndBadHeaderGivesNothing)
{
    std::vector<uint8_t> whole = withHeader("P6\n# c\n7 5\n255\n", pattern());
    for (size_t length = 0; length < whole.size(); ++length) {
        PpmImage image;
        std::string error;
        EXPECT_FALSE(decodePpm(whole.data(), length, image, error)) << "first " << length << " bytes";
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_FALSE(error.empty());
    }
    const std::pair<std::string, const char*> headers[] = {
        {"P6 0 5 255\n", "expected a width from 1 to 16384"},
        {"P6 7 16385 255\n", "expected a height from 1 to 16384"},
        {"P6 99999999999999999999 5 255\n", "expected a width from 1 to 16384"},
        {"P6 7 5 0\n", "expected a maximum value from 1 to 255"},
        {"P6 7 5 256\n", "expected a maximum value from 1 to 255"},
        {"P6 -7 5 255\n", "expected a width from 1 to 16384"},
        {"P6 7x5 255\n", "expected a width from 1 to 16384"},
        {"P6 7 5 255#no whitespace before the pixels\n", "the header ends without its closing whitespace"},
        {"P6 16384 16384 255\n", "expected 805306368 bytes of pixels, found 105"},
        {"P62 7 5 255\n", "Not a raw PPM file"},
    };
    for (const auto& header : headers) {
        PpmImage image;
        std::string error;
        std::vector<uint8_t> bytes = withHeader(header.first, pattern());
        EXPECT_FALSE(decodePpm(bytes.data(), bytes.size(), image, error)) << header.first;
        EXPECT_EQ(error, header.second) << header.first;
    }
}

} // namespace
