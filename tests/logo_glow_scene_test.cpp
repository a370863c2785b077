// The closing scene as demo-capture writes it: the raster band is one strip column stretched
// across the frame, the turning metal logo glows at the centre, and a second later the logo and
// its glow have moved on while the background stands still.
#include "app/frame.h"  // stateStartSeconds, STATE_LOGO_GLOW
#include "png_read.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The band covers y 434.5 to 645.5; its rows are sampled inside the opaque core, in columns
// well clear of the logo and its glow (the logo stays within about 600 to 1350).
constexpr int BAND_ROWS[] = {450, 500, 540, 580, 630};
constexpr int CLEAR_LEFT_END = 380;
constexpr int CLEAR_RIGHT_START = 1560;
constexpr int ROW_TOLERANCE = 3;  // levels: filtering and the glow's faint tail
// The logo's middle, and a patch of sky that nothing in the scene moves.
constexpr int CENTRE_X0 = 760, CENTRE_X1 = 1160, CENTRE_Y0 = 380, CENTRE_Y1 = 720;
constexpr int SKY_X0 = 40, SKY_X1 = 400, SKY_Y0 = 800, SKY_Y1 = 1040;
// Below the band, where the feet of the letters stand.
constexpr int FEET_X0 = 560, FEET_X1 = 1360, FEET_Y0 = 300, FEET_Y1 = 430;

struct SceneCaptures {
    bool ok = false;
    std::string why;
    RgbaPicture first;   // the scene's first frame: no turn yet, the front towards the camera
    RgbaPicture turned;  // 3 s in: one full turn
    RgbaPicture later;   // a second after that
};

int channelDistance(const uint8_t* a, const uint8_t* b)
{
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

const SceneCaptures& sceneCaptures()
{
    static SceneCaptures captures;
    static bool made = false;
    if (made)
        return captures;
    made = true;
    const double start = stateStartSeconds(STATE_LOGO_GLOW);
    const double times[3] = {start, start + 3.0, start + 4.0};
    std::filesystem::path out = scratchPath("mornglow-logo-glow-test");
    std::filesystem::remove_all(out);
    std::string list;
    for (double t : times)
        list += (list.empty() ? "" : ",") + std::to_string(t);
    ProgramRun run = runProgram(std::string(BINARY_DIR) + "/demo-capture --step-ms 100 --out '" + out.string()
        + "' --at " + list);
    if (run.exitStatus != 0) {
        captures.why = "demo-capture failed: " + run.output;
        return captures;
    }
    RgbaPicture* pictures[3] = {&captures.first, &captures.turned, &captures.later};
    for (int i = 0; i < 3; ++i) {
        const long long ms = std::llround(std::stod(std::to_string(times[i])) * 1000.0);
        const std::string file = (out / ("frame_" + std::to_string(ms) + ".png")).string();
        if (!readPng(file, *pictures[i]) || pictures[i]->width != 1920 || pictures[i]->height != 1080) {
            captures.why = "cannot read " + file;
            return captures;
        }
    }
    captures.ok = true;
    return captures;
}

TEST(LogoGlowScene, RasterBandRowsAreOneColourAcrossTheFrame)
{
    const SceneCaptures& c = sceneCaptures();
    ASSERT_TRUE(c.ok) << c.why;
    for (const RgbaPicture* picture : {&c.first, &c.turned, &c.later}) {
        int rowColours[std::size(BAND_ROWS)][3];
        for (size_t r = 0; r < std::size(BAND_ROWS); ++r) {
            const int y = BAND_ROWS[r];
            const uint8_t* reference = picture->at(20, y);
            for (int k = 0; k < 3; ++k)
                rowColours[r][k] = reference[k];
            int worst = 0;
            for (int x = 20; x < 1900; ++x) {
                if (x >= CLEAR_LEFT_END && x < CLEAR_RIGHT_START)
                    continue;
                worst = std::max(worst, channelDistance(picture->at(x, y), reference));
            }
            EXPECT_LE(worst, ROW_TOLERANCE) << "row " << y;
        }
        // One column of the strip: the colour changes from row to row.
        int spread = 0;
        for (size_t a = 0; a < std::size(BAND_ROWS); ++a)
            for (size_t b = a + 1; b < std::size(BAND_ROWS); ++b)
                for (int k = 0; k < 3; ++k)
                    spread = std::max(spread, std::abs(rowColours[a][k] - rowColours[b][k]));
        EXPECT_GT(spread, 60);
    }
}

// The glowing parts and the lit metal are far brighter than the dark backdrop: the centre holds
// many near-white or strongly lit pixels, the same-sized sky patch none.
TEST(LogoGlowScene, LogoShinesAtTheCentre)
{
    const SceneCaptures& c = sceneCaptures();
    ASSERT_TRUE(c.ok) << c.why;
    for (const RgbaPicture* picture : {&c.first, &c.turned}) {
        int centreBright = 0, skyBright = 0;
        for (int y = CENTRE_Y0; y < CENTRE_Y1; ++y)
            for (int x = CENTRE_X0; x < CENTRE_X1; ++x) {
                const uint8_t* p = picture->at(x, y);
                centreBright += p[0] + p[1] + p[2] >= 600;
            }
        for (int y = SKY_Y0; y < SKY_Y1; ++y)
            for (int x = SKY_X0; x < SKY_X1; ++x) {
                const uint8_t* p = picture->at(x, y);
                skyBright += p[0] + p[1] + p[2] >= 600;
            }
        EXPECT_GT(centreBright, 5000);
        EXPECT_LT(skyBright, 50);
    }
}

TEST(LogoGlowScene, GlowMovesWhileTheBackgroundStandsStill)
{
    const SceneCaptures& c = sceneCaptures();
    ASSERT_TRUE(c.ok) << c.why;
    long long centreChange = 0;
    int skyChange = 0;
    for (int y = CENTRE_Y0; y < CENTRE_Y1; ++y)
        for (int x = CENTRE_X0; x < CENTRE_X1; ++x)
            centreChange += channelDistance(c.turned.at(x, y), c.later.at(x, y));
    for (int y = SKY_Y0; y < SKY_Y1; ++y)
        for (int x = SKY_X0; x < SKY_X1; ++x)
            skyChange = std::max(skyChange, channelDistance(c.turned.at(x, y), c.later.at(x, y)));
    const double centrePixels = static_cast<double>(CENTRE_X1 - CENTRE_X0) * (CENTRE_Y1 - CENTRE_Y0);
    EXPECT_GT(static_cast<double>(centreChange) / centrePixels, 10.0);
    EXPECT_LE(skyChange, 2);
}

// Spin and strip position follow the scene clock: after exactly one turn the logo stands as in
// the first frame, so below the band (whose strip has moved on), where the letters' feet and
// their glow are, the two pictures agree; a second later they do not.
TEST(LogoGlowScene, OneTurnAfterTheStartTheLogoFacesTheCameraAgain)
{
    const SceneCaptures& c = sceneCaptures();
    ASSERT_TRUE(c.ok) << c.why;
    auto meanDifference = [](const RgbaPicture& a, const RgbaPicture& b) {
        long long sum = 0;
        int pixels = 0;
        for (int y = FEET_Y0; y < FEET_Y1; ++y)
            for (int x = FEET_X0; x < FEET_X1; ++x, ++pixels)
                sum += channelDistance(a.at(x, y), b.at(x, y));
        return static_cast<double>(sum) / pixels;
    };
    EXPECT_LT(meanDifference(c.first, c.turned), 2.0);
    EXPECT_GT(meanDifference(c.first, c.later), 20.0);
}

}  // namespace
