// The light table: every preset's lights and the generator state it leaves, the flash-light
// fade, orbits, and the upload into fixed-function GL lights and into program uniform arrays.
#include "core/clock.h"
#include "gl_test_context.h"
#include "platform/crt_random.h"
#include "platform/os_services.h"
#include "render/lights.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A GL context (presets upload), a zeroed table and the clock on a virtual counter at 0 ms.
class LightTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        savedClock = clockState;
        useVirtualCounter(true);
        setVirtualCounter(0);
        initClockFrequency();
        startClock();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        while (glGetError() != GL_NO_ERROR) {
        }
        lightTable = {};
    }
    void TearDown() override
    {
        useVirtualCounter(false);
        clockState = savedClock;
    }
    static void atMs(double ms) { setVirtualCounter(static_cast<long long>(ms * 1.0e6)); }

    ClockState savedClock = {};
};

// The table without what only uploadLights writes (enabledF and the uniform copies).
LightTable withoutUploadedCopies(LightTable t)
{
    std::memset(t.enabledF, 0, sizeof t.enabledF);
    float* copies[] = {t.ambR, t.ambG, t.ambB, t.diffR, t.diffG, t.diffB,
                       t.specR, t.specG, t.specB, t.posX, t.posY, t.posZ};
    for (float* c : copies)
        std::memset(c, 0, sizeof(float) * LIGHT_COUNT);
    return t;
}

bool sameTable(const LightTable& a, const LightTable& b)
{
    return std::memcmp(&a, &b, sizeof(LightTable)) == 0;
}

struct PresetLightCase {
    int preset;
    int light;
    float mapSelect;
    float ambient[4], diffuse[4], specular[4];
    float position[4], startPosition[4];
    float invRadius, orbitPhase, orbitSpeed;
    float orbitOffset[3];
    int enabled;
    int nextDraw;  // the generator's next result after the preset
};

