#include "gfx/height_profile.h"
#include "tga_test_files.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A picture drawn as text, first stored row first: each character one pixel.
// 'R' red, 'K' black, 'Y' red with other green and blue (same red byte as 'R'), 'M' a red
// byte of 254 (one level from 'R').
using PictureRows = std::vector<std::string>;

TgaBytes filePixel(char c)
{
    switch (c) {
    case 'R': return {0, 0, 255, 255};
    case 'Y': return {200, 90, 255, 255};
    case 'M': return {0, 0, 254, 255};
    default: return {0, 0, 0, 255};
    }
}

TgaBytes pictureTga(const PictureRows& rows, uint8_t descriptor = 0)
{
    const uint16_t width = static_cast<uint16_t>(rows[0].size());
    const uint16_t height = static_cast<uint16_t>(rows.size());
    TgaBytes bytes = tgaHeader(2, width, height, 32, descriptor);
    for (const std::string& row : rows)
        for (char c : row) {
            TgaBytes p = filePixel(c);
            bytes.insert(bytes.end(), p.begin(), p.end());
        }
    return bytes;
}

// A one-colour picture at any size and depth.
TgaBytes plainTga(uint16_t width, uint16_t height, uint8_t bpp)
{
    TgaBytes bytes = tgaHeader(2, width, height, bpp);
    bytes.resize(bytes.size() + static_cast<size_t>(width) * height * (bpp / 8), 0x40);
    return bytes;
}

// Every case starts with an empty table and its own data folder.
class HeightProfileLoading : public ::testing::Test {
protected:
    ScopedDataFolder folder;

    void SetUp() override
    {
        std::memset(heightProfiles, 0, sizeof heightProfiles);
        heightProfileCount = 0;
    }
    void TearDown() override
    {
        std::memset(heightProfiles, 0, sizeof heightProfiles);
        heightProfileCount = 0;
    }
    int32_t loadBytes(const char* name, const TgaBytes& bytes)
    {
        EXPECT_TRUE(folder.write(name, bytes));
        return loadHeightProfile(name);
    }
};

struct ScanCase {
    const char* what;
    PictureRows rows;
    std::vector<float> heights;  // expected element per column
};

const ScanCase SCAN_CASES[] = {
    // Column 0 red in rows 0 and 1, black below; column 1 one colour; column 2 changes at
    // once; column 3 differs only in green and blue.
    {"mixed 4 x 4", {"RKRR", "RKKR", "KKKY", "KKKY"}, {0.5f, 0.75f, 0.25f, 0.75f}},
    {"one colour top to bottom gives (h-1)/h", {"RR", "RR", "RR", "RR", "RR", "RR", "RR", "RR"},
        {7.0f / 8, 7.0f / 8}},
    {"green and blue changes are ignored", {"R", "Y", "Y", "R"}, {0.75f}},
    {"a red byte one level off counts", {"RR", "RR", "MR", "RR"}, {0.5f, 0.75f}},
    {"only the first change counts", {"R", "K", "R", "K"}, {0.25f}},
    {"a change in the last row", {"K", "K", "K", "R"}, {0.75f}},
    {"two rows", {"RK", "RR"}, {0.5f, 0.5f}},
    {"a one-row picture stores nothing", {"RKRK"}, {0.0f, 0.0f, 0.0f, 0.0f}},
};

TEST_F(HeightProfileLoading, ScansTheFirstRedChangeOfEveryColumn)
{
    for (const ScanCase& c : SCAN_CASES) {
        SCOPED_TRACE(c.what);
        SetUp();
        int32_t id = loadBytes("case.tga", pictureTga(c.rows));
        ASSERT_EQ(id, 0);
        const HeightProfile& profile = heightProfiles[0];
        EXPECT_EQ(profile.id, 0);
        EXPECT_EQ(profile.width, static_cast<int32_t>(c.rows[0].size()));
        for (size_t x = 0; x < c.heights.size(); ++x)
            EXPECT_FLOAT_EQ(profile.heights[x], c.heights[x]) << "column " << x;
        for (int x = static_cast<int>(c.heights.size()); x < HEIGHT_PROFILE_COLUMNS; ++x)
            ASSERT_EQ(profile.heights[x], 0.0f) << "column " << x;
    }
}

