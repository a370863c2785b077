// The TGA file library: status codes over hand-made files of every depth and every truncation
// of one, grey conversion, round trips of each depth and numbered saves in a temporary data
// folder, files from
// two independent encoders (ImageMagick, netpbm), and a GL capture ImageMagick shows upright.
#include "gfx/tga_file.h"
#include "gl_test_context.h"
#include "tga_test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char CONVERT[] = "/usr/bin/convert";
const char PPMTOTGA[] = "/usr/bin/ppmtotga";
const char PPMTOPGM[] = "/usr/bin/ppmtopgm";

// A header of this library's kind: any type, the ID length and colour-map type given.
TgaBytes fileHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t bpp, uint8_t idLength = 0,
                    uint8_t colourMapType = 0)
{
    TgaBytes bytes = tgaHeader(type, width, height, bpp);
    bytes[0] = idLength;
    bytes[1] = colourMapType;
    return bytes;
}

TgaBytes readWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return TgaBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TgaBytes loadedBytes(const TgaFileInfo& info)
{
    if (!info.data)
        return {};
    return TgaBytes(info.data, info.data + static_cast<size_t>(info.width) * info.height * (info.bpp / 8));
}

unsigned char* mallocCopy(const TgaBytes& bytes)
{
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

class TgaFileLibrary : public ::testing::Test {
protected:
    ScopedDataFolder folder;
    void SetUp() override
    {
        ASSERT_FALSE(folder.root.empty());
        tgaSaveCounter = 0;
    }
    void TearDown() override { tgaSaveCounter = 0; }
};

struct LoadCase {
    const char* name;
    TgaBytes file;
    int32_t status;
    TgaBytes pixels;  // expected data when loaded
};

TEST_F(TgaFileLibrary, LoadStatusesAndPixels)
{
    const TgaBytes bgr = {1, 2, 3, 4, 5, 6};  // two 24-bit pixels in file order
    const TgaBytes bgra = {1, 2, 3, 4, 5, 6, 7, 8};
    const LoadCase cases[] = {
        {"24-bit: red and blue swapped", joinBytes({fileHeader(2, 2, 1, 24), bgr}), TGA_STATUS_OK, {3, 2, 1, 6, 5, 4}},
        {"32-bit: alpha stays in byte 3", joinBytes({fileHeader(2, 1, 2, 32), bgra}), TGA_STATUS_OK,
         {3, 2, 1, 4, 7, 6, 5, 8}},
        {"8-bit grey kept as stored", joinBytes({fileHeader(3, 3, 2, 8), {9, 8, 7, 6, 5, 4}}), TGA_STATUS_OK,
         {9, 8, 7, 6, 5, 4}},
        {"trailing bytes are not read", joinBytes({fileHeader(2, 2, 1, 24), bgr, {0xEE, 0xEE}}), TGA_STATUS_OK,
         {3, 2, 1, 6, 5, 4}},
        {"an image ID is not skipped: pixels shift by its length",
         joinBytes({fileHeader(2, 2, 1, 24, 2), {0xA0, 0xA1}, bgr}), TGA_STATUS_OK, {1, 0xA1, 0xA0, 4, 3, 2}},
        {"run-length true colour", joinBytes({fileHeader(10, 1, 1, 24), {0x80, 1, 2, 3}}), TGA_STATUS_BAD_TYPE, {}},
        {"colour-mapped", joinBytes({fileHeader(1, 1, 1, 8, 0, 1), {0}}), TGA_STATUS_INDEXED, {}},
        {"type 0, no picture", joinBytes({fileHeader(0, 1, 1, 24), bgr}), TGA_STATUS_BAD_TYPE, {}},
        // Depths other than 24 and 32: bpp / 8 bytes a pixel, swapped only from 3 bytes up.
        {"16-bit true colour kept as stored", joinBytes({fileHeader(2, 2, 1, 16), {1, 2, 3, 4}}), TGA_STATUS_OK,
         {1, 2, 3, 4}},
        {"8-bit true colour kept as stored", joinBytes({fileHeader(2, 2, 1, 8), {1, 2}}), TGA_STATUS_OK, {1, 2}},
        {"16-bit grey kept as stored", joinBytes({fileHeader(3, 1, 2, 16), {1, 2, 3, 4}}), TGA_STATUS_OK,
         {1, 2, 3, 4}},
        {"24-bit grey swapped as true colour is", joinBytes({fileHeader(3, 1, 1, 24), {1, 2, 3}}), TGA_STATUS_OK,
         {3, 2, 1}},
        {"48-bit: bytes 0 and 2 of each 6-byte pixel", joinBytes({fileHeader(2, 1, 1, 48), bgr}), TGA_STATUS_OK,
         {3, 2, 1, 4, 5, 6}},
        {"15 bits take one byte a pixel", joinBytes({fileHeader(2, 2, 1, 15), {7, 8, 9}}), TGA_STATUS_OK, {7, 8}},
        {"under 8 bits a pixel holds no bytes", joinBytes({fileHeader(3, 4, 4, 4)}), TGA_STATUS_OK, {}},
        {"width 0 is an empty picture", joinBytes({fileHeader(2, 0, 1, 24), bgr}), TGA_STATUS_OK, {}},
        {"height 0 is an empty picture", fileHeader(3, 1, 0, 8), TGA_STATUS_OK, {}},
        {"width past 32767 reads as negative", joinBytes({fileHeader(2, 0x8001, 1, 24), bgr}), TGA_STATUS_BAD_TYPE, {}},
        {"height past 32767 reads as negative", joinBytes({fileHeader(3, 1, 0xFFFF, 8), {1}}), TGA_STATUS_BAD_TYPE, {}},
        {"header only", fileHeader(2, 1, 1, 24), TGA_STATUS_READ_ERROR, {}},
        {"pixels one byte short", joinBytes({fileHeader(2, 2, 1, 24), {1, 2, 3, 4, 5}}), TGA_STATUS_READ_ERROR, {}},
        {"a huge picture in a small file", joinBytes({fileHeader(2, 32767, 32767, 32), bgra}), TGA_STATUS_READ_ERROR,
         {}},
        {"a huge picture of the widest depth in a small file", joinBytes({fileHeader(3, 32767, 32767, 255), bgra}),
         TGA_STATUS_READ_ERROR, {}},
        {"16-bit pixels one byte short", joinBytes({fileHeader(2, 2, 1, 16), {1, 2, 3}}), TGA_STATUS_READ_ERROR, {}},
        {"an empty file", {}, TGA_STATUS_READ_ERROR, {}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(folder.write("case.tga", c.file));
        TgaFileInfo* info = tgaLoad("case.tga");
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->status, c.status);
        if (c.status == TGA_STATUS_OK) {
            EXPECT_NE(info->data, nullptr) << "an empty picture has a buffer too";
            EXPECT_EQ(loadedBytes(*info), c.pixels);
        } else {
            EXPECT_EQ(info->data, nullptr);
        }
        tgaRelease(info);
    }

    TgaFileInfo* missing = tgaLoad("missing.tga");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->status, TGA_STATUS_OPEN_ERROR);
    EXPECT_EQ(missing->data, nullptr);
    tgaRelease(missing);
    tgaRelease(nullptr);
}

