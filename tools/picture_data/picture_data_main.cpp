// picture_data <run dir>: writes the opening scene's picture "r.tga", its displacement maps
// "r_displace.tga" and "r_displace2.tga" (all exactly 256 x 256: the scene reads them back into
// fixed arrays) and the particle sprites "particle.tga" and "burstlens.tga" into <run dir>/data/.
//
// Conventions: pixel (0, 0) is the bottom-left pixel, rows bottom first, y up; a picture pixel
// is one quad of the scene, one unit of its grid.
//
// How the scene shows a pixel: its colour is picture x first map / (0.01 + push) per channel,
// red at half. In the still frame (push 0) any channel worth more than about 1% saturates, so a
// channel is either "big" (saturated now, its value the colour of the dissolve) or a "tint" of a
// few levels, whose product with the map sets the still colour and which fades out as soon as
// the push starts. The picture is painted as two targets, the still colour and the dissolve
// colour, and each channel is turned into whichever of the two its still value asks for.
//
// How the quads stay together: a quad is one unit wide and high, moved by the maps, so any map
// value that grows from a quad to its neighbour opens a gap between them. Green (drift along x)
// never grows along x, blue (drift along y) never grows along y, and red (the push towards the
// camera) grows up to the eye's row and falls above it: a row pushed nearer than the row below
// it shows higher on the screen above the eye and lower beneath it, so the rows only ever
// overlap. Along x the quads share their push, so red may wave freely across the columns.
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
// The picture row at the camera's height (eye y 0.7703 x 108 rows per unit).
constexpr float EYE_ROW = 83.2f;

uint8_t toByte(float v)
{
    v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    return static_cast<uint8_t>(std::lround(v * 255.0f));
}

// 1 at the eye's row, falling steadily to either side: the push's profile across the rows.
float eyeProfile(float y, float reach)
{
    const float d = (y - EYE_ROW) / reach;
    return std::exp(-d * d);
}

// Vertical folds 0..1 across the columns of the first map.
float clothFold(float x)
{
    const float u = x / SIDE * 2.0f * PI;
    return 0.5f + 0.3f * std::sin(3.0f * u + 0.8f * std::sin(u)) + 0.2f * std::sin(7.0f * u + 1.0f);
}

// First map: red pushes the quads out along the folds, most at the eye's row; green and blue
// are a low, even multiplier (low, so the tint levels of the still frame are fine steps) with a
// drift that only ever shrinks along its axis.
std::vector<uint8_t> drawDisplace()
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const size_t i = 4 * (static_cast<size_t>(y) * SIDE + x);
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            rgba[i + 0] = toByte(0.25f + 0.6f * eyeProfile(fy, 110.0f) * (0.45f + 0.55f * clothFold(fx)));
            rgba[i + 1] = toByte(0.30f - 0.03f * fx / (SIDE - 1));
            rgba[i + 2] = toByte(0.30f - 0.03f * fy / (SIDE - 1));
            rgba[i + 3] = 255;
        }
    }
    return rgba;
}

// Second map: its columns scroll across the picture, so its red tiles every 256 columns and
// is flat where the columns wrap; billows that travel along the cloth. Green and blue spread
// the picture a little, shrinking along their axes.
std::vector<uint8_t> drawDisplace2()
{
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const size_t i = 4 * (static_cast<size_t>(y) * SIDE + x);
            const float u = static_cast<float>(x) / SIDE * 2.0f * PI;
            const float billow = 0.5f + 0.3f * std::cos(2.0f * u) + 0.2f * std::cos(5.0f * u);
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            rgba[i + 0] = toByte(0.2f + 0.8f * eyeProfile(fy, 90.0f) * (0.3f + 0.7f * billow));
            rgba[i + 1] = toByte(0.85f - 0.7f * fx / (SIDE - 1));
            rgba[i + 2] = toByte(0.85f - 0.7f * fy / (SIDE - 1));
            rgba[i + 3] = 255;
        }
    }
    return rgba;
}

// A pixel as painted: the colour of the still frame and the colour the dissolve shows in the
// channels the still colour saturates.
struct Paint {
    Rgb still;
    Rgb dissolve;
};

