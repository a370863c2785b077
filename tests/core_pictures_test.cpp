// The TGA encoder of the data generators, and the start-up pictures, default textures and
// screen-pass textures that core_pictures writes into data/ (read from the run directory).
#include "gfx/tga.h"
#include "tools/common/tga_write.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A scratch folder of this process: several build trees may run these tests at once.
std::filesystem::path scratchDir(const char* what)
{
    return std::filesystem::temp_directory_path()
        / (std::string("core_pictures_test_") + what + "_" + std::to_string(getpid()));
}

using Bytes = std::vector<uint8_t>;

// ---- An independent decoder for what the encoder writes, strict about its promises ----

struct DecodedTga {
    int imageType = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int descriptor = 0;
    Bytes rgba;                      // bottom row first, alpha 255 for 24-bit files
    bool packetCrossesRow = false;   // run-length files only
};

bool decodeTga(const Bytes& file, DecodedTga& out, std::string& why)
{
    if (file.size() < TGA_WRITE_HEADER_BYTES) {
        why = "shorter than a header";
        return false;
    }
    out.imageType = file[2];
    out.width = file[12] | (file[13] << 8);
    out.height = file[14] | (file[15] << 8);
    out.bitsPerPixel = file[16];
    out.descriptor = file[17];
    const int bytesPerPixel = out.bitsPerPixel / 8;
    const size_t pixelCount = static_cast<size_t>(out.width) * static_cast<size_t>(out.height);
    out.rgba.assign(pixelCount * 4, 255);
    size_t at = TGA_WRITE_HEADER_BYTES;
    auto readPixel = [&](size_t index) {
        if (at + static_cast<size_t>(bytesPerPixel) > file.size())
            return false;
        uint8_t* dst = &out.rgba[index * 4];
        dst[2] = file[at];
        dst[1] = file[at + 1];
        dst[0] = file[at + 2];
        if (bytesPerPixel == 4)
            dst[3] = file[at + 3];
        at += static_cast<size_t>(bytesPerPixel);
        return true;
    };
    size_t next = 0;
    while (next < pixelCount) {
        if (out.imageType == TGA_WRITE_TYPE_UNCOMPRESSED) {
            if (!readPixel(next++)) {
                why = "pixel data short";
                return false;
            }
            continue;
        }
        if (at >= file.size()) {
            why = "packet header missing";
            return false;
        }
        const uint8_t header = file[at++];
        const size_t count = (header & 0x7F) + 1u;
        if (next + count > pixelCount) {
            why = "packets cover more than the picture";
            return false;
        }
        if ((next % static_cast<size_t>(out.width)) + count > static_cast<size_t>(out.width))
            out.packetCrossesRow = true;
        if (header & 0x80) {
            if (!readPixel(next)) {
                why = "run pixel short";
                return false;
            }
            for (size_t i = 1; i < count; ++i)
                std::copy_n(&out.rgba[next * 4], 4, &out.rgba[(next + i) * 4]);
            next += count;
        } else {
            for (size_t i = 0; i < count; ++i)
                if (!readPixel(next++)) {
                    why = "raw pixel short";
                    return false;
                }
        }
    }
    if (at != file.size()) {
        why = "bytes after the picture";
        return false;
    }
    return true;
}

Bytes fixedTemplate(uint8_t imageType)
{
    Bytes header(12, 0);
    header[2] = imageType;
    return header;
}

bool isPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

// ---- Encoder fixtures ----

struct PixelRow {
    uint8_t r, g, b, a;
};

Bytes pixelsOf(std::initializer_list<PixelRow> pixels)
{
    Bytes bytes;
    for (const PixelRow& p : pixels) {
        bytes.push_back(p.r);
        bytes.push_back(p.g);
        bytes.push_back(p.b);
        bytes.push_back(p.a);
    }
    return bytes;
}

Bytes uniformPixels(size_t count, PixelRow p)
{
    Bytes bytes;
    for (size_t i = 0; i < count; ++i)
        bytes.insert(bytes.end(), {p.r, p.g, p.b, p.a});
    return bytes;
}

