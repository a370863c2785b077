// picture_data <run dir>: writes the opening scene's picture "r.tga", its displacement maps
// "r_displace.tga" and "r_displace2.tga" (all exactly 256 x 256: the scene reads them back into
// fixed arrays) and the particle sprites "particle.tga" and "burstlens.tga" into <run dir>/data/.
//
// Conventions: pixel (0, 0) is the bottom-left pixel, rows bottom first, y up. The scene shows
// each picture pixel as one quad whose colour is picture x first map / (0.01 + push): while the
// push is 0 every channel above a few levels saturates, so the picture's regions are chosen by
// which channels are zero, and the few channels of 1 to 3 levels set the tints of the still
// frame; the big channels are the colours that show once the picture dissolves (red at half).
#include "tools/common/canvas.h"
#include "tools/common/tga_write.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int SIDE = 256;
constexpr int SPRITE_SIDE = 64;
constexpr float PI = 3.14159265f;

struct Byte3 {
    uint8_t r, g, b;
};

// The dawn's regions: a banded sky, a striped sun on the horizon, two mountain ranges and a
// lake that mirrors the sky in ripples.
constexpr Byte3 SKY_HIGH = {0, 1, 150};     // still: azure; later: deep blue
constexpr Byte3 SKY_VIOLET = {120, 0, 170}; // still: magenta; later: violet
constexpr Byte3 SKY_ROSE = {255, 1, 60};    // still: rose; later: crimson
constexpr Byte3 SKY_EMBER = {255, 2, 0};    // still: orange; later: red
constexpr Byte3 SUN = {255, 100, 2};        // still: pale yellow; later: amber
constexpr Byte3 FAR_RANGE = {2, 0, 3};      // still: indigo; later: black
constexpr Byte3 NEAR_RANGE = {0, 0, 0};     // black silhouettes
constexpr Byte3 LAKE = {0, 1, 110};         // still: azure; later: dark blue

constexpr int HORIZON = 100;
constexpr float SUN_X = 128.0f;
constexpr float SUN_Y = 100.0f;
constexpr float SUN_RADIUS = 58.0f;

void put(std::vector<uint8_t>& rgba, int x, int y, Byte3 c, uint8_t a = 255)
{
    uint8_t* p = &rgba[4 * (static_cast<size_t>(y) * SIDE + x)];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = a;
}

// Height of a mountain range at column x, in rows: noise sharpened into peaks, sinking into a
// valley where the sun rises (valleyStart..valleyEnd: distances from the sun's column).
float ridge(float x, float base, float amplitude, uint32_t seed, float valleyStart, float valleyEnd)
{
    const float h = sampleFractalNoise(x / 40.0f, 0.5f, seed, 4, 0.5f);
    const float peak = 1.0f - std::fabs(2.0f * h - 1.0f);
    const float valley = smoothStep(valleyStart, valleyEnd, std::fabs(x - SUN_X));
    return base + amplitude * (0.15f + 0.85f * peak) * valley;
}

Byte3 skyColour(int y)
{
    if (y >= 200)
        return SKY_HIGH;
    if (y >= 166)
        return SKY_VIOLET;
    if (y >= 134)
        return SKY_ROSE;
    return SKY_EMBER;
}

// The sun's lower half is cut by horizontal gaps that widen towards the horizon.
bool inSun(float x, float y)
{
    float dx = x - SUN_X;
    float dy = y - SUN_Y;
    if (dx * dx + dy * dy > SUN_RADIUS * SUN_RADIUS)
        return false;
    float rise = (y - SUN_Y) / SUN_RADIUS;  // 0 at the horizon, 1 at the top
    if (rise > 0.55f)
        return true;
    const float period = 9.0f;
    float phase = std::fmod(y - SUN_Y, period) / period;
    float gap = 0.55f * (1.0f - rise / 0.55f);
    return phase >= gap;
}