// Worked out independently from the preset descriptions with the same generator; preset 2 shows
// lights 0 and 7 of the fixed layout and light 13 from the draws (x lowered by 5000).
const PresetLightCase PRESET_CASES[] = {
    {1, 0, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, -2.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0299999993f, 46.7999992f, 0.0633400008f, {2.12299991f, 7.26100016f, 4.5079999f}, 1, 23236},
    {1, 1, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, -2.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0299999993f, 77.0999985f, 0.0342999995f, {6.85300016f, 4.7670002f, 4.69399977f}, 0, 23236},
    {1, 13, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, -2.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0299999993f, 93.1999969f, 0.0599399991f, {0.773000002f, 6.42500019f, 5.78200006f}, 0, 23236},
    {2, 0, 0.328125f, {0.291000009f, 0.240999997f, 0.419999987f, 1.0f}, {0.298999995f, 0.397000015f, 0.66900003f, 1.0f}, {0.722000003f, 0.805000007f, 0.708999991f, 1.0f}, {355.0f, 599.0f, 535.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 9.99999997e-07f, 84.5578766f, 0.0410600007f, {7.40199995f, 7.71799994f, 4.25299978f}, 1, 3361},
    {2, 7, 0.76953125f, {0.216999993f, 0.298999995f, 0.368999988f, 1.0f}, {0.423000008f, 0.284000009f, 0.541999996f, 1.0f}, {0.832000017f, 0.870999992f, 0.740999997f, 1.0f}, {554.0f, 173.0f, 515.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 9.99999997e-07f, 78.3562927f, 0.0394800007f, {4.34800005f, 7.40999985f, 7.61199999f}, 1, 3361},
    {2, 13, 0.625f, {0.194000006f, 0.246000007f, 0.328000009f, 1.0f}, {0.395999998f, 0.338f, 0.639999986f, 1.0f}, {0.702000022f, 0.77700001f, 0.845000029f, 1.0f}, {-4807.0f, 545.0f, 174.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 9.99999997e-07f, 58.8425941f, 0.0257799998f, {1.95200002f, 4.24300003f, 2.96600008f}, 0, 3361},
    {3, 0, 0.99609375f, {0.100000001f, 0.100000001f, 0.300000012f, 1.0f}, {0.600000024f, 0.600000024f, 0.600000024f, 1.0f}, {0.800000012f, 0.800000012f, 0.800000012f, 1.0f}, {6.0f, -1.0f, -20.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 10.7299995f, 0.0f, 0.100000001f, {0.0f, 0.0f, 0.0f}, 1, 28964},
    {3, 1, 0.56640625f, {0.296999991f, 0.165000007f, 0.499000013f, 1.0f}, {0.40200001f, 0.289999992f, 0.623000026f, 1.0f}, {0.778999984f, 0.728999972f, 0.948000014f, 1.0f}, {15.8324909f, 43.5423965f, -69.364357f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.00499999989f, 1.75144005f, 0.0514400005f, {1.16199994f, 7.00199986f, 9.37899971f}, 1, 28964},
    {3, 13, 0.83203125f, {0.182999998f, 0.282000005f, 0.43900001f, 1.0f}, {0.317999989f, 0.361000001f, 0.513999999f, 1.0f}, {0.79400003f, 0.712000012f, 0.890999973f, 1.0f}, {52.7393646f, -62.0882492f, 69.888092f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.00499999989f, 70.6565704f, 0.039760001f, {7.03000021f, 8.97399998f, 6.36899996f}, 1, 28964},
    {5, 0, 0.99609375f, {0.100000001f, 0.100000001f, 0.300000012f, 1.0f}, {0.600000024f, 0.600000024f, 0.600000024f, 1.0f}, {0.800000012f, 0.800000012f, 0.800000012f, 1.0f}, {6.0f, -1.0f, -20.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 10.7299995f, 0.0f, 0.100000001f, {0.0f, 0.0f, 0.0f}, 1, 29074},
    {5, 1, 0.578125f, {0.245000005f, 0.261000007f, 0.395000011f, 1.0f}, {0.0170000009f, 0.416999996f, 1.16799998f, 1.0f}, {1.00199997f, 0.922999978f, 1.0f, 1.0f}, {3.0f, -67.0f, -26.0f, 1.0f}, {3.0f, -67.0f, -26.0f, 1.0f}, 0.00499999989f, 6.0999999f, 0.0142200002f, {8.93999958f, 5.19399977f, 2.71700001f}, 1, 29074},
    {5, 13, 0.6328125f, {0.187000006f, 0.214000002f, 0.381999999f, 1.0f}, {0.115000002f, 0.479000002f, 1.06200004f, 1.0f}, {0.920000017f, 1.01100004f, 0.954999983f, 1.0f}, {-31.0f, -67.0f, 51.0f, 1.0f}, {-31.0f, -67.0f, 51.0f, 1.0f}, 0.00499999989f, 86.0f, 0.0300399996f, {6.4289999f, 4.97100019f, 3.42400002f}, 1, 29074},
    {6, 0, 0.99609375f, {0.100000001f, 0.100000001f, 0.300000012f, 1.0f}, {0.600000024f, 0.600000024f, 0.600000024f, 1.0f}, {0.800000012f, 0.800000012f, 0.800000012f, 1.0f}, {6.0f, -1.0f, -20.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 10.7299995f, 0.0f, 0.100000001f, {0.0f, 0.0f, 0.0f}, 1, 29074},
    {6, 1, 0.578125f, {0.245000005f, 0.261000007f, 0.395000011f, 1.0f}, {1.01699996f, 0.916999996f, 0.967999995f, 1.0f}, {0.952000022f, 0.873000026f, 1.0f, 1.0f}, {3.0f, -67.0f, -26.0f, 1.0f}, {3.0f, -67.0f, -26.0f, 1.0f}, 0.00499999989f, 6.0999999f, 0.0142200002f, {8.93999958f, 5.19399977f, 2.71700001f}, 1, 29074},
    {6, 13, 0.6328125f, {0.187000006f, 0.214000002f, 0.381999999f, 1.0f}, {0.915000021f, 0.879000008f, 1.06200004f, 1.0f}, {0.970000029f, 0.861000001f, 1.05499995f, 1.0f}, {-31.0f, -67.0f, 51.0f, 1.0f}, {-31.0f, -67.0f, 51.0f, 1.0f}, 0.00499999989f, 86.0f, 0.0300399996f, {6.4289999f, 4.97100019f, 3.42400002f}, 1, 29074},
    {66, 0, 0.99609375f, {0.100000001f, 0.100000001f, 0.300000012f, 1.0f}, {0.600000024f, 0.600000024f, 0.600000024f, 1.0f}, {0.800000012f, 0.800000012f, 0.800000012f, 1.0f}, {6.0f, -1.0f, -20.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 10.7299995f, 0.0f, 0.100000001f, {0.0f, 0.0f, 0.0f}, 1, 3176},
    {66, 1, 0.59375f, {0.224999994f, 0.125f, 0.49000001f, 1.0f}, {0.931999981f, 0.843999982f, 1.08000004f, 1.0f}, {1.02400005f, 0.985000014f, 1.01999998f, 1.0f}, {88.0f, -25.0f, -43.0f, 1.0f}, {88.0f, -25.0f, -43.0f, 1.0f}, 0.00499999989f, 10.5f, 0.0416399986f, {1.48699999f, 6.61800003f, 11.2869997f}, 1, 3176},
    {66, 13, 0.43359375f, {0.191f, 0.115000002f, 0.356000006f, 1.0f}, {1.01100004f, 0.896000028f, 1.01100004f, 1.0f}, {0.94599998f, 0.842000008f, 1.08800006f, 1.0f}, {57.0f, -3.0f, -28.0f, 1.0f}, {57.0f, -3.0f, -28.0f, 1.0f}, 0.00499999989f, 95.0f, 0.0156999994f, {5.82800007f, 0.967999995f, 0.479000002f}, 1, 3176},
    {10, 0, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {0.100000001f, 0.300000012f, 1.0f, 1.0f}, {0.100000001f, 0.300000012f, 1.0f, 1.0f}, {0.0f, 7.0f, -27.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.00999999978f, 93.1999969f, 0.0599399991f, {0.773000002f, 6.42500019f, 5.78200006f}, 1, 23236},
    {10, 1, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {-23.0f, 4.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 9.99999975e-05f, 46.7999992f, 0.0633400008f, {2.12299991f, 7.26100016f, 4.5079999f}, 1, 23236},
    {10, 13, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {-23.0f, 4.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 9.99999975e-05f, 25.0f, 0.0298800003f, {6.796f, 7.02799988f, 4.06599998f}, 0, 23236},
    {11, 0, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 10.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.00499999989f, 80.0999985f, 0.00894000009f, {10.8649998f, 6.19899988f, 5.60200024f}, 1, 3332},
    {11, 1, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 10.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.00499999989f, 59.0f, 0.0394599997f, {7.97900009f, 4.9289999f, 11.948f}, 0, 3332},
    {11, 13, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 10.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.00499999989f, 42.2999992f, 0.0329799987f, {2.95900011f, 5.45699978f, 4.74900007f}, 0, 3332},
};

TEST_F(LightTableTest, PresetsGiveTheirLightsAndLeaveTheGeneratorWhereTheyStop)
{
    for (const PresetLightCase& c : PRESET_CASES) {
        SCOPED_TRACE("preset " + std::to_string(c.preset) + " light " + std::to_string(c.light));
        lightTable = {};
        crtSrand(99);  // the preset reseeds: what came before must not matter
        applyLightPreset(c.preset);
        EXPECT_EQ(crtRand(), c.nextDraw);
        int i = c.light;
        EXPECT_EQ(lightTable.mapSelect[i], c.mapSelect);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(lightTable.ambient[i][k], c.ambient[k]) << k;
            EXPECT_EQ(lightTable.diffuse[i][k], c.diffuse[k]) << k;
            EXPECT_EQ(lightTable.specular[i][k], c.specular[k]) << k;
            EXPECT_EQ(lightTable.startPosition[i][k], c.startPosition[k]) << k;
            if (c.preset == 3) {  // orbit positions go through sin
                EXPECT_NEAR(lightTable.position[i][k], c.position[k], 1e-4) << k;
            } else {
                EXPECT_EQ(lightTable.position[i][k], c.position[k]) << k;
            }
        }
        EXPECT_EQ(lightTable.invRadius[i], c.invRadius);
        EXPECT_EQ(lightTable.orbitPhase[i], c.orbitPhase);
        EXPECT_EQ(lightTable.orbitSpeed[i], c.orbitSpeed);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(lightTable.orbitOffset[i][k], c.orbitOffset[k]) << k;
        EXPECT_EQ(lightTable.enabled[i], c.enabled);
        EXPECT_EQ(lightTable.enabledF[i], c.enabled ? 1.0f : 0.0f);
    }
}

TEST_F(LightTableTest, WhichLightsEachPresetTurnsOn)
{
    struct OnCase {
        int preset;
        int firstOff;  // lights 0 .. firstOff - 1 on, the rest off
    };
    const OnCase cases[] = {{1, 1}, {2, 8}, {3, 14}, {4, 14}, {5, 14}, {6, 14}, {66, 14}, {10, 2}, {11, 1}};
    for (const OnCase& c : cases) {
        SCOPED_TRACE("preset " + std::to_string(c.preset));
        lightTable = {};
        applyLightPreset(c.preset);
        for (int i = 0; i < LIGHT_COUNT; ++i)
            EXPECT_EQ(lightTable.enabled[i], i < c.firstOff ? 1 : 0) << i;
    }
}

TEST_F(LightTableTest, ScatterPresetsPlaceLightsOneToThirteenInTheirBox)
{
    for (int preset : {5, 6, 66}) {
        SCOPED_TRACE("preset " + std::to_string(preset));
        applyLightPreset(preset);
        EXPECT_EQ(lightTable.position[0][3], 0.0f);  // light 0 stays directional
        for (int i = 1; i < LIGHT_COUNT; ++i) {
            const float* p = lightTable.position[i];
            EXPECT_TRUE(p[0] > -90 && p[0] <= 90 && p[1] > -90 && p[1] <= 90 && p[2] > -125 && p[2] <= 55) << i;
            EXPECT_EQ(p[3], 1.0f) << i;
            EXPECT_EQ(std::memcmp(lightTable.startPosition[i], p, sizeof(float) * 4), 0) << i;
        }
    }
}

TEST_F(LightTableTest, ReapplyingAPresetGivesTheSameTable)
{
    for (int preset : {1, 2, 3, 5, 6, 10, 11, 66}) {
        SCOPED_TRACE("preset " + std::to_string(preset));
        applyLightPreset(preset);
        LightTable first = lightTable;
        (void)crtRand();
        applyLightPreset(preset);
        EXPECT_TRUE(sameTable(first, lightTable));
    }
}

TEST_F(LightTableTest, Preset66DiffersFromSixOnlyInTheDrawnValues)
{
    applyLightPreset(6);
    LightTable six = lightTable;
    lightTable = {};
    applyLightPreset(66);
    LightTable other = lightTable;
    EXPECT_EQ(std::memcmp(six.diffuse[0], other.diffuse[0], sizeof six.diffuse[0]), 0);
    EXPECT_EQ(six.invRadius[0], other.invRadius[0]);
    int differing = 0;
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        EXPECT_EQ(six.invRadius[i], other.invRadius[i]);
        EXPECT_EQ(six.enabled[i], other.enabled[i]);
        EXPECT_EQ(six.position[i][3], other.position[i][3]);
        differing += std::memcmp(six.diffuse[i], other.diffuse[i], sizeof six.diffuse[i]) != 0;
    }
    EXPECT_EQ(differing, LIGHT_COUNT - 1);
}

TEST_F(LightTableTest, PresetRandomOrbitLightsMatchesPresetTwoAndItsFixedLayout)
{
    crtSrand(5);
    presetRandomOrbitLights();
    LightTable direct = lightTable;
    lightTable = {};
    applyLightPreset(2);
    EXPECT_TRUE(sameTable(direct, lightTable));
    // The fixed layout replaces x, y, z and R, G, B only; the fourth components keep theirs.
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(lightTable.position[i][3], 0.0f) << i;
        EXPECT_EQ(lightTable.ambient[i][3], 1.0f) << i;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(lightTable.spotDirection[i][k], 0.0f) << i;
    }
    EXPECT_EQ(lightTable.position[3][0], 460.0f);
    EXPECT_EQ(lightTable.specular[5][2], 0.968f);
}

TEST_F(LightTableTest, UnknownPresetNumbersLeaveTableAndGeneratorAlone)
{
    std::memset(&lightTable, 0x3C, sizeof lightTable);
    LightTable before = lightTable;
    for (int number : {-1, 0, 7, 8, 9, 12, 65, 67, 100}) {
        SCOPED_TRACE("preset " + std::to_string(number));
        crtSrand(42);
        int expected = crtRand();
        crtSrand(42);
        applyLightPreset(number);
        EXPECT_EQ(crtRand(), expected);
        EXPECT_TRUE(sameTable(before, lightTable));
    }
}

TEST_F(LightTableTest, PresetFourIsPresetThreeWithoutTheUpload)
{
    applyLightPreset(6);
    LightTable uploaded = lightTable;
    GLfloat glDiffuse[4] = {};
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, glDiffuse);

    applyLightPreset(4);
    LightTable four = lightTable;
    // Nothing uploaded: copies and GL lights still show preset 6.
    EXPECT_EQ(std::memcmp(four.diffR, uploaded.diffR, sizeof four.diffR), 0);
    EXPECT_EQ(std::memcmp(four.posX, uploaded.posX, sizeof four.posX), 0);
    GLfloat glDiffuseAfter[4] = {};
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, glDiffuseAfter);
    EXPECT_EQ(std::memcmp(glDiffuse, glDiffuseAfter, sizeof glDiffuse), 0);
    EXPECT_EQ(glDiffuse[0], uploaded.diffuse[1][0]);

    lightTable = uploaded;
    applyLightPreset(3);
    EXPECT_TRUE(sameTable(withoutUploadedCopies(four), withoutUploadedCopies(lightTable)));

    lightTable = four;
    uploadLights();
    EXPECT_EQ(lightTable.diffR[1], four.diffuse[1][0]);
    EXPECT_EQ(lightTable.posZ[13], four.position[13][2]);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, glDiffuseAfter);
    EXPECT_EQ(glDiffuseAfter[0], four.diffuse[1][0]);
}

TEST_F(LightTableTest, UniformCopiesFollowOnlyTheLightsThatAreOn)
{
    float* copies[] = {lightTable.ambR, lightTable.ambG, lightTable.ambB, lightTable.diffR,
                       lightTable.diffG, lightTable.diffB, lightTable.specR, lightTable.specG,
                       lightTable.specB, lightTable.posX, lightTable.posY, lightTable.posZ};
    for (float* c : copies)
        for (int i = 0; i < LIGHT_COUNT; ++i)
            c[i] = -7.0f;
    applyLightPreset(10);  // lights 0 and 1 on
    EXPECT_EQ(lightTable.posZ[0], -27.0f);
    EXPECT_EQ(lightTable.diffG[0], 0.3f);
    EXPECT_EQ(lightTable.posX[1], -23.0f);
    EXPECT_EQ(lightTable.specB[1], 1.0f);
    for (float* c : copies)
        for (int i = 2; i < LIGHT_COUNT; ++i)
            EXPECT_EQ(c[i], -7.0f) << i;
}

TEST_F(LightTableTest, StepLightOrbitsReducesThePhaseOnceAndDrawsThreeCoordinatesPerLight)
{
    struct PhaseCase {
        float phase, speed, expected;
    };
    const PhaseCase cases[] = {
        {1.0f, 0.5f, 1.5f},                      // below a turn: no reduction
        {6.2f, 0.1f, (6.2f + 0.1f) - 6.2831855f},  // just past a turn
        {20.0f, 0.5f, 20.5f - 6.2831855f},       // far past: reduced once only
        {6.2831855f, 0.0f, 6.2831855f},          // exactly a turn: not past it
    };
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        const PhaseCase& c = cases[i % 4];
        lightTable.orbitPhase[i] = c.phase;
        lightTable.orbitSpeed[i] = c.speed;
    }
    crtSrand(777);
    for (int n = 0; n < 3 * LIGHT_COUNT; ++n)
        (void)crtRand();
    int next = crtRand();
    crtSrand(777);
    int firstDraw = crtRand();
    crtSrand(777);
    stepLightOrbits();
    EXPECT_EQ(crtRand(), next);
    EXPECT_EQ(lightTable.position[0][0], static_cast<float>(150 + firstDraw % 500));
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        EXPECT_FLOAT_EQ(lightTable.orbitPhase[i], cases[i % 4].expected) << i;
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(lightTable.position[i][k] >= 150.0f && lightTable.position[i][k] < 650.0f);
        EXPECT_EQ(lightTable.position[i][3], 0.0f);
    }
}

TEST_F(LightTableTest, OrbitPresetMovesLightsOnARadiusOf70)
{
    applyLightPreset(3);
    for (int i = 1; i < LIGHT_COUNT; ++i)
        for (int k = 0; k < 3; ++k) {
            float expected = 70.0f * std::sin(lightTable.orbitPhase[i] + lightTable.orbitOffset[i][k]);
            EXPECT_NEAR(lightTable.position[i][k], expected, 1e-4) << i;
        }
    EXPECT_EQ(lightTable.position[0][2], -20.0f);  // light 0 keeps its defaults
}

TEST_F(LightTableTest, FlashLightsTakeTheHighestFreeSlots)
{
    applyLightPreset(10);
    EXPECT_EQ(spawnFlashLightAt(100, 100, 50, 0, 0), 13);
    EXPECT_EQ(spawnFlashLightAt(100, 100, 50, 0, 0), 12);
    lightTable.enabled[11] = 1;  // a light that is on is passed over
    for (int expected = 10; expected >= 2; --expected)
        EXPECT_EQ(spawnFlashLightAt(0, 0, 0, 0, 0), expected);
    EXPECT_EQ(spawnFlashLightAt(0, 0, 0, 0, 0), -1);

    applyLightPreset(6);  // all 14 on
    LightTable before = lightTable;
    EXPECT_EQ(spawnFlashLightAt(100, 100, 50, 0, 0), -1);
    EXPECT_TRUE(sameTable(before, lightTable));
}

TEST_F(LightTableTest, FlashLightIsCyanAtTheObjectsCentre)
{
    struct PlaceCase {
        float x, y, height, cameraX, cameraY;
        float lightX, lightY;
    };
    const PlaceCase cases[] = {
        {1045, 360, 180, 0, 0, 0.637155533f, -0.512000024f},      // centre at the pull line 450
        {2000, 1000, 115, 500, 300, 3.27266264f, 1.159585f},      // pulled towards 450, camera moved
    };
    for (const PlaceCase& c : cases) {
        lightTable = {};
        atMs(1234.0);
        int slot = spawnFlashLightAt(c.x, c.y, c.height, c.cameraX, c.cameraY);
        ASSERT_EQ(slot, 13);
        EXPECT_FLOAT_EQ(lightTable.position[13][0], c.lightX);
        EXPECT_FLOAT_EQ(lightTable.position[13][1], c.lightY);
        EXPECT_EQ(lightTable.position[13][2], 0.75f);
        EXPECT_EQ(lightTable.position[13][3], 0.0f);
        const float cyan[4] = {0.0f, 1.0f, 1.0f, 1.0f};
        EXPECT_EQ(std::memcmp(lightTable.ambient[13], cyan, sizeof cyan), 0);
        EXPECT_EQ(std::memcmp(lightTable.diffuse[13], cyan, sizeof cyan), 0);
        EXPECT_EQ(std::memcmp(lightTable.specular[13], cyan, sizeof cyan), 0);
        EXPECT_EQ(lightTable.mapSelect[13], 0.99609375f);
        EXPECT_EQ(lightTable.flashActive[13], 1);
        EXPECT_EQ(lightTable.flashStartMs[13], 1234.0);
        // Uploaded at once.
        EXPECT_EQ(lightTable.enabledF[13], 1.0f);
        EXPECT_EQ(lightTable.posX[13], lightTable.position[13][0]);
        EXPECT_EQ(lightTable.diffG[13], 1.0f);
        EXPECT_FLOAT_EQ(lightTable.invRadius[13], 1.0f / 3.0f);
    }
}

TEST_F(LightTableTest, FlashLightRadiusShrinksOverTwoSecondsThenGoesOut)
{
    struct FadeCase {
        double afterMs;
        bool on;
        float invRadius;
    };
    const FadeCase cases[] = {
        {0.0, true, 1.0f / 3.0f},
        {1000.0, true, 0.666666687f},   // v = 1.5
        {1999.0, true, 1.0f / (3.0f - static_cast<float>(1999.0 / 16.66666603088379 * 0.025))},
        {2000.0, false, 0.0f},          // v reaches 3 exactly when the two seconds are over
    };
    for (const FadeCase& c : cases) {
        SCOPED_TRACE(c.afterMs);
        lightTable = {};
        atMs(5000.0);
        ASSERT_EQ(spawnFlashLightAt(0, 0, 0, 0, 0), 13);
        atMs(5000.0 + c.afterMs);
        uploadLights();
        EXPECT_EQ(lightTable.enabled[13], c.on ? 1 : 0);
        EXPECT_EQ(lightTable.flashActive[13], c.on ? 1 : 0);
        EXPECT_EQ(lightTable.enabledF[13], c.on ? 1.0f : 0.0f);
        if (c.on) {
            EXPECT_FLOAT_EQ(lightTable.invRadius[13], c.invRadius);
        }
    }
    // The freed slot is taken again.
    EXPECT_EQ(spawnFlashLightAt(0, 0, 0, 0, 0), 13);
}

TEST_F(LightTableTest, APresetDoesNotCancelAFadingFlashLight)
{
    applyLightPreset(10);
    ASSERT_EQ(spawnFlashLightAt(0, 0, 0, 0, 0), 13);
    atMs(1000.0);
    applyLightPreset(6);  // turns slot 13 on with its own radius; the fade overrides it
    EXPECT_EQ(lightTable.enabled[13], 1);
    EXPECT_FLOAT_EQ(lightTable.invRadius[13], 0.666666687f);
    atMs(2000.0);
    applyLightPreset(6);
    EXPECT_EQ(lightTable.enabled[13], 0);
    EXPECT_EQ(lightTable.enabledF[13], 0.0f);
    EXPECT_EQ(lightTable.enabled[12], 1);
}

TEST_F(LightTableTest, SavedPositionsComeBackAndTransformsFollowTheirLayouts)
{
    applyLightPreset(6);
    saveLightPositions();
    float saved = lightTable.position[4][1];
    lightTable.position[4][1] = 1000.0f;
    restoreLightPositions();
    EXPECT_EQ(lightTable.position[4][1], saved);
    EXPECT_EQ(lightTable.posY[4], saved);

    // A translation by (1, 2, 3) in column-major layout; read row-major it is a projective map.
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    float a[4] = {10, 20, 30, 5};
    transformPointByMatrixA(m, a);
    const float expectedA[4] = {11, 22, 33, 1};
    EXPECT_EQ(std::memcmp(a, expectedA, sizeof a), 0);
    float b[4] = {10, 20, 30, 5};
    transformPointByMatrixB(m, b);
    const float expectedB[4] = {10, 20, 30, 1};
    EXPECT_EQ(std::memcmp(b, expectedB, sizeof b), 0);
    float rows[4];
    const float p[4] = {1, 1, 1, 1};
    matrixRowsDotPoint(rows, m, p);
    const float expectedRows[4] = {1, 1, 1, 7};
    EXPECT_EQ(std::memcmp(rows, expectedRows, sizeof rows), 0);

    lightTable.position[2][0] = 4;
    lightTable.position[2][1] = 5;
    lightTable.position[2][2] = 6;
    lightTable.position[2][3] = 1;
    transformLightPosition(m, 2);
    const float expectedLight[4] = {5, 7, 9, 0};
    EXPECT_EQ(std::memcmp(lightTable.position[2], expectedLight, sizeof expectedLight), 0);
    LightTable before = lightTable;
    transformLightPosition(m, LIGHT_COUNT);
    transformLightPosition(m, -1);
    EXPECT_TRUE(sameTable(before, lightTable));
}

TEST_F(LightTableTest, QuadricIsMadeOnceAndMarkersDrawWithoutIt)
{
    if (lightQuadric) {
        gluDeleteQuadric(lightQuadric);
        lightQuadric = nullptr;
    }
    applyLightPreset(6);  // makes no quadric of its own
    EXPECT_EQ(lightQuadric, nullptr);
    drawLightMarkers();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ASSERT_NE(lightQuadric, nullptr);
    GLUquadric* first = lightQuadric;
    for (int preset : {1, 2, 3, 4, 10, 10})
        applyLightPreset(preset);
    EXPECT_EQ(lightQuadric, first);
}

// --- Fixed-function lights -------------------------------------------------------------------

TEST_F(LightTableTest, FixedFunctionLightsStopAtTheImplementationLimitWithoutErrors)
{
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    ASSERT_GE(maxLights, 8);
    applyLightPreset(6);  // all 14 on
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (int i = 0; i < maxLights && i < LIGHT_COUNT; ++i) {
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + i)) << i;
        GLfloat diffuse[4] = {}, linear = 0, cutoff = 0;
        glGetLightfv(GL_LIGHT0 + i, GL_DIFFUSE, diffuse);
        glGetLightfv(GL_LIGHT0 + i, GL_LINEAR_ATTENUATION, &linear);
        glGetLightfv(GL_LIGHT0 + i, GL_SPOT_CUTOFF, &cutoff);
        EXPECT_EQ(std::memcmp(diffuse, lightTable.diffuse[i], sizeof diffuse), 0) << i;
        EXPECT_FLOAT_EQ(linear, 0.1f);
        EXPECT_EQ(cutoff, 180.0f);
    }
    for (int i = 0; i < LIGHT_COUNT; ++i)
        EXPECT_EQ(lightTable.enabledF[i], 1.0f) << i;
    EXPECT_EQ(lightTable.posX[13], lightTable.position[13][0]);

    applyLightPreset(11);  // only light 0 on
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    for (int i = 1; i < maxLights && i < LIGHT_COUNT; ++i)
        EXPECT_FALSE(glIsEnabled(GL_LIGHT0 + i)) << i;
}

TEST_F(LightTableTest, FixedFunctionPositionIsInModelviewSpaceAndTheCopiesAreNot)
{
    glTranslatef(1.0f, 2.0f, 3.0f);
    applyLightPreset(6);
    glLoadIdentity();
    GLfloat eye[4] = {};
    glGetLightfv(GL_LIGHT1, GL_POSITION, eye);
    EXPECT_FLOAT_EQ(eye[0], lightTable.position[1][0] + 1.0f);
    EXPECT_FLOAT_EQ(eye[1], lightTable.position[1][1] + 2.0f);
    EXPECT_FLOAT_EQ(eye[2], lightTable.position[1][2] + 3.0f);
    EXPECT_EQ(lightTable.posX[1], lightTable.position[1][0]);
    EXPECT_EQ(lightTable.posZ[1], lightTable.position[1][2]);
}

// --- Uniform arrays --------------------------------------------------------------------------

const char* const UNIFORM_NAMES[LIGHT_UNIFORM_ARRAY_COUNT] = {
    "lightsEnabled",  "lightsinvRadius", "lightMapSelect", "lightsPosx",      "lightsPosy",
    "lightsPosz",     "lightsAmbientr",  "lightsAmbientg", "lightsAmbientb",  "lightsDiffuser",
    "lightsDiffuseg", "lightsDiffuseb",  "lightsSpecularr", "lightsSpecularg", "lightsSpecularb",
};

const float* tableArray(int k)
{
    const LightTable& t = lightTable;
    const float* arrays[LIGHT_UNIFORM_ARRAY_COUNT] = {t.enabledF, t.invRadius, t.mapSelect, t.posX,  t.posY,
                                                      t.posZ,     t.ambR,      t.ambG,      t.ambB,  t.diffR,
                                                      t.diffG,    t.diffB,     t.specR,     t.specG, t.specB};
    return arrays[k];
}

// A fragment shader that reads every entry of the named arrays, declared in the given order
// after `padding` unused-by-us floats, so different programs place the arrays differently.
std::string fragmentSource(const std::vector<int>& arrays, int padding)
{
    std::string s = "#version 450 compatibility\n";
    if (padding > 0)
        s += "uniform float padding[" + std::to_string(padding) + "];\n";
    for (int k : arrays)
        s += std::string("uniform float ") + UNIFORM_NAMES[k] + "[14];\n";
    s += "void main() {\n  float s = 0.0;\n  for (int i = 0; i < 14; ++i) {\n";
    if (padding > 0)
        s += "    s += padding[i];\n";
    for (int k : arrays)
        s += std::string("    s += ") + UNIFORM_NAMES[k] + "[i];\n";
    s += "  }\n  gl_FragColor = vec4(s);\n}\n";
    return s;
}

GLuint compileShader(GLenum kind, const std::string& source)
{
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    EXPECT_TRUE(ok) << source;
    return shader;
}

GLuint linkProgram(const std::vector<int>& arrays, int padding)
{
    GLuint program = glCreateProgram();
    GLuint vs = compileShader(GL_VERTEX_SHADER, "#version 450 compatibility\nvoid main() { gl_Position = gl_Vertex; }\n");
    GLuint fs = compileShader(GL_FRAGMENT_SHADER, fragmentSource(arrays, padding));
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    EXPECT_TRUE(ok);
    glDetachShader(program, vs);
    glDetachShader(program, fs);
    glDeleteShader(vs);
    glDeleteShader(fs);
    return program;
}

std::vector<int> allArrays()
{
    std::vector<int> v;
    for (int k = 0; k < LIGHT_UNIFORM_ARRAY_COUNT; ++k)
        v.push_back(k);
    return v;
}

// Every entry of array k as the program holds it equals the table's.
void expectArrayInProgram(GLuint program, int k)
{
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        std::string name = std::string(UNIFORM_NAMES[k]) + "[" + std::to_string(i) + "]";
        GLint location = glGetUniformLocation(program, name.c_str());
        ASSERT_GE(location, 0) << name;
        GLfloat value = -1.0f;
        glGetUniformfv(program, location, &value);
        EXPECT_EQ(value, tableArray(k)[i]) << name;
    }
}

void expectArrayUntouched(GLuint program, int k)
{
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        std::string name = std::string(UNIFORM_NAMES[k]) + "[" + std::to_string(i) + "]";
        GLfloat value = -1.0f;
        glGetUniformfv(program, glGetUniformLocation(program, name.c_str()), &value);
        EXPECT_EQ(value, 0.0f) << name;
    }
}