// Pixels in runs of 1, 2, 3, ... (wrapping at 7), so raw and run packets alternate.
Bytes mixedRunPixels(size_t count)
{
    Bytes bytes;
    size_t run = 1;
    size_t left = 0;
    uint8_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        if (left == 0) {
            value = static_cast<uint8_t>(value + 37);
            left = run;
            run = run % 7 + 1;
        }
        bytes.insert(bytes.end(), {value, static_cast<uint8_t>(255 - value), static_cast<uint8_t>(value / 2),
            static_cast<uint8_t>(value ^ 0x5A)});
        --left;
    }
    return bytes;
}

Bytes distinctPixels(size_t count)
{
    Bytes bytes;
    for (size_t i = 0; i < count; ++i)
        bytes.insert(bytes.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8),
            static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i)});
    return bytes;
}

struct EncoderFixture {
    const char* what;
    int width;
    int height;
    Bytes rgba;
};

std::vector<EncoderFixture> encoderFixtures()
{
    return {
        {"one pixel", 1, 1, uniformPixels(1, {10, 20, 30, 40})},
        {"uniform rows longer than a packet", 300, 2, uniformPixels(600, {200, 100, 50, 255})},
        {"distinct pixels longer than a packet", 130, 2, distinctPixels(260)},
        {"runs of every short length", 61, 5, mixedRunPixels(305)},
        {"uniform picture of narrow rows", 3, 4, uniformPixels(12, {0, 0, 0, 0})},
    };
}

void expectHeader(const Bytes& file, uint8_t imageType, int width, int height, int bits)
{
    ASSERT_GE(file.size(), static_cast<size_t>(TGA_WRITE_HEADER_BYTES));
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 12), fixedTemplate(imageType));
    EXPECT_EQ(file[12] | (file[13] << 8), width);
    EXPECT_EQ(file[14] | (file[15] << 8), height);
    EXPECT_EQ(file[16], bits);
    EXPECT_EQ(file[17], bits == 32 ? 8 : 0) << "alpha bits, bottom-left origin";
}

TEST(TgaWriting, RoundTripsEveryFixtureAtBothDepthsAndEncodings)
{
    for (const EncoderFixture& fixture : encoderFixtures()) {
        for (int bits : {24, 32}) {
            for (TgaEncoding encoding : {TgaEncoding::Uncompressed, TgaEncoding::RunLength}) {
                const bool rle = encoding == TgaEncoding::RunLength;
                SCOPED_TRACE(std::string(fixture.what) + (rle ? ", RLE " : ", raw ") + std::to_string(bits));
                TgaSource source{fixture.width, fixture.height, fixture.rgba.data()};
                Bytes file;
                std::string error;
                ASSERT_TRUE(encodeTga(source, bits, encoding, file, error)) << error;
                expectHeader(file, rle ? TGA_WRITE_TYPE_RUN_LENGTH : TGA_WRITE_TYPE_UNCOMPRESSED, fixture.width,
                    fixture.height, bits);
                DecodedTga decoded;
                std::string why;
                ASSERT_TRUE(decodeTga(file, decoded, why)) << why;
                EXPECT_FALSE(decoded.packetCrossesRow);
                Bytes expected = fixture.rgba;
                if (bits == 24)
                    for (size_t i = 3; i < expected.size(); i += 4)
                        expected[i] = 255;
                EXPECT_EQ(decoded.rgba, expected);
                if (!rle) {
                    EXPECT_EQ(file.size(),
                        TGA_WRITE_HEADER_BYTES + fixture.rgba.size() / 4 * static_cast<size_t>(bits / 8));
                }
            }
        }
    }
}