TEST_F(TgaFileLibrary, EveryTruncationIsAReadError)
{
    const TgaBytes whole = joinBytes({fileHeader(2, 3, 2, 32), patternPixels(6, 4)});
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        ASSERT_TRUE(folder.write("cut.tga", TgaBytes(whole.begin(), whole.begin() + static_cast<long>(length))));
        TgaFileInfo* info = tgaLoad("cut.tga");
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->status, TGA_STATUS_READ_ERROR);
        EXPECT_EQ(info->data, nullptr);
        tgaRelease(info);
    }
    ASSERT_TRUE(folder.write("cut.tga", whole));
    TgaFileInfo* info = tgaLoad("cut.tga");
    EXPECT_EQ(info->status, TGA_STATUS_OK);
    tgaRelease(info);
}

TEST_F(TgaFileLibrary, GreyConversion)
{
    const struct {
        const char* name;
        TgaBytes file;
        uint8_t type, bpp;  // after the conversion
        TgaBytes pixels;
    } cases[] = {
        // Loaded as R 100, G 200, B 50: 30 + 118 + 5.5 = 153.5, truncated.
        {"24-bit", joinBytes({fileHeader(2, 2, 1, 24), {50, 200, 100, 0, 0, 255}}), 3, 8, {153, 76}},
        {"32-bit ignores alpha", joinBytes({fileHeader(2, 2, 1, 32), {50, 200, 100, 7, 255, 255, 255, 0}}), 3, 8,
         {153, 255}},
        {"48-bit weighs the first three bytes", joinBytes({fileHeader(2, 1, 1, 48), {50, 200, 100, 9, 9, 9}}), 3, 8,
         {153}},
        {"24-bit grey file", joinBytes({fileHeader(3, 1, 1, 24), {50, 200, 100}}), 3, 8, {153}},
        {"8-bit stays as it is", joinBytes({fileHeader(3, 2, 1, 8), {17, 250}}), 3, 8, {17, 250}},
        // Two bytes a pixel have no blue: the picture is left alone rather than read past.
        {"16-bit stays as it is", joinBytes({fileHeader(2, 2, 1, 16), {1, 2, 3, 4}}), 2, 16, {1, 2, 3, 4}},
        {"an empty picture", fileHeader(2, 0, 5, 24), 3, 8, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(folder.write("grey.tga", c.file));
        TgaFileInfo* info = tgaLoad("grey.tga");
        ASSERT_EQ(info->status, TGA_STATUS_OK);
        tgaConvertToGrey(*info);
        EXPECT_EQ(info->bpp, c.bpp);
        EXPECT_EQ(info->type, c.type);
        EXPECT_NE(info->data, nullptr);
        EXPECT_EQ(loadedBytes(*info), c.pixels);
        tgaRelease(info);
    }
    // A record that did not load is left alone.
    TgaFileInfo failed = {TGA_STATUS_READ_ERROR, 2, 24, 4, 4, nullptr};
    tgaConvertToGrey(failed);
    EXPECT_EQ(failed.bpp, 24);
    EXPECT_EQ(failed.type, 2);
}

TEST_F(TgaFileLibrary, SavedPicturesLoadBackUnchanged)
{
    const struct {
        int bpp;
        uint8_t type;
        int width, height;
    } cases[] = {{8, 3, 5, 3},  {24, 2, 5, 3}, {32, 2, 3, 7}, {24, 2, 1, 1},
                 {16, 3, 4, 3}, {48, 3, 2, 2}, {24, 2, 0, 3}, {8, 3, 3, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bits, " << c.width << " x " << c.height);
        const size_t bytesPerPixel = static_cast<size_t>(c.bpp / 8);
        const TgaBytes pixels = patternPixels(static_cast<size_t>(c.width) * c.height, bytesPerPixel, c.bpp);
        ASSERT_EQ(tgaSave("round.tga", c.width, c.height, c.bpp, mallocCopy(pixels)), TGA_STATUS_OK);

        const TgaBytes file = readWhole(folder.root / "data" / "round.tga");
        EXPECT_EQ(TgaBytes(file.begin(), file.begin() + 18),
                  fileHeader(c.type, static_cast<uint16_t>(c.width), static_cast<uint16_t>(c.height),
                             static_cast<uint8_t>(c.bpp)));
        // Stored with bytes 0 and 2 swapped (blue first) from 3 bytes a pixel up, else as given.
        const TgaBytes stored = bytesPerPixel >= 3 ? swappedPixels(pixels, bytesPerPixel) : pixels;
        EXPECT_EQ(TgaBytes(file.begin() + 18, file.end()), stored);

        TgaFileInfo* info = tgaLoad("round.tga");
        ASSERT_EQ(info->status, TGA_STATUS_OK);
        EXPECT_EQ(info->type, c.type);
        EXPECT_EQ(info->bpp, c.bpp);
        EXPECT_EQ(info->width, c.width);
        EXPECT_EQ(info->height, c.height);
        EXPECT_EQ(loadedBytes(*info), pixels);
        tgaRelease(info);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.root / "data" / "round.tga.tmp"));
}

TEST_F(TgaFileLibrary, FailedSavesKeepThePixelsAndLeaveNoFile)
{
    const TgaBytes pixels = patternPixels(4, 3);
    unsigned char* buffer = mallocCopy(pixels);
    const struct {
        const char* name;
        const char* file;
        int width, height, bpp;
        int result;
    } cases[] = {
        {"a folder stands in the way", "taken.tga", 2, 2, 24, TGA_STATUS_OPEN_ERROR},
        {"no such folder", "absent/x.tga", 2, 2, 24, TGA_STATUS_OPEN_ERROR},
        {"a depth past the header's byte", "x.tga", 2, 2, 256, TGA_STATUS_BAD_TYPE},
        {"a negative depth", "x.tga", 2, 2, -8, TGA_STATUS_BAD_TYPE},
        {"a negative width", "x.tga", -2, 2, 24, TGA_STATUS_BAD_TYPE},
        {"too wide for the header", "x.tga", 40000, 1, 24, TGA_STATUS_BAD_TYPE},
    };
    std::filesystem::create_directory(folder.root / "data" / "taken.tga");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tgaSave(c.file, c.width, c.height, c.bpp, buffer), c.result);
        EXPECT_EQ(TgaBytes(buffer, buffer + pixels.size()), pixels);
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.root / "data"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"taken.tga"});
    std::free(buffer);
}