void dropProgram(GLuint program)
{
    forgetProgramUniforms(program);
    glDeleteProgram(program);
}

TEST_F(LightTableTest, UniformArraysReachEachProgramAtItsOwnLocations)
{
    std::vector<int> reversed = allArrays();
    std::reverse(reversed.begin(), reversed.end());
    GLuint a = linkProgram(allArrays(), 0);
    GLuint b = linkProgram(reversed, 30);
    ASSERT_NE(glGetUniformLocation(a, "lightsEnabled"), glGetUniformLocation(b, "lightsEnabled"));

    applyLightPreset(6);
    uploadLightUniforms(a);
    for (int k = 0; k < LIGHT_UNIFORM_ARRAY_COUNT; ++k)
        expectArrayInProgram(a, k);

    // New values, and the second program: each keeps its own locations.
    applyLightPreset(66);
    uploadLightUniforms(b);
    uploadLightUniforms(a);
    for (int k = 0; k < LIGHT_UNIFORM_ARRAY_COUNT; ++k) {
        expectArrayInProgram(a, k);
        expectArrayInProgram(b, k);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    dropProgram(a);
    dropProgram(b);
}

TEST_F(LightTableTest, SwitchUniformsLeaveTheColourArraysAndMissingNamesAreSkipped)
{
    // Only the switch set and one position array; the other twelve names are absent.
    GLuint program = linkProgram({0, 1, 2, 3}, 0);
    applyLightPreset(10);
    uploadLightSwitchUniforms(program);
    for (int k = 0; k < 3; ++k)
        expectArrayInProgram(program, k);
    expectArrayUntouched(program, 3);
    uploadLightUniforms(program);
    expectArrayInProgram(program, 3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    uploadLightUniforms(0);  // no program: nothing to write
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    dropProgram(program);
}

TEST_F(LightTableTest, ARelinkedProgramIsLookedUpAgainOnceForgotten)
{
    GLuint program = linkProgram(allArrays(), 0);
    applyLightPreset(6);
    uploadLightUniforms(program);

    // Link the same program object again with the arrays elsewhere.
    std::vector<int> reversed = allArrays();
    std::reverse(reversed.begin(), reversed.end());
    GLuint vs = compileShader(GL_VERTEX_SHADER, "#version 450 compatibility\nvoid main() { gl_Position = gl_Vertex; }\n");
    GLuint fs = compileShader(GL_FRAGMENT_SHADER, fragmentSource(reversed, 30));
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);

    forgetProgramUniforms(program);
    applyLightPreset(66);
    uploadLightUniforms(program);
    for (int k = 0; k < LIGHT_UNIFORM_ARRAY_COUNT; ++k)
        expectArrayInProgram(program, k);
    dropProgram(program);
}

TEST_F(LightTableTest, UploadsStayCorrectBeyondTheLocationCacheCapacity)
{
    std::vector<GLuint> programs;
    for (int n = 0; n < PROGRAM_UNIFORM_CACHE_CAPACITY + 6; ++n)
        programs.push_back(linkProgram({0, 1, 2}, (n % 2) * 30));
    applyLightPreset(6);
    for (GLuint p : programs)
        uploadLightSwitchUniforms(p);
    applyLightPreset(10);
    for (GLuint p : programs)
        uploadLightSwitchUniforms(p);
    for (size_t n : {size_t(0), programs.size() - 1})
        for (int k = 0; k < 3; ++k)
            expectArrayInProgram(programs[n], k);
    for (GLuint p : programs)
        dropProgram(p);
}

}  // namespace