TEST(TgaWriting, RunLengthPacketsAreTheExpectedBytes)
{
    const PixelRow a{1, 2, 3, 4};
    const PixelRow b{5, 6, 7, 8};
    const PixelRow c{9, 10, 11, 12};
    struct Case {
        const char* what;
        int bits;
        int width;
        Bytes rgba;
        Bytes body;  // expected bytes after the header
    };
    const Case cases[] = {
        {"a run of four", 24, 4, uniformPixels(4, a), {0x83, 3, 2, 1}},
        {"a run of 300 splits at 128", 24, 300, uniformPixels(300, a),
            {0xFF, 3, 2, 1, 0xFF, 3, 2, 1, 0x80 | 43, 3, 2, 1}},
        {"three different pixels are one raw packet", 24, 3, pixelsOf({a, b, c}),
            {0x02, 3, 2, 1, 7, 6, 5, 11, 10, 9}},
        {"a raw packet stops where a run of three begins", 24, 5, pixelsOf({a, b, c, c, c}),
            {0x01, 3, 2, 1, 7, 6, 5, 0x82, 11, 10, 9}},
        {"a pair at the start is a run", 24, 3, pixelsOf({a, a, b}), {0x81, 3, 2, 1, 0x00, 7, 6, 5}},
        {"24 bits ignore alpha differences", 24, 3, pixelsOf({{1, 2, 3, 0}, {1, 2, 3, 99}, {1, 2, 3, 255}}),
            {0x82, 3, 2, 1}},
        {"32 bits keep alpha differences", 32, 2, pixelsOf({{1, 2, 3, 0}, {1, 2, 3, 99}}),
            {0x01, 3, 2, 1, 0, 3, 2, 1, 99}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        TgaSource source{test.width, 1, test.rgba.data()};
        Bytes file;
        std::string error;
        ASSERT_TRUE(encodeTga(source, test.bits, TgaEncoding::RunLength, file, error)) << error;
        EXPECT_EQ(Bytes(file.begin() + TGA_WRITE_HEADER_BYTES, file.end()), test.body);
    }
}

TEST(TgaWriting, RefusesWhatTheFormatCannotHold)
{
    const Bytes pixels = uniformPixels(4, {1, 2, 3, 4});
    struct Case {
        const char* what;
        int width;
        int height;
        int bits;
        const uint8_t* rgba;
    };
    const Case cases[] = {
        {"zero width", 0, 4, 24, pixels.data()},
        {"zero height", 4, 0, 24, pixels.data()},
        {"negative width", -2, 2, 24, pixels.data()},
        {"width beyond 16 bits", 65536, 1, 24, pixels.data()},
        {"16-bit depth", 2, 2, 16, pixels.data()},
        {"8-bit depth", 2, 2, 8, pixels.data()},
        {"no pixels", 2, 2, 32, nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        Bytes file = {1, 2, 3};
        std::string error;
        EXPECT_FALSE(encodeTga(TgaSource{test.width, test.height, test.rgba}, test.bits,
            TgaEncoding::RunLength, file, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(file.empty());
    }
}

TEST(TgaWriting, WritesTheEncodedBytesAndReportsAFailedWrite)
{
    const std::filesystem::path dir = scratchDir("write");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const Bytes pixels = mixedRunPixels(64);
    const TgaSource source{8, 8, pixels.data()};
    std::string error;
    const std::string path = (dir / "out.tga").string();
    ASSERT_TRUE(writeTgaFile(path, source, 32, TgaEncoding::RunLength, error)) << error;
    Bytes expected;
    ASSERT_TRUE(encodeTga(source, 32, TgaEncoding::RunLength, expected, error));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), expected);

    const std::string unwritable = (dir / "missing" / "out.tga").string();
    EXPECT_FALSE(writeTgaFile(unwritable, source, 32, TgaEncoding::RunLength, error));
    EXPECT_NE(error.find(unwritable), std::string::npos) << error;
    std::filesystem::remove_all(dir);
}

// ---- The generated pictures ----

const char* const PICTURE_NAMES[] = {
    "loading.tga", "whitepixel.tga", "overlay1.tga", "background.tga", "blackscreen.tga",
    "black.tga", "default_base.tga", "default_normal.tga", "default_chraber.tga",
    "default_specular.tga", "glowmask.tga", "blueshade.tga", "scanlines.tga", "screennoise.tga",
    "offsetx.tga", "dofblurintensity.tga",
};

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A picture as the engine's reader returns it, with RGBA access by (x, y from the bottom).
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    Bytes pixels;
    int at(int x, int y, int channel) const
    {
        if (channel == 3 && channels == 3)
            return 255;
        return pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x))
                * static_cast<size_t>(channels) + static_cast<size_t>(channel)];
    }
    double lum(int x, int y) const
    {
        return (0.2126 * at(x, y, 0) + 0.7152 * at(x, y, 1) + 0.0722 * at(x, y, 2)) / 255.0;
    }
};