TEST_F(TgaFileLibrary, NumberedSavesCountOnAfterFailures)
{
    const TgaBytes pixels = patternPixels(1, 4);
    EXPECT_EQ(tgaSaveNumbered("shot", 1, 1, 32, mallocCopy(pixels)), TGA_STATUS_OK);
    EXPECT_EQ(tgaSaveNumbered("shot", 1, 1, 32, mallocCopy(pixels)), TGA_STATUS_OK);
    std::filesystem::create_directory(folder.root / "data" / "shot2.tga");
    unsigned char* kept = mallocCopy(pixels);
    EXPECT_EQ(tgaSaveNumbered("shot", 1, 1, 32, kept), TGA_STATUS_OPEN_ERROR);
    std::free(kept);
    EXPECT_EQ(tgaSaveNumbered("shot", 1, 1, 32, mallocCopy(pixels)), TGA_STATUS_OK);
    EXPECT_EQ(tgaSaveCounter, 4);
    for (const char* name : {"shot0.tga", "shot1.tga", "shot3.tga"})
        EXPECT_TRUE(std::filesystem::is_regular_file(folder.root / "data" / name)) << name;
}

bool run(const std::string& command)
{
    return std::system((command + " 2>/dev/null").c_str()) == 0;
}

// Pixels as an independent decoder gives them: top row first, RGB, RGBA or grey bytes.
TgaBytes decodeWithConvert(const std::filesystem::path& picture, const char* layout)
{
    const std::filesystem::path raw = picture.string() + ".raw";
    if (!run(std::string(CONVERT) + " '" + picture.string() + "' -depth 8 " + layout + ":'" + raw.string() + "'"))
        return {};
    return readWhole(raw);
}