std::vector<uint8_t> drawDawn()
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int x = 0; x < SIDE; ++x) {
        const float fx = static_cast<float>(x) + 0.5f;
        const float farTop = ridge(fx, HORIZON + 2.0f, 40.0f, 0xFA7u, SUN_RADIUS * 0.3f, SUN_RADIUS * 1.4f);
        const float nearTop = ridge(fx, HORIZON - 1.0f, 30.0f, 0x4EA7u, SUN_RADIUS * 0.6f, SUN_RADIUS * 1.6f);
        for (int y = 0; y < SIDE; ++y) {
            const float fy = static_cast<float>(y) + 0.5f;
            Byte3 c;
            if (y >= HORIZON) {
                c = skyColour(y);
                if (inSun(fx, fy))
                    c = SUN;
                // The ranges stand in front of the sun.
                if (fy < farTop)
                    c = FAR_RANGE;
                if (fy < nearTop)
                    c = NEAR_RANGE;
            } else {
                // Lake: ripples mirror the sun's column and the ember band; darker shore below.
                const float depth = static_cast<float>(HORIZON - y);
                const float wave = std::sin(fx * 0.09f + depth * 0.7f) * (2.0f + depth * 0.08f);
                const float mirrorHalf = SUN_RADIUS * (1.0f - depth / 110.0f);
                const int ripple = static_cast<int>(depth) % 6;
                c = LAKE;
                if (std::fabs(fx - SUN_X + wave) < mirrorHalf && ripple < 3)
                    c = depth < 40.0f ? SUN : SKY_EMBER;
                else if (ripple == 0 && depth < 30.0f)
                    c = SKY_ROSE;
                if (depth > 86.0f + 5.0f * std::sin(fx * 0.05f))
                    c = NEAR_RANGE;
            }
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

// First map: red pushes the quads out of the plane (the sun and the ranges come forward),
// green and blue drift them; all three multiply the colour, so they stay near full.
std::vector<uint8_t> drawDisplace(const std::vector<uint8_t>& picture)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const size_t i = 4 * (static_cast<size_t>(y) * SIDE + x);
            const float n = sampleFractalNoise(x / 24.0f, y / 24.0f, 0xD15u, 4, 0.55f);
            const uint8_t* p = &picture[i];
            float relief = 0.25f + 0.35f * n;
            if (p[0] == SUN.r && p[1] == SUN.g)
                relief = 0.85f + 0.15f * n;
            else if (p[0] + p[1] + p[2] < 8)  // the ranges and the shore
                relief = 0.55f + 0.3f * n;
            const float driftX = sampleValueNoise(x / 16.0f, y / 16.0f, 0xA1u);
            const float driftY = sampleValueNoise(x / 16.0f, y / 16.0f, 0xB2u);
            rgba[i + 0] = toByte(0.55f + 0.45f * relief);
            rgba[i + 1] = toByte(0.80f + 0.20f * driftX);
            rgba[i + 2] = toByte(0.80f + 0.20f * driftY);
            rgba[i + 3] = 255;
        }
    }
    return rgba;
}

// Second map: its columns scroll across the picture, so every pattern repeats after 256
// columns: ridges of waves in red, gentle drift in green and blue.
std::vector<uint8_t> drawDisplace2()
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const size_t i = 4 * (static_cast<size_t>(y) * SIDE + x);
            const float u = static_cast<float>(x) / SIDE * 2.0f * PI;
            const float v = static_cast<float>(y) / SIDE * 2.0f * PI;
            const float wave = 0.5f + 0.3f * std::sin(3.0f * u + 2.0f * std::sin(v)) + 0.2f * std::sin(7.0f * u - 3.0f * v);
            const float n = sampleFractalNoise(x / 32.0f, y / 32.0f, 0x2D2u, 3, 0.5f, SIDE / 32, 0);
            rgba[i + 0] = toByte(0.15f + 0.85f * (0.8f * wave + 0.2f * n));
            rgba[i + 1] = toByte(0.5f + 0.5f * std::sin(2.0f * u + v));
            rgba[i + 2] = toByte(0.5f + 0.5f * std::cos(u - 2.0f * v));
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

bool write(const std::string& dir, const char* name, int side, const std::vector<uint8_t>& rgba)
{
    TgaSource source;
    source.width = side;
    source.height = side;
    source.rgba = rgba.data();
    std::string error;
    if (!writeTgaFile(dir + "/" + name, source, 32, TgaEncoding::Uncompressed, error)) {
        std::fprintf(stderr, "picture_data: %s: %s\n", name, error.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: picture_data <run dir>\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code ec;
    std::filesystem::create_directories(dataDir, ec);
    const std::vector<uint8_t> dawn = drawDawn();
    bool ok = write(dataDir, "r.tga", SIDE, dawn);
    ok = write(dataDir, "r_displace.tga", SIDE, drawDisplace(dawn)) && ok;
    ok = write(dataDir, "r_displace2.tga", SIDE, drawDisplace2()) && ok;
    ok = write(dataDir, "particle.tga", SPRITE_SIDE, drawSoftSprite(0.0f, 2.5f, false)) && ok;
    ok = write(dataDir, "burstlens.tga", SPRITE_SIDE, drawSoftSprite(0.6f, 6.0f, true)) && ok;
    return ok ? 0 : 1;
}
