// The tunnel scene: the texture scroll of the tube (rewritten from its backup every frame, only
// that array sent again), the sphere's flash, and pictures of the sphere flashing on an accent
// beat and fading again.
#include "gfx/model.h"
#include "scenes/tunnel_scene.h"
#include "tests/effect_capture_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ScrollCase {
    const char* what;
    int vertices;        // of the model
    int backupVertices;  // held by the backup
    float scroll;
};

TEST(TunnelTexcoords, EachVertexBecomesItsBackupWithVStretchedAndScrolled)
{
    const ScrollCase cases[] = {
        {"whole model", 6, 6, 0.3f},
        {"scroll 0 still stretches v", 6, 6, 0.0f},
        {"a short backup rewrites only what it holds", 6, 3, 0.75f},
        {"a long backup is read only as far as the model goes", 3, 6, 0.5f},
    };
    for (const ScrollCase& c : cases) {
        Model model;
        allocModelVertexArrays(model, c.vertices / 3);
        for (size_t i = 0; i < model.texcoords.size(); ++i)
            model.texcoords[i] = -7.0f;
        std::vector<float> backup;
        for (int v = 0; v < c.backupVertices; ++v) {
            backup.push_back(0.125f * static_cast<float>(v));  // u
            backup.push_back(1.0f + static_cast<float>(v));     // v
        }
        scrollTunnelTexcoords(model, backup, c.scroll);
        for (int v = 0; v < c.vertices; ++v) {
            if (v < c.backupVertices) {
                EXPECT_EQ(model.texcoords[2 * v], backup[2 * v]) << c.what << ", vertex " << v;
                EXPECT_EQ(model.texcoords[2 * v + 1], backup[2 * v + 1] * 2.5f + c.scroll) << c.what << ", vertex " << v;
            } else {
                EXPECT_EQ(model.texcoords[2 * v], -7.0f) << c.what << ", vertex " << v;
                EXPECT_EQ(model.texcoords[2 * v + 1], -7.0f) << c.what << ", vertex " << v;
            }
        }
    }
}

// The other arrays sitting in their buffers are not sent again for the scroll; an array that
// was already due for upload stays due.
TEST(TunnelTexcoords, OnlyTheTextureCoordinatesAreMarkedForUpload)
{
    Model model;
    allocModelVertexArrays(model, 2);
    for (uint32_t& uploaded : model.uploadedVersion)
        uploaded = model.vertexDataVersion;
    model.uploadedVersion[MODEL_ATTRIBUTE_NORMAL] = 0;  // not uploaded yet
    std::vector<float> backup(12, 0.5f);
    scrollTunnelTexcoords(model, backup, 0.25f);
    for (int i = 0; i < MODEL_VERTEX_ATTRIBUTES; ++i) {
        const bool due = model.uploadedVersion[i] != model.vertexDataVersion;
        EXPECT_EQ(due, i == MODEL_ATTRIBUTE_TEXCOORD || i == MODEL_ATTRIBUTE_NORMAL) << "attribute " << i;
    }
}

TEST(TunnelFlash, PeaksOnABeatFadesByFrameTimeAndNeverGoesNegative)
{
    struct Case {
        const char* what;
        float flash;
        bool beat;
        float dt;
        float expected;
    } cases[] = {
        {"a beat sets the peak less one frame's fade", 0.1f, true, 1.0f, 0.48f},
        {"a beat at the peak starts over", 0.5f, true, 2.0f, 0.46f},
        {"without a beat it fades", 0.3f, false, 1.0f, 0.28f},
        {"the fade scales with the frame time", 0.3f, false, 5.0f, 0.2f},
        {"it stops at 0", 0.01f, false, 1.0f, 0.0f},
        {"a very long frame after a beat gives 0", 0.0f, true, 30.0f, 0.0f},
        {"0 stays 0", 0.0f, false, 1.0f, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(stepTunnelFlash(c.flash, c.beat, c.dt), c.expected, 1e-6f) << c.what;

    // From a beat to black in 25 frames of 60 Hz.
    float flash = stepTunnelFlash(0.0f, true, 1.0f);
    int frames = 1;
    while (flash > 0.0f && frames < 100) {
        flash = stepTunnelFlash(flash, false, 1.0f);
        ++frames;
    }
    EXPECT_EQ(frames, 25);
}

// Mean of red + green + blue over a square around the screen centre, where the sphere sits
// in these frames.
double centreBrightness(const RgbaPicture& picture)
{
    constexpr int HALF = 60;
    double sum = 0.0;
    for (int y = 540 - HALF; y < 540 + HALF; ++y)
        for (int x = 960 - HALF; x < 960 + HALF; ++x) {
            const uint8_t* p = picture.at(x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum / (4.0 * HALF * HALF);
}

// The tunnel's pictures at the times, in time order.
std::vector<RgbaPicture> capture(const std::string& name, const std::string& times, const std::string& stepMs)
{
    return capturePictures(name, "--step-ms " + stepMs + " --at " + times, 17);
}

// The first accent beat of the scene comes at 55.949 s (row 511, one row before the pattern
// starts). Before it the sphere is plain chrome; the frame after it the sphere flashes; 2.095 s
// later (one turn of its sideways wobble, so it sits where it sat before the beat) the flash
// has faded. The late frame is walked in long steps: only the scene's clock moves the sphere.
TEST(TunnelScene, SphereFlashesAfterAnAccentBeatAndFades)
{
    std::vector<RgbaPicture> early = capture("mornglow-tunnel-beat", "55.93,55.96", "16.667");
    std::vector<RgbaPicture> late = capture("mornglow-tunnel-fade", "58.055", "250");
    ASSERT_EQ(early.size(), 2u);
    ASSERT_EQ(late.size(), 1u);
    const double before = centreBrightness(early[0]);
    const double flashing = centreBrightness(early[1]);
    const double faded = centreBrightness(late[0]);
    EXPECT_GT(flashing, before + 60.0) << "before " << before << ", after the beat " << flashing;
    EXPECT_GT(flashing, faded + 60.0) << "after the beat " << flashing << ", faded " << faded;
    EXPECT_GT(before, 15.0) << "the chrome shows its reflection without a flash";
}

}  // namespace