TgaBytes rowsReversed(const TgaBytes& bytes, size_t rowBytes)
{
    TgaBytes out;
    for (size_t row = bytes.size() / rowBytes; row-- > 0;)
        out.insert(out.end(), bytes.begin() + static_cast<long>(row * rowBytes),
                   bytes.begin() + static_cast<long>((row + 1) * rowBytes));
    return out;
}

// What the library holds for a file: the bytes after the header (an ID included), with bytes 0
// and 2 of each pixel swapped for true colour.
TgaBytes expectedLoad(const TgaBytes& filePixelsWithId, size_t size, size_t bytesPerPixel)
{
    TgaBytes out(filePixelsWithId.begin(), filePixelsWithId.begin() + static_cast<long>(size));
    if (bytesPerPixel >= 3)
        for (size_t i = 0; i < out.size(); i += bytesPerPixel)
            std::swap(out[i], out[i + 2]);
    return out;
}

// The other direction of the swap: file-order pixels (B, G, R) from RGB.
TgaBytes toFileOrder(const TgaBytes& rgb, size_t bytesPerPixel)
{
    TgaBytes out = rgb;
    if (bytesPerPixel >= 3)
        for (size_t i = 0; i < out.size(); i += bytesPerPixel)
            std::swap(out[i], out[i + 2]);
    return out;
}

