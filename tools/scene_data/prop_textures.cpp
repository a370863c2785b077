// Pictures of the props' texture sets. Each set starts from a tiling height field: the base
// picture colours it, the normal map is its slope (tangent space, u right and v up, bottom row
// first), the specular map its exposed crests; the chraber picture is the light ramp the lit
// shaders look the lighting term up in, tinted per material.
#include "tools/scene_data/props.h"

#include "tools/common/canvas.h"
#include "tools/common/game_light.h"
#include "tools/common/tga_write.h"

#include <cmath>
#include <functional>

namespace {

const int TEXTURE_SIDE = 256;
const int RAMP_WIDTH = 256;
const int RAMP_ROWS = 4;
const float RAMP_FLOOR = 0.06f;
const Rgb NO_COLOR = {0, 0, 0};

using HeightField = std::function<float(float u, float v)>;
using Colouring = std::function<Rgb(float u, float v, float height)>;

struct Material {
    const char* key;
    HeightField height;
    Colouring colour;
    float bumpStrength;  // slope scale of the normal map
    float shine;         // specular level of the crests
    Rgb rampTint;        // light colour at full lighting
    uint32_t ditherSeed;
};

float noiseAt(float u, float v, int cells, uint32_t seed, int octaves, float gain)
{
    return sampleFractalNoise(u * cells, v * cells, seed, octaves, gain, cells, cells);
}

// Weathered stone: lumpy, with a net of dark cracks and a few lichen patches.
float rockHeight(float u, float v)
{
    float lumps = noiseAt(u, v, 6, 0x100u, 5, 0.5f);
    float crack = std::fabs(noiseAt(u, v, 4, 0x101u, 3, 0.45f) - 0.5f);
    float inCrack = 1.0f - smoothStep(0.0f, 0.035f, crack);
    return clampUnit(0.15f + 0.8f * lumps - 0.45f * inCrack);
}

Rgb rockColour(float u, float v, float h)
{
    Rgb dark = rgbFromBytes(88, 84, 80), light = rgbFromBytes(160, 154, 144);
    Rgb c = mixRgb(dark, light, smoothStep(0.1f, 0.9f, h));
    float speckle = noiseAt(u, v, 32, 0x102u, 2, 0.5f);
    c = scaleRgb(c, 0.9f + 0.2f * speckle);
    float lichen = smoothStep(0.66f, 0.74f, noiseAt(u, v, 5, 0x103u, 3, 0.5f));
    return mixRgb(c, rgbFromBytes(118, 128, 78), 0.7f * lichen);
}

// Short grass over the hills, with bare earth showing through in broad patches.
float grassHeight(float u, float v)
{
    float blades = noiseAt(u, v, 32, 0x200u, 3, 0.55f);
    float tufts = noiseAt(u, v, 8, 0x201u, 3, 0.5f);
    return clampUnit(0.35f * blades + 0.65f * tufts);
}

Rgb grassColour(float u, float v, float h)
{
    Rgb low = rgbFromBytes(58, 92, 40), high = rgbFromBytes(112, 146, 62);
    Rgb c = mixRgb(low, high, smoothStep(0.2f, 0.85f, h));
    float earth = smoothStep(0.6f, 0.7f, noiseAt(u, v, 3, 0x202u, 4, 0.5f));
    Rgb soil = mixRgb(rgbFromBytes(96, 74, 50), rgbFromBytes(128, 102, 70), h);
    return mixRgb(c, soil, 0.85f * earth);
}

// Sandstone in horizontal strata (v runs up the columns), worn at the edges of the layers.
float sandstoneHeight(float u, float v)
{
    float warp = noiseAt(u, v, 4, 0x300u, 3, 0.5f);
    float strata = 0.5f + 0.5f * std::sin(2.0f * 3.14159265f * (6.0f * v + 0.6f * warp));
    float wear = noiseAt(u, v, 16, 0x301u, 4, 0.5f);
    return clampUnit(0.3f * strata + 0.7f * wear);
}

Rgb sandstoneColour(float u, float v, float h)
{
    float warp = noiseAt(u, v, 4, 0x300u, 3, 0.5f);
    float band = 0.5f + 0.5f * std::sin(2.0f * 3.14159265f * (3.0f * v + 0.3f * warp) + 1.3f);
    Rgb pale = rgbFromBytes(222, 200, 160), warm = rgbFromBytes(190, 150, 108);
    Rgb c = mixRgb(warm, pale, band);
    return scaleRgb(c, 0.78f + 0.27f * h);
}

const Material MATERIALS[] = {
    {"rock", rockHeight, rockColour, 5.0f, 0.45f, {1.0f, 0.97f, 0.92f}, 0x5A01u},
    {"hill", grassHeight, grassColour, 3.0f, 0.15f, {0.96f, 1.0f, 0.9f}, 0x5A02u},
    {"pillar", sandstoneHeight, sandstoneColour, 2.0f, 0.3f, {1.0f, 0.95f, 0.86f}, 0x5A03u},
};

float textureCoordinate(int i)
{
    return (static_cast<float>(i) + 0.5f) / TEXTURE_SIDE;
}

bool writeCanvas(const std::string& path, const Canvas& canvas, uint32_t ditherSeed, std::string& error)
{
    std::vector<uint8_t> rgba = canvasToRgba8(canvas, ditherSeed, NO_COLOR);
    TgaSource source;
    source.width = canvas.width;
    source.height = canvas.height;
    source.rgba = rgba.data();
    return writeTgaFile(path, source, 24, TgaEncoding::Uncompressed, error);
}

bool writeMaterial(const Material& m, const std::string& dataDir, std::string& error)
{
    const int n = TEXTURE_SIDE;
    std::vector<float> height(static_cast<size_t>(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            height[static_cast<size_t>(y) * n + x] = m.height(textureCoordinate(x), textureCoordinate(y));
    auto h = [&](int x, int y) { return height[static_cast<size_t>((y + n) % n) * n + (x + n) % n]; };

    Canvas base = makeCanvas(n, n, n, n), normal = makeCanvas(n, n, n, n), specular = makeCanvas(n, n, n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            size_t i = static_cast<size_t>(y) * n + x;
            // The props are drawn under the game's lights, like its own models.
            Rgb c = underGameLight(m.colour(textureCoordinate(x), textureCoordinate(y), h(x, y)));
            base.pixels[i] = {c.r, c.g, c.b, 1.0f};
            // The slope across one texel, in units of the texture's width.
            float du = 0.5f * (h(x + 1, y) - h(x - 1, y)) * m.bumpStrength * n / 64.0f;
            float dv = 0.5f * (h(x, y + 1) - h(x, y - 1)) * m.bumpStrength * n / 64.0f;
            float length = std::sqrt(du * du + dv * dv + 1.0f);
            normal.pixels[i] = {0.5f - 0.5f * du / length, 0.5f - 0.5f * dv / length, 0.5f + 0.5f / length, 1.0f};
            float crest = m.shine * smoothStep(0.4f, 1.0f, h(x, y));
            specular.pixels[i] = {crest, crest, crest, 1.0f};
        }

    Canvas ramp = makeCanvas(RAMP_WIDTH, RAMP_ROWS, RAMP_WIDTH, RAMP_ROWS);
    for (int y = 0; y < RAMP_ROWS; ++y)
        for (int x = 0; x < RAMP_WIDTH; ++x) {
            float t = static_cast<float>(x) / (RAMP_WIDTH - 1);
            // A soft shoulder: quarter-lit faces already read, full light is not blown out.
            float level = RAMP_FLOOR + (1.0f - RAMP_FLOOR) * (1.0f - (1.0f - t) * (1.0f - t) * 0.35f - 0.65f * (1.0f - t));
            const float lit = GAME_RAMP_TOP * level;
            ramp.pixels[static_cast<size_t>(y) * RAMP_WIDTH + x] = {lit * m.rampTint.r, lit * m.rampTint.g,
                                                                   lit * m.rampTint.b, 1.0f};
        }

    const std::string key = dataDir + "/" + m.key;
    return writeCanvas(key + ".tga", base, m.ditherSeed, error) &&
           writeCanvas(key + "_normal.tga", normal, 0, error) &&
           writeCanvas(key + "_chraber.tga", ramp, 0, error) &&
           writeCanvas(key + "_specular.tga", specular, 0, error);
}

} // namespace

bool writePropTextures(const std::string& dataDir, std::string& error)
{
    for (const Material& m : MATERIALS)
        if (!writeMaterial(m, dataDir, error)) {
            error = std::string(m.key) + ": " + error;
            return false;
        }
    return true;
}
