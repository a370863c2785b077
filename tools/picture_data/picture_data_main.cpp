// picture_data <run dir>: writes the opening scene's picture "r.tga", its displacement maps
// "r_displace.tga" and "r_displace2.tga" (all exactly 256 x 256: the scene reads them back into
// fixed arrays) and the particle sprites "particle.tga" and "burstlens.tga" into <run dir>/data/.
//
// Conventions: pixel (0, 0) is the bottom-left pixel, rows bottom first, y up. The scene shows
// each picture pixel as one quad whose colour is picture x first map / (0.01 + push): while the
// push is 0 every channel above a few levels saturates, so the picture's regions are chosen by
// which channels are zero, and the few channels of 1 to 3 levels set the tints of the still
// frame; the big channels are the colours that show once the picture dissolves (red at half).
#include "tools/common/generator_main.h"
#include "tools/common/canvas.h"
#include "tools/common/tga_write.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int SIDE = 256;
constexpr int SPRITE_SIDE = 64;
constexpr float PI = 3.14159265f;

struct Byte3 {
    uint8_t r, g, b;
};

// A glacier lagoon in the morning. Each region is defined by which channels are zero (that sets
// its colour in the still frame, where every other channel saturates; tints of one or two
// levels would follow the first map's shading) and by its large channels (the colours of the
// dissolve, red shown at half); green stays high almost everywhere so the dissolving picture
// stays bright.
//   region        still frame           dissolve
//   sky           cyan                  azure, bright aqua at the horizon
//   clouds, snow  ice white             ice white with blue shadows
//   far range     violet                dawn purple
//   near hills    blue                  navy
//   water         cyan                  teal, lighter towards the horizon
//   sun glints    lime                  gold-green streaks
//   shore         black                 black
constexpr int HORIZON = 104;
constexpr float SHORE_ROWS = 7.0f;
constexpr float SUN_X = 150.0f;
constexpr float SUN_Y = 132.0f;
constexpr float SUN_RADIUS = 20.0f;

void put(std::vector<uint8_t>& rgba, int x, int y, Byte3 c, uint8_t a = 255)
{
    uint8_t* p = &rgba[4 * (static_cast<size_t>(y) * SIDE + x)];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = a;
}

uint8_t level(float v)
{
    v = v < 3.0f ? 3.0f : (v > 255.0f ? 255.0f : v);  // large channels never fall to a tint level
    return static_cast<uint8_t>(std::lround(v));
}

// Height of a mountain range at column x, in rows: noise sharpened into peaks, sinking into a
// valley where the sun rises (valleyStart..valleyEnd: distances from the sun's column).
float ridge(float x, float base, float amplitude, uint32_t seed, float valleyStart, float valleyEnd)
{
    const float h = sampleFractalNoise(x / 34.0f, 0.5f, seed, 5, 0.5f);
    const float peak = 1.0f - std::fabs(2.0f * h - 1.0f);
    const float valley = smoothStep(valleyStart, valleyEnd, std::fabs(x - SUN_X));
    return base + amplitude * (0.2f + 0.8f * peak * peak) * valley;
}

// Cloud density 0..1: long soft banks that thin towards the horizon.
float cloudDensity(float x, float y)
{
    const float n = sampleFractalNoise(x / 46.0f, y / 14.0f, 0xC10Du, 4, 0.5f);
    const float band = smoothStep(150.0f, 185.0f, y) * (1.0f - 0.35f * smoothStep(225.0f, 256.0f, y));
    return smoothStep(0.52f, 0.66f, n * (0.55f + 0.6f * band));
}

Byte3 skyPixel(float x, float y)
{
    const float up = (y - HORIZON) / (SIDE - HORIZON);  // 0 at the horizon, 1 at the top
    const float dx = x - SUN_X, dy = y - SUN_Y;
    const float sunDistance = std::sqrt(dx * dx + dy * dy);
    const float halo = std::exp(-sunDistance / 38.0f);
    const float cloud = cloudDensity(x, y);
    const float lit = sampleFractalNoise(x / 12.0f, y / 6.0f, 0x11u, 3, 0.5f);  // texture of the banks
    if (sunDistance < SUN_RADIUS)
        return {255, 255, level(200.0f + 55.0f * (1.0f - sunDistance / SUN_RADIUS))};
    if (cloud > 0.5f) {
        // Lit from below by the sun: brighter undersides and near the sun.
        const float shade = 0.72f + 0.18f * lit + 0.25f * halo;
        return {level(235.0f * shade), level(245.0f * shade + 10.0f), 255};
    }
    if (y < HORIZON + 22.0f + 6.0f * std::sin(x * 0.05f))
        return {0, level(215.0f + 40.0f * halo), level(225.0f + 30.0f * halo)};
    return {0, level(120.0f + 110.0f * (1.0f - up) + 60.0f * halo), 255};
}