TEST_F(TgaFileLibrary, FilesFromIndependentEncoders)
{
    if (access(CONVERT, X_OK) != 0 || access(PPMTOTGA, X_OK) != 0 || access(PPMTOPGM, X_OK) != 0)
        GTEST_SKIP() << "ImageMagick or netpbm is not installed";
    const std::filesystem::path data = folder.root / "data";
    const int width = 7, height = 5;
    // An asymmetric picture: a gradient with a bright block in the top-left corner.
    ASSERT_TRUE(run(std::string(CONVERT) + " -size 7x5 gradient:'#203040-#c0a080' -fill '#ff2010' -draw " +
                    "'rectangle 0,0 2,1' -depth 8 '" + (data / "source.ppm").string() + "'"));
    ASSERT_TRUE(run(std::string(CONVERT) + " '" + (data / "source.ppm").string() + "' -fill '#10ff20' -draw " +
                    "'rectangle 5,3 6,4' -alpha set -channel A -fx 'i/7' +channel '" + (data / "source.png").string() +
                    "'"));
    ASSERT_TRUE(run(std::string("ppmtopgm '") + (data / "source.ppm").string() + "' > '" + (data / "source.pgm").string() +
                    "'"));
    const TgaBytes rgb = decodeWithConvert(data / "source.ppm", "rgb");
    const TgaBytes rgba = decodeWithConvert(data / "source.png", "rgba");
    // ImageMagick's grey export rounds differently; a binary PGM ends with its raw grey bytes.
    const TgaBytes pgm = readWhole(data / "source.pgm");
    ASSERT_GE(pgm.size(), 35u);
    const TgaBytes grey(pgm.end() - 35, pgm.end());
    ASSERT_EQ(rgb.size(), 7u * 5 * 3);
    ASSERT_EQ(rgba.size(), 7u * 5 * 4);
    ASSERT_EQ(grey.size(), 7u * 5);

    const struct {
        const char* name;
        std::string command;  // writes data/out.tga
        int32_t status;
        const TgaBytes* top;  // the independent decode of the source, top row first
        int bytesPerPixel;
        bool storedTopFirst;  // the encoder's row order (ImageMagick 6 writes top first always)
    } cases[] = {
        {"ImageMagick 24-bit", std::string(CONVERT) + " source.ppm -type TrueColor -compress None out.tga",
         TGA_STATUS_OK, &rgb, 3, true},
        {"ImageMagick 32-bit", std::string(CONVERT) + " source.png -type TrueColorAlpha -compress None out.tga",
         TGA_STATUS_OK, &rgba, 4, true},
        {"ImageMagick grey", std::string(CONVERT) + " source.pgm -type Grayscale -compress None out.tga",
         TGA_STATUS_OK, &grey, 1, true},
        {"ImageMagick run-length", std::string(CONVERT) + " source.ppm -type TrueColor -compress RLE out.tga",
         TGA_STATUS_BAD_TYPE, nullptr, 0, true},
        {"ImageMagick colour-mapped", std::string(CONVERT) + " source.ppm -type Palette -compress None out.tga",
         TGA_STATUS_INDEXED, nullptr, 0, true},
        // netpbm stores the bottom row first and the file's name as an image ID, which the
        // library does not skip.
        {"netpbm 24-bit", "ppmtotga -rgb -norle source.ppm > out.tga", TGA_STATUS_OK, &rgb, 3, false},
        {"netpbm grey", "ppmtotga -mono -norle source.pgm > out.tga", TGA_STATUS_OK, &grey, 1, false},
        {"netpbm colour-mapped", "ppmtotga -cmap -norle source.ppm > out.tga", TGA_STATUS_INDEXED, nullptr, 0, false},
        {"netpbm run-length", "ppmtotga -rgb source.ppm > out.tga", TGA_STATUS_BAD_TYPE, nullptr, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(data / "out.tga");
        ASSERT_TRUE(run("cd '" + data.string() + "' && " + c.command));
        const TgaBytes file = readWhole(data / "out.tga");
        ASSERT_GE(file.size(), 18u);
        TgaFileInfo* info = tgaLoad("out.tga");
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->status, c.status);
        if (c.status == TGA_STATUS_OK) {
            EXPECT_EQ(info->width, width);
            EXPECT_EQ(info->height, height);
            EXPECT_EQ(info->bpp, c.bytesPerPixel * 8);
            const size_t rowBytes = static_cast<size_t>(width) * c.bytesPerPixel;
            const TgaBytes stored = c.storedTopFirst ? *c.top : rowsReversed(*c.top, rowBytes);
            const TgaBytes id(file.begin() + 18, file.begin() + 18 + file[0]);
            const TgaBytes withId = joinBytes({id, toFileOrder(stored, c.bytesPerPixel)});
            EXPECT_EQ(loadedBytes(*info), expectedLoad(withId, stored.size(), c.bytesPerPixel));
        } else {
            EXPECT_EQ(info->data, nullptr);
        }
        tgaRelease(info);
    }
}