// A glacier lagoon at dawn. Still: a pale blue sky warming round the sun, lilac ranges with
// snow, slate water with the sun's glitter. Dissolve: the shadows melt first and leave a deep
// blue sky, the sun's orange halo, the lit clouds, the snow and the glitter. The dissolve
// colours are low: the push divides them, so they only come out of saturation as it grows.
constexpr int HORIZON = 104;
constexpr float SHORE_ROWS = 7.0f;
constexpr float SUN_X = 150.0f;
constexpr float SUN_Y = 132.0f;
constexpr float SUN_RADIUS = 20.0f;
// Round the sun the sky's red and green saturate instead of its blue: the halo dissolves
// orange, the rest of the sky blue, and no ring of both (white or magenta) lies between.
constexpr float HALO_EDGE = 0.42f;

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

Paint skyPixel(float x, float y)
{
    const float up = (y - HORIZON) / (SIDE - HORIZON);  // 0 at the horizon, 1 at the top
    const float dx = x - SUN_X, dy = y - SUN_Y;
    const float sunDistance = std::sqrt(dx * dx + dy * dy);
    const float halo = std::exp(-sunDistance / 40.0f);
    if (sunDistance < SUN_RADIUS)
        return {{1.0f, 1.0f, 1.0f}, {0.30f, 0.26f, 0.16f}};
    const float cloud = cloudDensity(x, y);
    if (cloud > 0.5f) {
        // Lit from below by the sun: brighter undersides and near the sun.
        const float lit = sampleFractalNoise(x / 12.0f, y / 6.0f, 0x11u, 3, 0.5f);
        const float shade = clampUnit(0.55f + 0.35f * lit + 0.35f * halo + 0.3f * smoothStep(0.5f, 0.9f, cloud));
        // The lit banks are white and dissolve a warm grey; their shadows melt away.
        if (shade > 0.8f)
            return {{1.0f, 1.0f, 1.0f}, scaleRgb(Rgb{0.18f, 0.16f, 0.19f}, shade)};
        return {mixRgb(Rgb{0.60f, 0.58f, 0.84f}, Rgb{0.90f, 0.86f, 0.96f}, shade / 0.8f), {}};
    }
    Rgb still = mixRgb(Rgb{0.66f, 0.70f, 1.0f}, Rgb{0.30f, 0.44f, 1.0f}, std::pow(up, 0.8f));
    // The halo's edge is scattered, so neither picture shows a ring there.
    const float scatter = 0.1f * (hashUnit(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 0x4A10u) - 0.5f);
    if (halo + scatter > HALO_EDGE)
        return {{1.0f, 1.0f, 0.80f + 0.15f * (1.0f - halo)}, {0.32f * halo, 0.17f * halo, 0.0f}};
    const float warm = halo / HALO_EDGE;
    still.r = still.r + (0.94f - still.r) * warm;
    still.g = still.g + (0.90f - still.g) * warm;
    return {still, {0.0f, 0.0f, 0.10f + 0.10f * up}};
}

Paint waterPixel(float x, float y)
{
    const float depth = static_cast<float>(HORIZON) - y;  // rows below the horizon
    // Ice floes: flattened blobs that grow towards the viewer.
    const float floe = sampleFractalNoise(x / (20.0f + depth * 0.3f), depth / 5.0f, 0xF10Eu, 4, 0.5f);
    if (floe > 0.7f - depth * 0.0012f && depth > 6.0f) {
        const float shade = 0.8f + 0.2f * sampleValueNoise(x / 3.0f, depth / 3.0f, 0x1CEu);
        return {{0.84f * shade, 0.88f * shade, 1.0f}, {0.0f, 0.0f, 0.14f * shade}};
    }
    // The sun's glitter column: broken streaks, narrower and denser near the horizon.
    const float wave = std::sin(x * 0.11f + depth * 0.9f) * (1.5f + depth * 0.06f);
    const float column = 14.0f + depth * 0.22f;
    const float streak = sampleValueNoise(x / 4.0f, depth * 0.8f, 0x6117u);
    if (std::fabs(x - SUN_X + wave) < column && streak > 0.45f + depth * 0.004f)
        return {{1.0f, 1.0f, 0.86f}, {0.32f, 0.24f, 0.0f}};
    const float glint = sampleFractalNoise(x / 9.0f, depth / 2.0f, 0x5EAu, 3, 0.5f);
    const float near = depth / HORIZON;
    const Rgb far{0.56f, 0.60f, 0.90f}, close{0.18f, 0.26f, 0.56f};
    return {scaleRgb(mixRgb(far, close, std::sqrt(near)), 0.9f + 0.25f * glint), {}};
}