Byte3 waterPixel(float x, float y)
{
    const float depth = static_cast<float>(HORIZON) - y;  // rows below the horizon
    // Ice floes: flattened blobs that grow towards the viewer.
    const float floe = sampleFractalNoise(x / (20.0f + depth * 0.3f), depth / 5.0f, 0xF10Eu, 4, 0.5f);
    if (floe > 0.7f - depth * 0.0012f && depth > 6.0f) {
        const float shade = 0.8f + 0.2f * sampleValueNoise(x / 3.0f, depth / 3.0f, 0x1CEu);
        return {level(225.0f * shade), level(240.0f * shade), 255};
    }
    // The sun's glitter column: broken streaks, narrower and denser near the horizon.
    const float wave = std::sin(x * 0.11f + depth * 0.9f) * (1.5f + depth * 0.06f);
    const float column = 14.0f + depth * 0.22f;
    const float streak = sampleValueNoise(x / 4.0f, depth * 0.8f, 0x6117u);
    if (std::fabs(x - SUN_X + wave) < column && streak > 0.45f + depth * 0.004f)
        return {255, 255, 0};
    const float glint = sampleFractalNoise(x / 9.0f, depth / 2.0f, 0x5EAu, 3, 0.5f);
    const float near = depth / HORIZON;
    const float green = 225.0f - 80.0f * near + 40.0f * (glint - 0.5f);
    return {0, level(green), level(0.9f * green + 20.0f)};
}

std::vector<uint8_t> drawDawn()
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int x = 0; x < SIDE; ++x) {
        const float fx = static_cast<float>(x) + 0.5f;
        const float farTop = ridge(fx, HORIZON + 4.0f, 52.0f, 0xFA7u, SUN_RADIUS * 0.6f, SUN_RADIUS * 2.6f);
        const float snowLine = HORIZON + 18.0f + 14.0f * sampleValueNoise(fx / 7.0f, 0.0f, 0x5A0u);
        const float rockTop = ridge(fx, HORIZON - 3.0f, 16.0f, 0x4EA7u, SUN_RADIUS * 2.0f, SUN_RADIUS * 4.0f);
        for (int y = 0; y < SIDE; ++y) {
            const float fy = static_cast<float>(y) + 0.5f;
            Byte3 c = fy >= HORIZON ? skyPixel(fx, fy) : waterPixel(fx, fy);
            if (fy >= HORIZON && fy < farTop) {
                const float face = sampleFractalNoise(fx / 6.0f, fy / 9.0f, 0xFACEu, 3, 0.5f);
                if (fy > snowLine + 10.0f * (face - 0.5f))
                    c = {level(235.0f * (0.8f + 0.2f * face)), level(245.0f * (0.8f + 0.2f * face)), 255};
                else
                    c = {level(150.0f + 60.0f * face), 0, level(170.0f + 60.0f * face)};
            }
            if (fy >= HORIZON - 2.0f && fy < rockTop)
                c = {0, 0, level(110.0f + 60.0f * sampleValueNoise(fx / 5.0f, fy / 5.0f, 0x4011u))};
            if (fy < SHORE_ROWS + 4.0f * std::sin(fx * 0.045f) + 3.0f * std::sin(fx * 0.13f))
                c = {0, 0, 0};
            put(rgba, x, y, c);
        }
    }
    return rgba;
}

uint8_t toByte(float v)
{
    v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    return static_cast<uint8_t>(std::lround(v * 255.0f));
}

// Cloth folds 0..1: a few long diagonal billows bent by noise. Smooth from pixel to pixel:
// each quad's neighbours move by the map's differences, so steep maps open cracks.
float clothFold(float x, float y, uint32_t seed)
{
    const float bend = 0.7f * sampleFractalNoise(x / 90.0f, y / 90.0f, seed, 3, 0.5f);
    const float a = std::sin(x * 0.040f + y * 0.018f + bend * PI);
    const float b = std::sin(x * 0.013f - y * 0.031f + 1.3f * bend);
    return 0.5f + 0.32f * a + 0.18f * b;
}

