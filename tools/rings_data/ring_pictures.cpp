// The rings' machined-metal texture sets and the sphere's glowing one.
//
// Ring pictures: u (x) runs along the ring, v (y) around the tube with the outer face at
// v = 0.5. The outer face carries an engraved scale (ticks between two running grooves); the
// normal map is taken from the same groove depths, so base and relief line up. The light ramps
// ("_chraber", read by the lit shader as colour by light facing 0..1 along u) are the same in
// every row, since the shader samples them at the row edge.
#include "tools/rings_data/rings_data.h"

#include "tools/common/tga_write.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int RING_PICTURE_WIDTH = 1024;
constexpr int RING_PICTURE_HEIGHT = 64;
constexpr int RAMP_WIDTH = 256;
constexpr int RAMP_HEIGHT = 4;
constexpr int FLAT_PICTURE_SIDE = 16;
constexpr int SPHERE_PICTURE_WIDTH = 512;
constexpr int SPHERE_PICTURE_HEIGHT = 256;

// Ticks of the engraved scale per ring, innermost first: the longer rings get the finer scale.
constexpr int RING_TICKS[RING_COUNT] = {36, 48, 60, 72};
constexpr float SCALE_BAND_HALF = 0.19f;    // ticks span v = 0.5 +- this (long ones)
constexpr float RUNNING_GROOVE_V = 0.29f;   // grooves at v = 0.5 +- (0.5 - this)
constexpr float RELIEF_STRENGTH = 1.6f;     // slope of the groove walls in the normal map

struct MetalLook {
    Rgb base;
    Rgb rampTint;
    float specular;
};

MetalLook metalLook(RingMetal metal)
{
    if (metal == RingMetal::BRASS)
        return MetalLook{{0.36f, 0.27f, 0.13f}, {1.0f, 0.86f, 0.60f}, 0.75f};
    return MetalLook{{0.29f, 0.31f, 0.35f}, {0.88f, 0.94f, 1.0f}, 0.9f};
}

bool writePicture(const std::string& path, const Canvas& canvas, uint32_t ditherSeed, TgaEncoding encoding,
                  std::string& error)
{
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, ditherSeed, Rgb{0, 0, 0});
    TgaSource source;
    source.width = canvas.width;
    source.height = canvas.height;
    source.rgba = rgba.data();
    if (!writeTgaFile(path, source, 24, encoding, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool writeFlatPicture(const std::string& path, int side, Rgb color, std::string& error)
{
    Canvas canvas = makeCanvas(side, side, static_cast<float>(side), static_cast<float>(side));
    fillOpaque(canvas, color);
    return writePicture(path, canvas, 0, TgaEncoding::RunLength, error);
}

// A light ramp from a profile over facing 0..1, tinted.
template <typename Profile>
bool writeRamp(const std::string& path, Rgb tint, const Profile& profile, std::string& error)
{
    Canvas canvas = makeCanvas(RAMP_WIDTH, RAMP_HEIGHT, RAMP_WIDTH, RAMP_HEIGHT);
    paintPixels(canvas, [&](Rgba& pixel, float x, float) {
        const float level = clampUnit(profile(x / RAMP_WIDTH));
        const Rgb c = scaleRgb(tint, level);
        pixel = Rgba{c.r, c.g, c.b, 1.0f};
    });
    return writePicture(path, canvas, 0, TgaEncoding::Uncompressed, error);
}

// Polished metal: dark until the surface turns towards the light, a broad bright band, a
// narrow dark reflection, then full brightness facing the light.
float metalRamp(float facing)
{
    const float dip = (facing - 0.75f) / 0.08f;
    return 0.1f + 0.9f * smoothStep(0.25f, 0.55f, facing) - 0.55f * std::exp(-dip * dip) +
           0.45f * smoothStep(0.85f, 1.0f, facing);
}

// 1 inside a groove, 0 outside, antialiased over about a pixel; x and y in pixels.
float grooveProfile(float distance, float halfWidth)
{
    return 1.0f - smoothStep(halfWidth - 0.6f, halfWidth + 0.6f, distance);
}

// Depth of the engraving at a pixel position of a ring picture, 0..1.
float engravingDepth(int ringIndex, float x, float y)
{
    const float v = y / RING_PICTURE_HEIGHT;
    float depth = 0.0f;
    // The two grooves that run along the whole ring, framing the scale.
    for (float grooveV : {RUNNING_GROOVE_V, 1.0f - RUNNING_GROOVE_V}) {
        const float distance = std::fabs(y - grooveV * RING_PICTURE_HEIGHT);
        depth = std::fmax(depth, grooveProfile(distance, 0.7f));
    }
    // The scale: every tick, longer every third and longest every sixth.
    const int ticks = RING_TICKS[ringIndex];
    const float spacing = static_cast<float>(RING_PICTURE_WIDTH) / static_cast<float>(ticks);
    const float nearest = std::round(x / spacing);
    const float distance = std::fabs(x - nearest * spacing);
    const int tick = static_cast<int>(nearest) % ticks;
    const float halfLength = tick % 6 == 0 ? SCALE_BAND_HALF : (tick % 3 == 0 ? 0.14f : 0.09f);
    const float along = std::fabs(v - 0.5f) * RING_PICTURE_HEIGHT;
    const float lengthCover = 1.0f - smoothStep(halfLength * RING_PICTURE_HEIGHT - 0.6f,
                                                halfLength * RING_PICTURE_HEIGHT + 0.6f, along);
    depth = std::fmax(depth, grooveProfile(distance, tick % 6 == 0 ? 1.1f : 0.8f) * lengthCover);
    return depth;
}

bool writeRingBase(const std::string& path, RingMetal metal, int ringIndex, std::string& error)
{
    const MetalLook look = metalLook(metal);
    Canvas canvas = makeCanvas(RING_PICTURE_WIDTH, RING_PICTURE_HEIGHT, RING_PICTURE_WIDTH, RING_PICTURE_HEIGHT);
    const uint32_t seed = 0x5117u + static_cast<uint32_t>(ringIndex);
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        // Brushed along the ring: long streaks, tiling in both directions.
        const float streak = sampleFractalNoise(x / 32.0f, y / 2.0f, seed, 3, 0.5f, RING_PICTURE_WIDTH / 32,
                                                RING_PICTURE_HEIGHT / 2);
        Rgb c = scaleRgb(look.base, 0.82f + 0.36f * streak);
        // The polished outer face is a little brighter than the tube's sides.
        const float face = std::exp(-std::pow((y / RING_PICTURE_HEIGHT - 0.5f) / 0.22f, 2.0f));
        c = scaleRgb(c, 0.9f + 0.2f * face);
        c = scaleRgb(c, 1.0f - 0.6f * engravingDepth(ringIndex, x, y));
        pixel = Rgba{c.r, c.g, c.b, 1.0f};
    });
    return writePicture(path, canvas, seed, TgaEncoding::Uncompressed, error);
}