TEST_F(TgaFileLibrary, CaptureWritesANumberedPictureShownUpright)
{
    REQUIRE_GL_CONTEXT();
    if (access(CONVERT, X_OK) != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(100, 150, 30, 10);  // the top rows of the captured rectangle are red
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(100, 100, 5, 60);  // the left columns green
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glFinish();
    const int width = 30, height = 60;
    const std::vector<uint8_t> frame = readPixelsRgba(100, 100, width, height);  // bottom row first

    ASSERT_EQ(tgaCaptureScreen("shot", 100, 100, width, height), TGA_STATUS_OK);
    const std::filesystem::path shot = folder.root / "data" / "shot0.tga";
    ASSERT_TRUE(std::filesystem::is_regular_file(shot));
    EXPECT_EQ(tgaSaveCounter, 1);

    const std::filesystem::path raw = folder.root / "shot.rgba";
    ASSERT_TRUE(run(std::string(CONVERT) + " '" + shot.string() + "' -auto-orient -depth 8 rgba:'" + raw.string() + "'"));
    const TgaBytes shown = readWhole(raw);  // top row first, as a viewer shows it
    ASSERT_EQ(shown.size(), frame.size());
    EXPECT_EQ(shown, rowsReversed(TgaBytes(frame.begin(), frame.end()), static_cast<size_t>(width) * 4));
    EXPECT_EQ(shown[0], 0) << "top-left is green";
    EXPECT_EQ(shown[1], 255);
    EXPECT_EQ(shown[(static_cast<size_t>(width) - 1) * 4], 255) << "top-right is red";
    EXPECT_EQ(shown[(static_cast<size_t>(height - 1) * width + width - 1) * 4 + 2], 255) << "bottom-right is blue";
}

TEST_F(TgaFileLibrary, CaptureSizes)
{
    REQUIRE_GL_CONTEXT();
    // An empty rectangle is an empty picture: the header alone, and the counter moves on.
    EXPECT_EQ(tgaCaptureScreen("shot", 10, 10, 0, 4), TGA_STATUS_OK);
    EXPECT_EQ(readWhole(folder.root / "data" / "shot0.tga"), fileHeader(2, 0, 4, 32));
    // A negative one names no buffer: refused before anything is read or counted.
    EXPECT_EQ(tgaCaptureScreen("shot", 10, 10, -3, 4), TGA_STATUS_BAD_TYPE);
    EXPECT_EQ(tgaSaveCounter, 1);
}

TEST_F(TgaFileLibrary, CaptureThatCannotSaveReportsIt)
{
    REQUIRE_GL_CONTEXT();
    std::filesystem::remove(folder.root / "data");  // nowhere to write
    EXPECT_EQ(tgaCaptureScreen("shot", 0, 0, 8, 8), TGA_STATUS_OPEN_ERROR);
    EXPECT_EQ(tgaSaveCounter, 1);
}

}  // namespace
