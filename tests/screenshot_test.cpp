// Screenshots: the counter names, the BMP an independent reader (ImageMagick) decodes upright
// and equal to the frame, one shot per frame however often it was requested, a file that cannot
// be created; and the surface flips and pixel access they rest on.
#include "app/screenshot.h"
#include "gl_test_context.h"
#include "tga_test_files.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char CONVERT[] = "/usr/bin/convert";

std::vector<uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// An asymmetric frame on framebuffer 0: a gradient-free layout of coloured boxes, so a picture
// upside down or mirrored differs everywhere that matters.
void drawKnownFrame()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    const struct {
        int x, y, w, h;
        float r, g, b;
    } boxes[] = {
        {0, 980, 400, 100, 1.0f, 0.0f, 0.0f},    // top-left red band
        {1800, 0, 120, 60, 0.0f, 1.0f, 0.0f},    // bottom-right green corner
        {700, 300, 13, 500, 1.0f, 1.0f, 0.5f},   // a tall odd-width bar
        {0, 0, 1, 1, 0.0f, 0.0f, 1.0f},          // the bottom-left pixel
    };
    for (const auto& b : boxes) {
        glScissor(b.x, b.y, b.w, b.h);
        glClearColor(b.r, b.g, b.b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glFinish();
}

// RGB of the frame, top row first, as an image file stores it.
std::vector<uint8_t> frameRgbTopFirst()
{
    const std::vector<uint8_t> rgba = readPixelsRgba(0, 0, 1920, 1080);
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(1920) * 1080 * 3);
    for (int y = 1079; y >= 0; --y)
        for (int x = 0; x < 1920; ++x)
            for (int c = 0; c < 3; ++c)
                rgb.push_back(rgba[(static_cast<size_t>(y) * 1920 + x) * 4 + c]);
    return rgb;
}

class ScreenshotTest : public ::testing::Test {
protected:
    ScopedDataFolder folder;  // the shots land in this temporary working folder

    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        ASSERT_FALSE(folder.root.empty());
        screenshotCounter = SCREENSHOT_FIRST_COUNTER;
        screenshotRequested = 0;
        std::filesystem::remove(folder.root / "data");
    }
    void TearDown() override
    {
        screenshotCounter = SCREENSHOT_FIRST_COUNTER;
        screenshotRequested = 0;
    }
};

TEST_F(ScreenshotTest, ShotsAreNamedByTheCounterAndDecodeUprightAsTheFrame)
{
    if (access(CONVERT, X_OK) != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    drawKnownFrame();
    const std::vector<uint8_t> expected = frameRgbTopFirst();

    screenshotRequested = 1;
    serveScreenshotRequest();
    EXPECT_EQ(screenshotRequested, 0);
    EXPECT_STREQ(screenshotName, "screenshot_@.BMP");
    ASSERT_EQ(folderEntries(folder.root), std::vector<std::string>{"screenshot_@.BMP"});

    const std::vector<uint8_t> bmp = fileBytes(folder.root / "screenshot_@.BMP");
    ASSERT_GT(bmp.size(), 30u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[28] | (bmp[29] << 8), 24) << "a surface without alpha is written as 24-bit";

    const std::string command = std::string(CONVERT) + " 'screenshot_@.BMP' -depth 8 rgb:decoded.rgb 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<uint8_t> decoded = fileBytes(folder.root / "decoded.rgb");
    ASSERT_EQ(decoded.size(), expected.size());
    size_t differing = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        differing += decoded[i] != expected[i];
    EXPECT_EQ(differing, 0u);
    std::filesystem::remove(folder.root / "decoded.rgb");

    screenshotRequested = 1;
    serveScreenshotRequest();
    EXPECT_STREQ(screenshotName, "screenshot_A.BMP");
    EXPECT_EQ(folderEntries(folder.root), (std::vector<std::string>{"screenshot_@.BMP", "screenshot_A.BMP"}));
}

TEST_F(ScreenshotTest, SeveralRequestsInOneFrameGiveOneShot)
{
    drawKnownFrame();
    screenshotRequested = 1;
    screenshotRequested = 1;
    serveScreenshotRequest();
    serveScreenshotRequest();  // the next frame, with no new request
    EXPECT_EQ(folderEntries(folder.root), std::vector<std::string>{"screenshot_@.BMP"});
    EXPECT_EQ(screenshotCounter, SCREENSHOT_FIRST_COUNTER + 1);
}

TEST_F(ScreenshotTest, CounterCharactersThatCannotNameAFileAreSkipped)
{
    drawKnownFrame();
    const struct {
        int counter;
        char character;  // in the name
        int next;
    } cases[] = {
        {'Z', 'Z', '[' },
        {'[', '[', '\\'},   // a backslash is an ordinary character in a name here
        {'/', '0', '1'},    // the path separator is skipped
        {256, '\x01', 258}, // the low byte 0 would end the name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.counter);
        screenshotCounter = c.counter;
        takeScreenshot();
        EXPECT_EQ(screenshotName[SCREENSHOT_COUNTER_INDEX], c.character);
        EXPECT_EQ(std::string(screenshotName).size(), 16u);
        EXPECT_EQ(screenshotCounter, c.next);
        EXPECT_TRUE(std::filesystem::is_regular_file(folder.root / screenshotName));
    }
}

TEST_F(ScreenshotTest, AFileThatCannotBeCreatedChangesNothingElse)
{
    drawKnownFrame();
    const std::vector<uint8_t> before = readPixelsRgba(0, 0, 1920, 1080);
    // A folder stands where the shot would go.
    std::filesystem::create_directory(folder.root / "screenshot_@.BMP");
    testing::internal::CaptureStderr();
    takeScreenshot();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("screenshot_@.BMP"), std::string::npos) << errors;
    EXPECT_TRUE(std::filesystem::is_directory(folder.root / "screenshot_@.BMP"));
    EXPECT_EQ(folderEntries(folder.root), std::vector<std::string>{"screenshot_@.BMP"}) << "no temporary file left";
    EXPECT_EQ(readPixelsRgba(0, 0, 1920, 1080), before);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    takeScreenshot();  // the next shot goes on as usual
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.root / "screenshot_A.BMP"));
}