// Tangent-space normals (x along u, y along v) of the engraving's relief.
bool writeRingNormal(const std::string& path, int ringIndex, std::string& error)
{
    Canvas canvas = makeCanvas(RING_PICTURE_WIDTH, RING_PICTURE_HEIGHT, RING_PICTURE_WIDTH, RING_PICTURE_HEIGHT);
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float h = 0.5f;
        const float dx = -(engravingDepth(ringIndex, x + h, y) - engravingDepth(ringIndex, x - h, y)) / (2 * h);
        const float dy = -(engravingDepth(ringIndex, x, y + h) - engravingDepth(ringIndex, x, y - h)) / (2 * h);
        float n[3] = {-RELIEF_STRENGTH * dx, -RELIEF_STRENGTH * dy, 1.0f};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (float& c : n)
            c = 0.5f + 0.5f * c / length;
        pixel = Rgba{n[0], n[1], n[2], 1.0f};
    });
    return writePicture(path, canvas, 0, TgaEncoding::Uncompressed, error);
}

// Molten light: warm cloudy layers with bright veins where the noise crosses its middle.
bool writeSphereBase(const std::string& path, std::string& error)
{
    static const GradientStop GLOW[] = {
        {0.00f, {0.50f, 0.15f, 0.05f}},
        {0.45f, {0.80f, 0.40f, 0.10f}},
        {0.80f, {0.95f, 0.70f, 0.32f}},
        {1.00f, {1.00f, 0.86f, 0.55f}},
    };
    constexpr int CELLS_U = 8;  // noise cells around the equator; half as many pole to pole
    constexpr int CELLS_V = 4;
    Canvas canvas = makeCanvas(SPHERE_PICTURE_WIDTH, SPHERE_PICTURE_HEIGHT, 1.0f, 1.0f);
    paintPixels(canvas, [&](Rgba& pixel, float u, float v) {
        const float cloud = sampleFractalNoise(u * CELLS_U, v * CELLS_V, 0x5F3Eu, 5, 0.55f, CELLS_U, 0);
        const float swirl = sampleFractalNoise(u * CELLS_U * 2 + 3.7f * cloud, v * CELLS_V * 2, 0x77A1u, 4, 0.5f,
                                               CELLS_U * 2, 0);
        const float vein = std::pow(1.0f - std::fabs(2.0f * swirl - 1.0f), 10.0f);
        Rgb c = sampleGradient(GLOW, 4, cloud * 1.1f);
        c = mixRgb(c, Rgb{1.0f, 0.95f, 0.80f}, 0.7f * vein);
        pixel = Rgba{c.r, c.g, c.b, 1.0f};
    });
    return writePicture(path, canvas, 0x5F3Eu, TgaEncoding::Uncompressed, error);
}

}  // namespace

bool writeRingTextureSet(const std::string& dataDir, const std::string& key, RingMetal metal, int ringIndex,
                         std::string& error)
{
    const MetalLook look = metalLook(metal);
    const std::string stem = dataDir + "/" + key;
    return writeRingBase(stem + ".tga", metal, ringIndex, error) &&
           writeRingNormal(stem + "_normal.tga", ringIndex, error) &&
           writeRamp(stem + "_chraber.tga", look.rampTint, metalRamp, error) &&
           writeFlatPicture(stem + "_specular.tga", FLAT_PICTURE_SIDE,
                            Rgb{look.specular, look.specular, look.specular}, error);
}

bool writeSphereTextureSet(const std::string& dataDir, const std::string& key, std::string& error)
{
    const std::string stem = dataDir + "/" + key;
    // Nearly flat ramp: the sphere is its own light, the shading only hints at its roundness.
    auto glowRamp = [](float facing) { return 0.2f + 0.15f * facing; };
    return writeSphereBase(stem + ".tga", error) &&
           writeFlatPicture(stem + "_normal.tga", FLAT_PICTURE_SIDE, Rgb{0.5f, 0.5f, 1.0f}, error) &&
           writeRamp(stem + "_chraber.tga", Rgb{1.0f, 0.9f, 0.75f}, glowRamp, error) &&
           writeFlatPicture(stem + "_specular.tga", FLAT_PICTURE_SIDE, Rgb{0.3f, 0.3f, 0.3f}, error);
}