bool loadPicture(const char* name, Picture& picture)
{
    TgaImage image;
    if (!loadTgaImage(image, name))
        return false;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.channels = static_cast<int>(image.bpp / 8);
    picture.pixels.assign(image.data, image.data + static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)
            * static_cast<size_t>(picture.channels));
    releaseTgaImage(image);
    return true;
}

bool rowsIdentical(const Picture& p)
{
    for (int y = 1; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            for (int c = 0; c < 4; ++c)
                if (p.at(x, y, c) != p.at(x, 0, c))
                    return false;
    return true;
}

TEST(CorePictures, EveryPictureHasAHeaderTheReaderAccepts)
{
    bool sawUncompressed = false;
    bool sawRunLength = false;
    for (const char* name : PICTURE_NAMES) {
        SCOPED_TRACE(name);
        const Bytes file = readFile(std::string("data/") + name);
        ASSERT_GE(file.size(), static_cast<size_t>(TGA_WRITE_HEADER_BYTES)) << "missing or short";
        const Bytes fixed(file.begin(), file.begin() + 12);
        const bool uncompressed = fixed == fixedTemplate(TGA_WRITE_TYPE_UNCOMPRESSED);
        const bool runLength = fixed == fixedTemplate(TGA_WRITE_TYPE_RUN_LENGTH);
        EXPECT_TRUE(uncompressed || runLength);
        sawUncompressed = sawUncompressed || uncompressed;
        sawRunLength = sawRunLength || runLength;

        DecodedTga decoded;
        std::string why;
        ASSERT_TRUE(decodeTga(file, decoded, why)) << why;
        EXPECT_TRUE(decoded.bitsPerPixel == 24 || decoded.bitsPerPixel == 32);
        EXPECT_EQ(decoded.descriptor, decoded.bitsPerPixel == 32 ? 8 : 0);
        EXPECT_TRUE(isPowerOfTwo(decoded.width)) << decoded.width;
        EXPECT_TRUE(isPowerOfTwo(decoded.height)) << decoded.height;
        EXPECT_FALSE(decoded.packetCrossesRow);

        Picture picture;
        ASSERT_TRUE(loadPicture(name, picture)) << "the engine's reader refuses it";
        EXPECT_EQ(picture.width, decoded.width);
        EXPECT_EQ(picture.height, decoded.height);
    }
    EXPECT_TRUE(sawUncompressed);
    EXPECT_TRUE(sawRunLength);
}

TEST(CorePictures, LoadingPictureLeavesACalmDarkTrackWhereTheBarGrows)
{
    Picture p;
    ASSERT_TRUE(loadPicture("loading.tga", p));
    // Texels whose centres land on the bar (850..1070 x 490..493 of the 1920 x 1080 screen),
    // with a texel of margin for filtering.
    constexpr double MARGIN = 2.0;
    double lowest = 1.0;
    double highest = 0.0;
    double sum = 0.0;
    int count = 0;
    double pictureLowest = 1.0;
    double pictureHighest = 0.0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const double l = p.lum(x, y);
            pictureLowest = std::min(pictureLowest, l);
            pictureHighest = std::max(pictureHighest, l);
            EXPECT_EQ(p.at(x, y, 3), 255);
            const double sx = (x + 0.5) * 1920.0 / p.width;
            const double sy = (y + 0.5) * 1080.0 / p.height;
            if (sx < 850 - MARGIN || sx > 1070 + MARGIN || sy < 490 - MARGIN || sy > 493 + MARGIN)
                continue;
            lowest = std::min(lowest, l);
            highest = std::max(highest, l);
            sum += l;
            ++count;
        }
    ASSERT_GT(count, 0);
    EXPECT_LE(highest - lowest, 0.05) << "the bar's track is not calm";
    EXPECT_LE(sum / count, 0.2) << "a white bar would not stand out";
    EXPECT_GE(pictureHighest - pictureLowest, 0.6) << "the title card looks like a placeholder";
}