// Rows are taken as stored whatever the descriptor's origin bits say.
TEST_F(HeightProfileLoading, CountsRowsFromTheFirstStoredRow)
{
    const PictureRows rows = {"R", "R", "R", "K"};
    ASSERT_EQ(loadBytes("bottom.tga", pictureTga(rows, 0x08)), 0);
    ASSERT_EQ(loadBytes("top.tga", pictureTga(rows, 0x28)), 1);
    EXPECT_FLOAT_EQ(heightProfiles[0].heights[0], 0.75f);
    EXPECT_FLOAT_EQ(heightProfiles[1].heights[0], 0.75f);
}

TEST_F(HeightProfileLoading, IdsFollowLoadOrderAndSkipFailures)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadBytes("first.tga", pictureTga({"R", "K"})), 0);
    EXPECT_EQ(loadHeightProfile("missing.tga"), -1);
    EXPECT_EQ(heightProfileCount, 1);
    EXPECT_EQ(loadBytes("second.tga", pictureTga({"R", "R", "K", "K"})), 1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "first.tga loaded\nsecond.tga loaded\n");
    EXPECT_EQ(heightProfileCount, 2);
    EXPECT_EQ(heightProfiles[1].id, 1);
    EXPECT_FLOAT_EQ(heightProfiles[1].heights[0], 0.5f);
}

// Pictures a profile cannot hold are refused whole with a message; nothing is stored and the
// next good picture still gets the next id.
struct RefusalCase {
    const char* what;
    TgaBytes file;
    const char* message;
};

TEST_F(HeightProfileLoading, RefusesPicturesItCannotHold)
{
    const RefusalCase cases[] = {
        {"24-bit", plainTga(4, 4, 24), "height profile bad.tga refused: 24 bits per pixel, profiles need 32\n"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_EQ(loadBytes("bad.tga", c.file), -1);
        std::string out = testing::internal::GetCapturedStdout();
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, c.message);
        EXPECT_EQ(out, "");
        EXPECT_EQ(heightProfileCount, 0);
        for (int x = 0; x < HEIGHT_PROFILE_COLUMNS; ++x)
            ASSERT_EQ(heightProfiles[0].heights[x], 0.0f) << "column " << x;
        EXPECT_EQ(heightProfiles[0].width, 0);
        EXPECT_EQ(loadBytes("good.tga", pictureTga({"R", "K"})), 0);
    }
}

TEST_F(HeightProfileLoading, TakesTheWidestPictureTheTableHolds)
{
    TgaBytes file = tgaHeader(2, HEIGHT_PROFILE_COLUMNS, 2, 32);
    for (int r = 0; r < 2; ++r)
        for (int x = 0; x < HEIGHT_PROFILE_COLUMNS; ++x) {
            uint8_t red = (r == 1 && x == HEIGHT_PROFILE_COLUMNS - 1) ? 0 : 255;
            file.insert(file.end(), {0, 0, red, 255});
        }
    ASSERT_EQ(loadBytes("wide.tga", file), 0);
    EXPECT_EQ(heightProfiles[0].width, HEIGHT_PROFILE_COLUMNS);
    EXPECT_FLOAT_EQ(heightProfiles[0].heights[HEIGHT_PROFILE_COLUMNS - 1], 0.5f);
}

// Wider than the table: the width is kept, the first 2048 columns are stored, and lookups past
// them read the last stored column up to the picture's edge.
TEST_F(HeightProfileLoading, AWiderPictureKeepsItsWidthAndFillsTheTable)
{
    const int width = 3000, height = 4;
    auto changeRow = [](int x) { return 1 + x % 3; };  // column x changes colour in this row
    TgaBytes file = tgaHeader(2, width, height, 32);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            const uint8_t red = r < changeRow(x) ? 255 : 0;
            file.insert(file.end(), {0, 0, red, 255});
        }
    testing::internal::CaptureStdout();
    ASSERT_EQ(loadBytes("wide.tga", file), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "wide.tga loaded\n");
    const HeightProfile& profile = heightProfiles[0];
    EXPECT_EQ(profile.width, width);
    for (int x = 0; x < HEIGHT_PROFILE_COLUMNS; ++x)
        ASSERT_FLOAT_EQ(profile.heights[x], static_cast<float>(changeRow(x)) / height) << "column " << x;

    const float last = profile.heights[HEIGHT_PROFILE_COLUMNS - 1];
    const struct {
        int32_t x;
        float expected;
    } lookups[] = {
        {HEIGHT_PROFILE_COLUMNS - 2, profile.heights[HEIGHT_PROFILE_COLUMNS - 2]},
        {HEIGHT_PROFILE_COLUMNS, last}, {2500, last}, {width - 1, last},
        {width, 0.0f},  // outside the picture
    };
    for (const auto& l : lookups)
        EXPECT_FLOAT_EQ(heightProfileAt(0, l.x), l.expected) << "x " << l.x;
}