// A 3 x 2 surface whose rows are padded to 4 pixels, with pixel values 10 * y + x + 1.
struct PaddedSurface {
    uint32_t memory[2][4] = {{1, 2, 3, 0xDEAD}, {11, 12, 13, 0xBEEF}};
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(memory, 3, 2, 32, sizeof memory[0], 0, 0, 0, 0);
    ~PaddedSurface() { SDL_FreeSurface(surface); }
};

TEST(SurfaceFlips, RowsAndColumnsThroughThePitch)
{
    const struct {
        const char* name;
        int flags;
        uint32_t expected[2][3];
    } cases[] = {
        {"neither flag copies nothing", 0, {{0, 0, 0}, {0, 0, 0}}},
        {"rows reversed", FLIP_ROWS, {{11, 12, 13}, {1, 2, 3}}},
        {"columns reversed", FLIP_COLUMNS, {{3, 2, 1}, {13, 12, 11}}},
        {"both", FLIP_ROWS | FLIP_COLUMNS, {{13, 12, 11}, {3, 2, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PaddedSurface source;
        ASSERT_NE(source.surface, nullptr) << SDL_GetError();
        SDL_Surface* flipped = flipSurface(source.surface, c.flags);
        ASSERT_NE(flipped, nullptr);
        EXPECT_EQ(flipped->w, 3);
        EXPECT_EQ(flipped->h, 2);
        EXPECT_EQ(flipped->format->BitsPerPixel, 32);
        EXPECT_EQ(flipped->format->Amask, 0u);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(getSurfacePixel(flipped, x, y), c.expected[y][x]) << x << "," << y;
        SDL_FreeSurface(flipped);
        EXPECT_EQ(source.memory[0][3], 0xDEADu) << "the row padding is not pixels";
        EXPECT_EQ(source.memory[1][3], 0xBEEFu);
    }
}

TEST(SurfaceFlips, OnlyThirtyTwoBitSurfacesAndPositionsInside)
{
    PaddedSurface padded;
    putSurfacePixel(padded.surface, 2, 1, 99);
    EXPECT_EQ(padded.memory[1][2], 99u);
    putSurfacePixel(padded.surface, 3, 0, 7);   // past the row end: the padding stays
    putSurfacePixel(padded.surface, 0, 2, 7);   // below the last row
    putSurfacePixel(padded.surface, -1, 0, 7);
    EXPECT_EQ(padded.memory[0][3], 0xDEADu);
    EXPECT_EQ(getSurfacePixel(padded.surface, 3, 0), 0u);

    SDL_Surface* rgb24 = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 24, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(rgb24, nullptr);
    std::memset(rgb24->pixels, 0x5A, static_cast<size_t>(rgb24->pitch) * rgb24->h);
    EXPECT_EQ(flipSurface(rgb24, FLIP_ROWS), nullptr);
    EXPECT_EQ(getSurfacePixel(rgb24, 0, 0), 0u);
    putSurfacePixel(rgb24, 0, 0, 0);
    EXPECT_EQ(static_cast<uint8_t*>(rgb24->pixels)[0], 0x5A);
    SDL_FreeSurface(rgb24);
}

}  // namespace