TEST(CorePictures, OverlayIsMostlyTransparentWithATagInTheBottomRightCorner)
{
    Picture p;
    ASSERT_TRUE(loadPicture("overlay1.tga", p));
    ASSERT_EQ(p.width, 512);
    ASSERT_EQ(p.height, 256);
    ASSERT_EQ(p.channels, 4);
    int transparent = 0;
    int solid = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const int alpha = p.at(x, y, 3);
            if (alpha == 0) {
                ++transparent;
                continue;
            }
            if (alpha >= 128)
                ++solid;
            EXPECT_TRUE(x >= p.width / 2 && y < p.height / 2) << "visible pixel at " << x << ", " << y;
        }
    EXPECT_GE(transparent, p.width * p.height * 85 / 100);
    EXPECT_GT(solid, 100) << "no visible tag";
}

TEST(CorePictures, BackgroundIsOpaqueAndDark)
{
    Picture p;
    ASSERT_TRUE(loadPicture("background.tga", p));
    double sum = 0.0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            ASSERT_EQ(p.at(x, y, 3), 255);
            sum += p.lum(x, y);
        }
    EXPECT_LT(sum / (p.width * p.height), 0.15);
}

TEST(CorePictures, FlatPicturesHoldTheirColourEverywhere)
{
    struct Case {
        const char* name;
        int r, g, b;
        int tolerance;  // the greys only need to be neutral and roughly that light
    };
    const Case cases[] = {
        {"black.tga", 0, 0, 0, 0},
        {"blackscreen.tga", 0, 0, 0, 0},
        {"whitepixel.tga", 255, 255, 255, 0},
        {"default_normal.tga", 128, 128, 255, 0},
        {"default_base.tga", 192, 192, 192, 32},
        {"default_specular.tga", 128, 128, 128, 32},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Picture p;
        ASSERT_TRUE(loadPicture(test.name, p));
        const int first[3] = {p.at(0, 0, 0), p.at(0, 0, 1), p.at(0, 0, 2)};
        EXPECT_NEAR(first[0], test.r, test.tolerance);
        EXPECT_NEAR(first[1], test.g, test.tolerance);
        EXPECT_NEAR(first[2], test.b, test.tolerance);
        if (test.r == test.g && test.g == test.b) {
            EXPECT_TRUE(first[0] == first[1] && first[1] == first[2]) << "not a neutral grey";
        }
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                ASSERT_EQ(p.at(x, y, 0), first[0]);
                ASSERT_EQ(p.at(x, y, 1), first[1]);
                ASSERT_EQ(p.at(x, y, 2), first[2]);
                ASSERT_EQ(p.at(x, y, 3), 255);
            }
    }
}

TEST(CorePictures, LightRampRisesFromDarkToBrightAlongU)
{
    Picture p;
    ASSERT_TRUE(loadPicture("default_chraber.tga", p));
    EXPECT_TRUE(rowsIdentical(p));
    for (int x = 1; x < p.width; ++x)
        EXPECT_GE(p.at(x, 0, 0), p.at(x - 1, 0, 0)) << x;
    EXPECT_LE(p.at(0, 0, 0), 32);
    EXPECT_GE(p.at(p.width - 1, 0, 0), 240);
    EXPECT_EQ(p.at(p.width / 2, 0, 0), p.at(p.width / 2, 0, 2)) << "grey";
}

