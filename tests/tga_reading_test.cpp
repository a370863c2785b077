// The TGA reader on hand-built files: accepted pictures, every rejected header, run-length
// packets at their limits, truncation at every length, and the message-box variant's texts.
#include "gfx/tga.h"
#include "tests/tga_test_files.h"

#include <gtest/gtest.h>

#include <new>

#include <string>

namespace {

TgaBytes rawPacket(const TgaBytes& filePixels, size_t bytesPerPixel)
{
    TgaBytes bytes{static_cast<uint8_t>(filePixels.size() / bytesPerPixel - 1)};
    bytes.insert(bytes.end(), filePixels.begin(), filePixels.end());
    return bytes;
}

TgaBytes runPacket(unsigned count, const TgaBytes& filePixel)
{
    TgaBytes bytes{static_cast<uint8_t>(0x80 + count - 1)};
    bytes.insert(bytes.end(), filePixel.begin(), filePixel.end());
    return bytes;
}

TgaBytes firstBytes(const TgaBytes& bytes, size_t count)
{
    return TgaBytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// The body a body reader sees: everything after the 12-byte fixed header.
TgaBytes bodyOf(const TgaBytes& bytes)
{
    return TgaBytes(bytes.begin() + TGA_FIXED_HEADER_BYTES, bytes.end());
}

TgaBytes repeated(const TgaBytes& pixel, size_t count)
{
    TgaBytes bytes;
    for (size_t i = 0; i < count; ++i)
        bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return bytes;
}

struct AcceptedCase {
    const char* what;
    TgaBytes file;
    uint32_t width;
    uint32_t height;
    uint32_t bpp;
    TgaBytes pixels;  // as the reader returns them
};

std::vector<AcceptedCase> acceptedCases()
{
    const TgaBytes p24 = patternPixels(6, 3);
    const TgaBytes p32 = patternPixels(4, 4);
    const TgaBytes raw128 = patternPixels(128, 3, 1);
    const TgaBytes blue{0xFF, 0x00, 0x00};
    const TgaBytes rgbaRun{0x10, 0x20, 0x30, 0x40};
    const TgaBytes head = patternPixels(2, 3, 2);
    const TgaBytes tail = patternPixels(3, 3, 3);
    return {
        {"uncompressed 24 bits, red first", joinBytes({tgaHeader(2, 3, 2, 24), p24}), 3, 2, 24, swappedPixels(p24, 3)},
        {"uncompressed 32 bits keeps alpha", joinBytes({tgaHeader(2, 2, 2, 32), p32}), 2, 2, 32, swappedPixels(p32, 4)},
        {"top-left descriptor changes nothing", joinBytes({tgaHeader(2, 3, 2, 24, 0x20), p24}), 3, 2, 24,
         swappedPixels(p24, 3)},
        {"alpha descriptor bits change nothing", joinBytes({tgaHeader(2, 2, 2, 32, 0x28), p32}), 2, 2, 32,
         swappedPixels(p32, 4)},
        {"uncompressed with trailing bytes", joinBytes({tgaHeader(2, 3, 2, 24), p24, {1, 2, 3, 4, 5}}), 3, 2, 24,
         swappedPixels(p24, 3)},
        {"widest accepted row", joinBytes({tgaHeader(2, 16384, 1, 24), patternPixels(16384, 3)}), 16384, 1, 24,
         swappedPixels(patternPixels(16384, 3), 3)},
        {"raw packet 0x00 reads one pixel", joinBytes({tgaHeader(10, 1, 1, 24), {0x00, 1, 2, 3}}), 1, 1, 24, {3, 2, 1}},
        {"raw packet 0x7F reads 128 pixels", joinBytes({tgaHeader(10, 128, 1, 24), rawPacket(raw128, 3)}), 128, 1, 24,
         swappedPixels(raw128, 3)},
        {"run packet 0x80 stores one copy", joinBytes({tgaHeader(10, 1, 1, 24), runPacket(1, blue)}), 1, 1, 24,
         {0, 0, 0xFF}},
        {"run packet 0xFF stores 128 copies", joinBytes({tgaHeader(10, 16, 8, 24), runPacket(128, blue)}), 16, 8, 24,
         repeated({0, 0, 0xFF}, 128)},
        {"32-bit run keeps alpha", joinBytes({tgaHeader(10, 2, 1, 32), runPacket(2, rgbaRun)}), 2, 1, 32,
         repeated({0x30, 0x20, 0x10, 0x40}, 2)},
        {"a run crosses the end of a row",
         joinBytes({tgaHeader(10, 3, 2, 24), rawPacket(head, 3), runPacket(4, blue)}), 3, 2, 24,
         joinBytes({swappedPixels(head, 3), repeated({0, 0, 0xFF}, 4)})},
        {"raw packet crosses rows after a run",
         joinBytes({tgaHeader(10, 2, 2, 24), runPacket(1, blue), rawPacket(tail, 3)}), 2, 2, 24,
         joinBytes({{0, 0, 0xFF}, swappedPixels(tail, 3)})},
        {"packets covering the picture ignore trailing bytes",
         joinBytes({tgaHeader(10, 2, 1, 24), runPacket(2, blue), {0xFF, 0xFF, 0xFF, 0xFF}}), 2, 1, 24,
         repeated({0, 0, 0xFF}, 2)},
    };
}

TEST(TgaReading, DecodesAcceptedPictures)
{
    for (const AcceptedCase& c : acceptedCases()) {
        SCOPED_TRACE(c.what);
        TgaImage image;
        TgaFault fault = TgaFault::OPEN_FAILED;
        ASSERT_TRUE(readTgaBytes(c.file, image, fault));
        EXPECT_EQ(fault, TgaFault::NONE);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.bpp, c.bpp);
        EXPECT_EQ(image.glFormat, c.bpp == 24 ? TGA_FORMAT_RGB : TGA_FORMAT_RGBA);
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(TgaBytes(image.data, image.data + c.pixels.size()), c.pixels);
        releaseTgaImage(image);
        EXPECT_EQ(image.data, nullptr);
    }
}

struct RejectedCase {
    const char* what;
    TgaBytes file;
    TgaFault fault;
};

TgaBytes withByte(TgaBytes bytes, size_t index, uint8_t value)
{
    bytes[index] = value;
    return bytes;
}

std::vector<RejectedCase> rejectedCases()
{
    const TgaBytes good = joinBytes({tgaHeader(2, 1, 1, 24), {1, 2, 3}});
    const TgaBytes goodRle = joinBytes({tgaHeader(10, 1, 1, 24), {0x80, 1, 2, 3}});
    std::vector<RejectedCase> cases = {
        {"empty file", {}, TgaFault::HEADER_SHORT},
        {"11 header bytes", firstBytes(good, 11), TgaFault::HEADER_SHORT},
        {"image ID field", withByte(good, 0, 1), TgaFault::HEADER_MISMATCH},
        {"colour map present", withByte(good, 1, 1), TgaFault::HEADER_MISMATCH},
        {"image type 0", withByte(good, 2, 0), TgaFault::HEADER_MISMATCH},
        {"image type 1 (colour mapped)", withByte(good, 2, 1), TgaFault::HEADER_MISMATCH},
        {"image type 3 (grey)", withByte(good, 2, 3), TgaFault::HEADER_MISMATCH},
        {"image type 9 (mapped RLE)", withByte(good, 2, 9), TgaFault::HEADER_MISMATCH},
        {"image type 11 (grey RLE)", withByte(good, 2, 11), TgaFault::HEADER_MISMATCH},
        {"type high byte", withByte(good, 3, 2), TgaFault::HEADER_MISMATCH},
        {"colour map length", withByte(good, 5, 1), TgaFault::HEADER_MISMATCH},
        {"colour map entry size", withByte(goodRle, 7, 24), TgaFault::HEADER_MISMATCH},
        {"x origin", withByte(good, 8, 1), TgaFault::HEADER_MISMATCH},
        {"x origin high byte", withByte(goodRle, 9, 1), TgaFault::HEADER_MISMATCH},
        {"y origin", withByte(good, 10, 1), TgaFault::HEADER_MISMATCH},
        {"y origin high byte", withByte(good, 11, 1), TgaFault::HEADER_MISMATCH},
        {"uncompressed, no image fields", firstBytes(good, 12),
         TgaFault::UNCOMPRESSED_IMAGE_FIELDS_SHORT},
        {"uncompressed, 5 image-field bytes", firstBytes(good, 17),
         TgaFault::UNCOMPRESSED_IMAGE_FIELDS_SHORT},
        {"run-length, 5 image-field bytes", firstBytes(goodRle, 17),
         TgaFault::RLE_IMAGE_FIELDS_SHORT},
        {"uncompressed, no pixels", firstBytes(good, 18), TgaFault::UNCOMPRESSED_PIXELS_SHORT},
        {"run-length, no packet", firstBytes(goodRle, 18), TgaFault::RLE_PACKET_HEADER_SHORT},
    };
    struct BadFields {
        const char* what;
        uint16_t width, height;
        uint8_t bpp;
    };
    const BadFields invalid[] = {
        {"width 0", 0, 1, 24},       {"height 0", 1, 0, 24},         {"8 bits", 1, 1, 8},
        {"15 bits", 1, 1, 15},       {"16 bits", 1, 1, 16},          {"25 bits", 1, 1, 25},
        {"width over the cap", 16385, 1, 24}, {"height over the cap", 1, 16385, 32},
        {"largest header", 65535, 65535, 32},
    };
    for (const BadFields& s : invalid) {
        // Enough body bytes that only the image fields can be the reason.
        cases.push_back({s.what, joinBytes({tgaHeader(2, s.width, s.height, s.bpp), TgaBytes(64, 0)}),
                         TgaFault::UNCOMPRESSED_IMAGE_FIELDS_INVALID});
        cases.push_back({s.what, joinBytes({tgaHeader(10, s.width, s.height, s.bpp), TgaBytes(64, 0x80)}),
                         TgaFault::RLE_IMAGE_FIELDS_INVALID});
    }
    return cases;
}

TEST(TgaReading, RejectsEveryUnsupportedHeader)
{
    for (const RejectedCase& c : rejectedCases()) {
        SCOPED_TRACE(c.what);
        TgaImage image;
        TgaFault fault = TgaFault::NONE;
        EXPECT_FALSE(readTgaBytes(c.file, image, fault));
        EXPECT_EQ(fault, c.fault);
        EXPECT_EQ(image.data, nullptr);
    }
}

TEST(TgaReading, RunLengthPacketFaults)
{
    const TgaBytes px{1, 2, 3};
    const RejectedCase cases[] = {
        {"run one beyond the picture", joinBytes({tgaHeader(10, 2, 2, 24), runPacket(5, px)}),
         TgaFault::RLE_TOO_MANY_PIXELS},
        {"last run reaches beyond", joinBytes({tgaHeader(10, 2, 2, 24), runPacket(3, px), runPacket(2, px)}),
         TgaFault::RLE_TOO_MANY_PIXELS},
        {"raw packet one beyond", joinBytes({tgaHeader(10, 2, 1, 24), rawPacket(patternPixels(3, 3), 3)}),
         TgaFault::RLE_TOO_MANY_PIXELS},
        {"largest run into a small picture", joinBytes({tgaHeader(10, 1, 1, 32), runPacket(128, {1, 2, 3, 4})}),
         TgaFault::RLE_TOO_MANY_PIXELS},
        {"packet header missing midway", joinBytes({tgaHeader(10, 2, 2, 24), runPacket(3, px)}),
         TgaFault::RLE_PACKET_HEADER_SHORT},
        {"raw pixel cut short", joinBytes({tgaHeader(10, 2, 2, 24), {0x03, 1, 2, 3, 4, 5, 6, 7}}),
         TgaFault::RLE_RAW_PIXEL_SHORT},
        {"raw packet missing pixels before it would overrun",
         joinBytes({tgaHeader(10, 1, 1, 24), {0x01, 1, 2, 3}}), TgaFault::RLE_RAW_PIXEL_SHORT},
        {"run pixel cut short", joinBytes({tgaHeader(10, 2, 2, 32), {0x83, 1, 2, 3}}),
         TgaFault::RLE_RUN_PIXEL_SHORT},
    };
    for (const RejectedCase& c : cases) {
        SCOPED_TRACE(c.what);
        TgaImage image;
        TgaFault fault = TgaFault::NONE;
        EXPECT_FALSE(readTgaBytes(c.file, image, fault));
        EXPECT_EQ(fault, c.fault);
        EXPECT_EQ(image.data, nullptr);
    }
}

// The largest nothrow array request made while `watchingArrays` is set: the readers take their
// pixel buffers this way.
bool watchingArrays = false;
size_t largestWatchedArray = 0;

TEST(TgaReading, HeaderAskingMoreThanTheFileHoldsIsRefusedWithoutItsBuffer)
{
    const TgaBytes px{1, 2, 3, 4};
    const RejectedCase cases[] = {
        {"uncompressed 1 GiB header, no pixels", tgaHeader(2, 16384, 16384, 32), TgaFault::UNCOMPRESSED_PIXELS_SHORT},
        {"uncompressed 1 GiB header, some pixels", joinBytes({tgaHeader(2, 16384, 16384, 32), TgaBytes(4096, 7)}),
         TgaFault::UNCOMPRESSED_PIXELS_SHORT},
        {"run-length 1 GiB header, no packet", tgaHeader(10, 16384, 16384, 32), TgaFault::RLE_PACKET_HEADER_SHORT},
        {"run-length 1 GiB header, three full runs",
         joinBytes({tgaHeader(10, 16384, 16384, 32), runPacket(128, px), runPacket(128, px), runPacket(128, px)}),
         TgaFault::RLE_PACKET_HEADER_SHORT},
        {"run-length, a raw packet cut short",
         joinBytes({tgaHeader(10, 16384, 16384, 32), {0x7f, 1, 2, 3}}), TgaFault::RLE_RAW_PIXEL_SHORT},
        {"run-length, a run pixel cut short", joinBytes({tgaHeader(10, 16384, 16384, 32), {0x80, 1}}),
         TgaFault::RLE_RUN_PIXEL_SHORT},
    };
    for (const RejectedCase& c : cases) {
        SCOPED_TRACE(c.what);
        TgaImage image;
        TgaFault fault = TgaFault::NONE;
        largestWatchedArray = 0;
        watchingArrays = true;
        bool ok = readTgaBytes(c.file, image, fault);
        watchingArrays = false;
        EXPECT_FALSE(ok);
        EXPECT_EQ(fault, c.fault);
        EXPECT_EQ(image.data, nullptr);
        EXPECT_LT(largestWatchedArray, size_t{1} << 20);
    }

    // Exactly as many full run packets as the picture needs: the bound lets it through.
    TgaImage image;
    TgaFault fault = TgaFault::NONE;
    ASSERT_TRUE(readTgaBytes(joinBytes({tgaHeader(10, 128, 2, 32), runPacket(128, px), runPacket(128, px)}), image, fault));
    EXPECT_EQ(image.data[0], 3);
    EXPECT_EQ(image.data[255 * 4 + 3], 4);
    releaseTgaImage(image);
}

// A stream that cannot tell its length (a pipe) is read in pieces to the same results.
TEST(TgaReading, StreamsWithoutALengthReadTheSame)
{
    const TgaBytes px{1, 2, 3};
    const struct {
        const char* what;
        TgaBytes file;
        TgaFault fault;
    } cases[] = {
        {"uncompressed", joinBytes({tgaHeader(2, 3, 2, 24), patternPixels(6, 3)}), TgaFault::NONE},
        {"uncompressed cut short", joinBytes({tgaHeader(2, 3, 2, 24), patternPixels(5, 3)}),
         TgaFault::UNCOMPRESSED_PIXELS_SHORT},
        {"run-length with trailing bytes", joinBytes({tgaHeader(10, 3, 2, 24), runPacket(4, px),
                                                      rawPacket(patternPixels(2, 3), 3), {9, 9, 9}}),
         TgaFault::NONE},
        {"run-length cut short", joinBytes({tgaHeader(10, 3, 2, 24), runPacket(4, px), {0x01, 1, 2}}),
         TgaFault::RLE_RAW_PIXEL_SHORT},
        {"run-length 1 GiB header", joinBytes({tgaHeader(10, 16384, 16384, 32), runPacket(128, {1, 2, 3, 4})}),
         TgaFault::RLE_PACKET_HEADER_SHORT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        ASSERT_EQ(write(ends[1], c.file.data(), c.file.size()), static_cast<ssize_t>(c.file.size()));
        close(ends[1]);
        FILE* stream = fdopen(ends[0], "rb");
        ASSERT_NE(stream, nullptr);
        TgaImage piped;
        TgaFault pipedFault = TgaFault::NONE;
        readTgaFile(piped, "pipe.tga", stream, &pipedFault);
        EXPECT_EQ(pipedFault, c.fault);
        TgaImage image;
        TgaFault fault = TgaFault::NONE;
        readTgaBytes(c.file, image, fault);
        EXPECT_EQ(fault, c.fault);
        ASSERT_EQ(piped.data != nullptr, image.data != nullptr);
        if (image.data) {
            const size_t bytes = static_cast<size_t>(image.bpp / 8) * image.width * image.height;
            EXPECT_EQ(TgaBytes(piped.data, piped.data + bytes), TgaBytes(image.data, image.data + bytes));
        }
        releaseTgaImage(piped);
        releaseTgaImage(image);
    }
}

TEST(TgaReading, TruncationAtEveryLengthFails)
{
    const struct {
        const char* what;
        TgaBytes file;
    } files[] = {
        {"uncompressed 24", joinBytes({tgaHeader(2, 3, 2, 24), patternPixels(6, 3)})},
        {"uncompressed 32", joinBytes({tgaHeader(2, 2, 2, 32), patternPixels(4, 4)})},
        {"run-length 24", joinBytes({tgaHeader(10, 3, 2, 24), rawPacket(patternPixels(2, 3), 3), runPacket(3, {9, 8, 7}),
                                     {0x00, 4, 5, 6}})},
        {"run-length 32", joinBytes({tgaHeader(10, 2, 2, 32), runPacket(2, {1, 2, 3, 4}),
                                     rawPacket(patternPixels(2, 4), 4)})},
    };
    for (const auto& f : files) {
        for (size_t length = 0; length < f.file.size(); ++length) {
            SCOPED_TRACE(std::string(f.what) + " cut to " + std::to_string(length) + " bytes");
            TgaImage image;
            TgaFault fault = TgaFault::NONE;
            EXPECT_FALSE(readTgaBytes(firstBytes(f.file, length), image, fault));
            EXPECT_NE(fault, TgaFault::NONE);
            EXPECT_EQ(image.data, nullptr);
        }
        TgaImage image;
        TgaFault fault = TgaFault::NONE;
        EXPECT_TRUE(readTgaBytes(f.file, image, fault)) << f.what;
        releaseTgaImage(image);
    }
}

// The message-box variant: the listed text and caption on stderr (where showMessageBox always
// writes "caption: text"), nothing for the silent failures.
TEST(TgaReading, MessageVariantShowsTheListedBox)
{
    const TgaBytes px{1, 2, 3};
    const struct {
        const char* what;
        TgaBytes file;
        const char* box;  // "" for no box
    } cases[] = {
        {"header short", {0, 0, 2}, "pic.tga: Could not read file header\n"},
        {"wrong type", joinBytes({tgaHeader(3, 1, 1, 24), px}), "pic.tga: TGA file be type 2 or type 10 \n"},
        {"uncompressed image fields short", firstBytes(tgaHeader(2, 1, 1, 24), 14), "ERROR: Could not read info header\n"},
        {"uncompressed 16 bits", joinBytes({tgaHeader(2, 1, 1, 16), px}), "pic.tga: Invalid texture information\n"},
        {"uncompressed pixels short", joinBytes({tgaHeader(2, 2, 1, 24), px}), "ERROR: Could not read image data\n"},
        {"run-length image fields short", firstBytes(tgaHeader(10, 1, 1, 24), 14),
         ""},
        {"run-length 16 bits", joinBytes({tgaHeader(10, 1, 1, 16), runPacket(1, px)}), ""},
        {"run-length packet header short", tgaHeader(10, 1, 1, 24), "pic.tga: Could not read RLE header\n"},
        {"run-length raw pixel short", joinBytes({tgaHeader(10, 1, 1, 24), {0x00, 1, 2}}),
         "pic.tga: Could not read image data\n"},
        {"run-length run pixel short", joinBytes({tgaHeader(10, 1, 1, 24), {0x80, 1, 2}}),
         "pic.tga: Could not read from file\n"},
        {"run-length too many pixels", joinBytes({tgaHeader(10, 1, 1, 24), runPacket(2, px)}),
         "pic.tga: Too many pixels read\n"},
        {"success", joinBytes({tgaHeader(10, 1, 1, 24), runPacket(1, px)}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int64_t totalBefore = totalTextureBytes;
        TgaImage image;
        TgaFault fault = TgaFault::NONE;
        testing::internal::CaptureStderr();
        bool ok = readTgaBytes(c.file, image, fault, true, "pic.tga");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.box);
        EXPECT_EQ(ok, std::string(c.what) == "success");
        EXPECT_EQ(ok, image.data != nullptr);
        EXPECT_EQ(totalTextureBytes, totalBefore) << "only the silent readers count sizes";
        releaseTgaImage(image);
    }
}

TEST(TgaReading, SilentReaderPrintsNothingAndCountsSizes)
{
    const int64_t totalBefore = totalTextureBytes;
    TgaImage image;
    TgaFault fault = TgaFault::NONE;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    // A picture whose pixels are short: the size is still counted.
    EXPECT_FALSE(readTgaBytes(joinBytes({tgaHeader(2, 4, 2, 32), {1, 2}}), image, fault));
    EXPECT_TRUE(readTgaBytes(joinBytes({tgaHeader(10, 3, 1, 24), runPacket(3, {1, 2, 3})}), image, fault));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(totalTextureBytes - totalBefore, 4 * 4 * 2 + 3 * 3);
    releaseTgaImage(image);
}

TEST(TgaReading, DataFolderEntryPoints)
{
    ScopedDataFolder folder;
    const TgaBytes px = patternPixels(2, 3);
    ASSERT_TRUE(folder.write("two.tga", joinBytes({tgaHeader(2, 2, 1, 24), px})));
    ASSERT_TRUE(folder.write("broken.tga", joinBytes({tgaHeader(2, 2, 1, 24), {1}})));

    for (bool withMessages : {false, true}) {
        SCOPED_TRACE(withMessages ? "message-box entry point" : "silent entry point");
        auto load = [&](TgaImage& image, const char* name) {
            return withMessages ? loadTgaWithMessages(image, name) : loadTgaImage(image, name);
        };
        TgaImage image;
        ASSERT_TRUE(load(image, "two.tga"));
        EXPECT_EQ(TgaBytes(image.data, image.data + 6), swappedPixels(px, 3));
        releaseTgaImage(image);

        testing::internal::CaptureStderr();
        EXPECT_FALSE(load(image, "missing.tga"));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a missing file shows no message";
        EXPECT_EQ(image.data, nullptr);

        testing::internal::CaptureStderr();
        EXPECT_FALSE(load(image, "broken.tga"));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), withMessages ? "ERROR: Could not read image data\n" : "");
        EXPECT_EQ(image.data, nullptr);
    }
}

TEST(TgaReading, BodyReadersCloseTheFileOnEveryPath)
{
    // The body readers start after the fixed header; both close the file they are given, so
    // the descriptor is free again afterwards (fileno of a fresh stream reuses it).
    const struct {
        bool rle;
        TgaBytes body;
        bool ok;
    } cases[] = {
        {false, bodyOf(joinBytes({tgaHeader(2, 1, 1, 24), {1, 2, 3}})), true},
        {false, TgaBytes{1, 0}, false},
        {true, bodyOf(joinBytes({tgaHeader(10, 1, 1, 24), {0x80, 1, 2, 3}})),
         true},
        {true, bodyOf(joinBytes({tgaHeader(10, 1, 1, 24), {0x81, 1, 2, 3}})),
         false},
    };
    for (const auto& c : cases) {
        char path[] = "/tmp/tga_body_XXXXXX";
        int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        ASSERT_TRUE(writeFileBytes(path, c.body));
        FILE* file = std::fopen(path, "rb");
        ASSERT_NE(file, nullptr);
        const int descriptor = fileno(file);
        TgaImage image;
        EXPECT_EQ(c.rle ? readTgaRle(image, "body.tga", file) : readTgaUncompressed(image, "body.tga", file), c.ok);
        EXPECT_EQ(image.data != nullptr, c.ok);
        FILE* probe = std::fopen(path, "rb");
        ASSERT_NE(probe, nullptr);
        EXPECT_EQ(fileno(probe), descriptor) << "the reader left its file open";
        std::fclose(probe);
        releaseTgaImage(image);
        std::remove(path);
    }
}

}  // namespace

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    if (watchingArrays && size > largestWatchedArray)
        largestWatchedArray = size;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}