TEST_F(HeightProfileLoading, RefusesAnEleventhProfile)
{
    for (int i = 0; i < MAX_HEIGHT_PROFILES; ++i)
        ASSERT_EQ(loadBytes("p.tga", pictureTga({"R", "K"})), i);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadBytes("p.tga", pictureTga({"R", "K"})), -1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "height profile p.tga refused: the table of 10 profiles is full\n");
    EXPECT_EQ(heightProfileCount, MAX_HEIGHT_PROFILES);
}

TEST_F(HeightProfileLoading, LookupIsSafeForUnknownIdsAndColumns)
{
    ASSERT_EQ(loadBytes("p.tga", pictureTga({"RK", "RR", "KR", "KR"})), 0);
    struct Lookup {
        int32_t id;
        int32_t x;
        float expected;
    };
    const Lookup lookups[] = {
        {0, 0, 0.5f}, {0, 1, 0.25f},
        {0, -1, 0.0f}, {0, 2, 0.0f}, {0, HEIGHT_PROFILE_COLUMNS, 0.0f},  // outside the picture
        {-1, 0, 0.0f},                                                   // a failed load's id
        {1, 0, 0.0f}, {MAX_HEIGHT_PROFILES, 0, 0.0f}, {INT32_MIN, 0, 0.0f},
    };
    for (const Lookup& l : lookups) {
        EXPECT_FLOAT_EQ(heightProfileAt(l.id, l.x), l.expected) << "id " << l.id << " x " << l.x;
    }
}

// The scan on decoded pixels alone, as the fuzz target drives it.
TEST(HeightProfileScan, RefusesImagesWithoutUsablePixels)
{
    float heights[HEIGHT_PROFILE_COLUMNS] = {};
    TgaImage empty;
    EXPECT_EQ(scanHeightProfile(empty, heights), HeightProfileFault::NO_PIXELS);
    uint8_t pixels[3 * 2] = {};
    TgaImage rgb;
    rgb.data = pixels;
    rgb.width = 1;
    rgb.height = 2;
    rgb.bpp = 24;
    EXPECT_EQ(scanHeightProfile(rgb, heights), HeightProfileFault::NOT_32_BIT);
    for (float h : heights)
        ASSERT_EQ(h, 0.0f);
}

// The game's two pictures as the generator writes them.
TEST(HeightProfileData, GamePicturesGiveASlopeAndARollingFloor)
{
    std::memset(heightProfiles, 0, sizeof heightProfiles);
    heightProfileCount = 0;
    testing::internal::CaptureStdout();
    int32_t slope = loadHeightProfile("hfslope1.tga");
    int32_t floor = loadHeightProfile("heightmap2.tga");
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(slope, 0) << "run from the build's run directory";
    ASSERT_EQ(floor, 1);
    EXPECT_EQ(out, "hfslope1.tga loaded\nheightmap2.tga loaded\n");

    const HeightProfile& s = heightProfiles[slope];
    ASSERT_GT(s.width, 1);
    EXPECT_GT(s.heights[0], 0.95f);
    EXPECT_LT(s.heights[s.width - 1], 0.05f);
    const float step = (s.heights[s.width - 1] - s.heights[0]) / (s.width - 1);
    for (int x = 0; x < s.width; ++x)
        ASSERT_NEAR(s.heights[x], s.heights[0] + step * x, 1.0f / 256) << "slope column " << x;

    const HeightProfile& f = heightProfiles[floor];
    ASSERT_GT(f.width, 1);
    float low = 1.0f, high = 0.0f;
    for (int x = 0; x < f.width; ++x) {
        low = std::min(low, f.heights[x]);
        high = std::max(high, f.heights[x]);
        if (x > 0) {
            ASSERT_LT(std::fabs(f.heights[x] - f.heights[x - 1]), 0.02f) << "floor column " << x;
        }
    }
    EXPECT_GT(low, 0.0f);
    EXPECT_LT(high, 1.0f);
    EXPECT_GT(high - low, 0.2f) << "the floor should roll, not lie flat";
    std::memset(heightProfiles, 0, sizeof heightProfiles);
    heightProfileCount = 0;
}

}  // namespace