// Largest step between wrapped-around edges compared with the largest step inside.
void expectTiles(const Picture& p, int channel)
{
    int inside = 0;
    int across = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const int v = p.at(x, y, channel);
            const int right = p.at((x + 1) % p.width, y, channel);
            const int up = p.at(x, (y + 1) % p.height, channel);
            const bool wrapsX = x + 1 == p.width;
            const bool wrapsY = y + 1 == p.height;
            (wrapsX ? across : inside) = std::max(wrapsX ? across : inside, std::abs(v - right));
            (wrapsY ? across : inside) = std::max(wrapsY ? across : inside, std::abs(v - up));
        }
    EXPECT_LE(across, inside) << "a seam where the texture repeats";
}

TEST(CorePictures, ScreenPassTexturesFitTheirPasses)
{
    Picture shade;
    ASSERT_TRUE(loadPicture("blueshade.tga", shade));
    EXPECT_TRUE(rowsIdentical(shade)) << "looked up by brightness along u";
    for (int x = 1; x < shade.width; ++x) {
        EXPECT_GE(shade.lum(x, 0), shade.lum(x - 1, 0) - 1e-9) << x;
        EXPECT_GE(shade.at(x, 0, 2), shade.at(x, 0, 0)) << "not blue at " << x;
    }
    EXPECT_LE(shade.lum(0, 0), 8.0 / 255.0);
    EXPECT_GE(shade.lum(shade.width - 1, 0), 247.0 / 255.0);

    Picture mask;
    ASSERT_TRUE(loadPicture("glowmask.tga", mask));
    expectTiles(mask, 0);

    Picture offset;
    ASSERT_TRUE(loadPicture("offsetx.tga", offset));
    expectTiles(offset, 0);
    int lowest = 255;
    int highest = 0;
    for (int y = 0; y < offset.height; ++y)
        for (int x = 0; x < offset.width; ++x) {
            lowest = std::min(lowest, offset.at(x, y, 0));
            highest = std::max(highest, offset.at(x, y, 0));
        }
    EXPECT_LT(lowest, 128) << "shifts go both ways around 0.5";
    EXPECT_GT(highest, 128);

    Picture lines;
    ASSERT_TRUE(loadPicture("scanlines.tga", lines));
    EXPECT_TRUE(isPowerOfTwo(lines.height));
    int darkest = 255;
    int brightest = 0;
    for (int y = 0; y < lines.height; ++y) {
        EXPECT_EQ(lines.at(0, y, 0), lines.at(0, (y + 4) % lines.height, 0)) << "period 4 at row " << y;
        darkest = std::min(darkest, lines.at(0, y, 0));
        brightest = std::max(brightest, lines.at(0, y, 0));
    }
    EXPECT_GE(brightest - darkest, 16) << "no visible lines";
    EXPECT_GE(darkest, 128) << "the lines black the picture out";

    Picture noise;
    ASSERT_TRUE(loadPicture("screennoise.tga", noise));
    double sum = 0.0;
    for (int y = 0; y < noise.height; ++y)
        for (int x = 0; x < noise.width; ++x)
            sum += noise.at(x, y, 0);
    EXPECT_NEAR(sum / (noise.width * noise.height), 127.5, 4.0) << "grain would shift the brightness";

    Picture blur;
    ASSERT_TRUE(loadPicture("dofblurintensity.tga", blur));
    EXPECT_TRUE(rowsIdentical(blur)) << "looked up by depth along u";
    EXPECT_GE(blur.at(0, 0, 0), 240) << "the empty background is blurred";
    EXPECT_LE(blur.at(blur.width / 2, 0, 0), 8) << "mid depth is sharp";
}

TEST(CorePictures, GeneratorWritesTheSameBytesEveryRun)
{
    const std::filesystem::path dir = scratchDir("run");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string command = std::string("'") + BINARY_DIR + "/tools/core_pictures/core_pictures' '"
        + dir.string() + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* name : PICTURE_NAMES) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(readFile((dir / "data" / name).string()) == readFile(std::string("data/") + name));
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