Paint dawnPixel(float fx, float fy, float farTop, float snowLine, float rockTop)
{
    Paint c = fy >= HORIZON ? skyPixel(fx, fy) : waterPixel(fx, fy);
    if (fy >= HORIZON && fy < farTop) {
        const float face = sampleFractalNoise(fx / 6.0f, fy / 9.0f, 0xFACEu, 3, 0.5f);
        if (fy > snowLine + 10.0f * (face - 0.5f))
            c = {{0.80f + 0.12f * face, 0.80f + 0.10f * face, 1.0f}, {0.0f, 0.0f, 0.10f + 0.05f * face}};
        else
            c = {scaleRgb(Rgb{0.46f, 0.38f, 0.66f}, 0.8f + 0.35f * face), {}};
    }
    if (fy >= HORIZON - 2.0f && fy < rockTop)
        c = {scaleRgb(Rgb{0.17f, 0.14f, 0.32f}, 0.85f + 0.3f * sampleValueNoise(fx / 5.0f, fy / 5.0f, 0x4011u)), {}};
    if (fy < SHORE_ROWS + 4.0f * std::sin(fx * 0.045f) + 3.0f * std::sin(fx * 0.13f))
        c = {{0.0f, 0.0f, 0.0f}, {}};
    return c;
}

// The picture byte for one channel: a big channel carries the dissolve colour (divided by the
// map and the channel's gain, which multiply it back) and never less than what saturates the
// still frame; a tint carries the level whose product with the map gives the still colour.
uint8_t channelByte(float still, float dissolve, int map, float gain)
{
    constexpr float BIG = 0.96f;
    const float perLevel = static_cast<float>(map) / 256.0f / 256.0f * gain;  // still value of one level
    if (still >= BIG) {
        const float saturating = std::ceil(1.0f / perLevel);
        const float wanted = std::round(dissolve * 256.0f * 256.0f / static_cast<float>(map) * 100.0f / gain);
        return static_cast<uint8_t>(std::fmin(255.0f, std::fmax(saturating, wanted)));
    }
    return static_cast<uint8_t>(std::fmin(255.0f, std::round(still / perLevel)));
}

std::vector<uint8_t> drawDawn(const std::vector<uint8_t>& map)
{
    constexpr float GAINS[3] = {50.0f, 100.0f, 100.0f};  // per push 0.01; red is shown at half
    std::vector<uint8_t> rgba(static_cast<size_t>(SIDE) * SIDE * 4);
    for (int x = 0; x < SIDE; ++x) {
        const float fx = static_cast<float>(x) + 0.5f;
        const float farTop = ridge(fx, HORIZON + 4.0f, 52.0f, 0xFA7u, SUN_RADIUS * 0.6f, SUN_RADIUS * 2.6f);
        const float snowLine = HORIZON + 18.0f + 14.0f * sampleValueNoise(fx / 7.0f, 0.0f, 0x5A0u);
        const float rockTop = ridge(fx, HORIZON - 3.0f, 16.0f, 0x4EA7u, SUN_RADIUS * 2.0f, SUN_RADIUS * 4.0f);
        for (int y = 0; y < SIDE; ++y) {
            const Paint paint = dawnPixel(fx, static_cast<float>(y) + 0.5f, farTop, snowLine, rockTop);
            const float still[3] = {paint.still.r, paint.still.g, paint.still.b};
            const float dissolve[3] = {paint.dissolve.r, paint.dissolve.g, paint.dissolve.b};
            const size_t i = 4 * (static_cast<size_t>(y) * SIDE + x);
            for (int k = 0; k < 3; ++k)
                rgba[i + k] = channelByte(still[k], dissolve[k], map[i + k], GAINS[k]);
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
        const std::vector<uint8_t> displace = drawDisplace();
        return write(dataDir, "r.tga", SIDE, drawDawn(displace), error) &&
               write(dataDir, "r_displace.tga", SIDE, displace, error) &&
               write(dataDir, "r_displace2.tga", SIDE, drawDisplace2(), error) &&
               write(dataDir, "particle.tga", SPRITE_SIDE, drawSoftSprite(0.0f, 2.5f, false), error) &&
               write(dataDir, "burstlens.tga", SPRITE_SIDE, drawSoftSprite(0.6f, 6.0f, true), error);
    });
}