// First map: red pushes the quads out of the plane along the folds; green and blue drift them
// and, with red, shade the colour, so the crests that come forward are the ones catching the
// light and the troughs fall into shadow.
std::vector<uint8_t> drawDisplace(const std::vector<uint8_t>&)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const size_t i = 4 * (static_cast<size_t>(y) * SIDE + x);
            const float fold = clothFold(static_cast<float>(x), static_cast<float>(y), 0xD15u);
            const float grain = sampleValueNoise(x / 5.0f, y / 5.0f, 0xA1u);
            const float light = 0.68f + 0.3f * fold + 0.02f * grain;
            rgba[i + 0] = toByte(0.35f + 0.65f * fold);
            rgba[i + 1] = toByte(light);
            rgba[i + 2] = toByte(light - 0.04f * grain);
            rgba[i + 3] = 255;
        }
    }
    return rgba;
}

// Second map: its columns scroll across the picture, so it tiles every 256 columns: billows
// that travel along the cloth, each row's phase bent so the crests run diagonally, with a
// gentle drift in green and blue.
std::vector<uint8_t> drawDisplace2()
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const size_t i = 4 * (static_cast<size_t>(y) * SIDE + x);
            const float u = static_cast<float>(x) / SIDE * 2.0f * PI;
            const float v = static_cast<float>(y) / SIDE * 2.0f * PI;
            const float bend = 1.4f * std::sin(v + 0.6f * std::sin(2.0f * u));
            const float billow = 0.5f + 0.3f * std::sin(2.0f * u + bend) + 0.12f * std::sin(5.0f * u - 2.0f * v + bend);
            const float n = sampleFractalNoise(x / 32.0f, y / 32.0f, 0x2D2u, 3, 0.5f, SIDE / 32, 0);
            rgba[i + 0] = toByte(0.1f + 0.85f * (0.88f * billow + 0.12f * n));
            rgba[i + 1] = toByte(0.5f + 0.35f * std::sin(u + 0.5f * v));
            rgba[i + 2] = toByte(0.5f + 0.35f * std::cos(u - v));
            rgba[i + 3] = 255;
        }
    }
    return rgba;
}

// A soft round sprite: the brightness falls with the alpha, so it reads as a soft disc whether
// it is blended or not.
std::vector<uint8_t> drawSoftSprite(float core, float exponent, bool rays)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SPRITE_SIDE) * SPRITE_SIDE * 4);
    for (int y = 0; y < SPRITE_SIDE; ++y) {
        for (int x = 0; x < SPRITE_SIDE; ++x) {
            const float dx = (x + 0.5f) / SPRITE_SIDE * 2.0f - 1.0f;
            const float dy = (y + 0.5f) / SPRITE_SIDE * 2.0f - 1.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            // (1 - r^2)^e is flat at the centre, so the sprite has no bright point.
            float a = r >= 1.0f ? 0.0f : std::pow(1.0f - r * r, exponent);
            a = a + core * std::exp(-r * r * 40.0f);
            if (rays) {
                const float streak = std::exp(-std::fabs(dy) * 60.0f) + std::exp(-std::fabs(dx) * 60.0f);
                a += 0.5f * streak * (r < 1.0f ? 1.0f - r : 0.0f);
            }
            a = a > 1.0f ? 1.0f : a;
            const size_t i = 4 * (static_cast<size_t>(y) * SPRITE_SIDE + x);
            const float brightness = std::sqrt(a);
            rgba[i + 0] = toByte(brightness);
            rgba[i + 1] = toByte(brightness);
            rgba[i + 2] = toByte(brightness);
            rgba[i + 3] = toByte(a);
        }
    }
    return rgba;
}

bool write(const std::string& dir, const char* name, int side, const std::vector<uint8_t>& rgba, std::string& error)
{
    TgaSource source;
    source.width = side;
    source.height = side;
    source.rgba = rgba.data();
    if (!writeTgaFile(dir + "/" + name, source, 32, TgaEncoding::Uncompressed, error)) {
        error = std::string(name) + ": " + error;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    return runGenerator("picture_data", argc, argv, [](const std::string& dataDir, std::string& error) {
        const std::vector<uint8_t> dawn = drawDawn();
        return write(dataDir, "r.tga", SIDE, dawn, error) &&
               write(dataDir, "r_displace.tga", SIDE, drawDisplace(dawn), error) &&
               write(dataDir, "r_displace2.tga", SIDE, drawDisplace2(), error) &&
               write(dataDir, "particle.tga", SPRITE_SIDE, drawSoftSprite(0.0f, 2.5f, false), error) &&
               write(dataDir, "burstlens.tga", SPRITE_SIDE, drawSoftSprite(0.6f, 6.0f, true), error);
    });
}
