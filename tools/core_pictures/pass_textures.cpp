// Flat pictures, the default textures of each kind and the textures of the screen passes.
// Texture coordinates below: u = (x + 0.5) / width, v = (y + 0.5) / height, v = 0 at row 0.
#include "tools/core_pictures/pictures.h"

#include <cmath>  // std::cos, std::sin

namespace {

constexpr float TWO_PI = 6.28318530718f;

float textureU(const Canvas& canvas, int x)
{
    return (static_cast<float>(x) + 0.5f) / static_cast<float>(canvas.width);
}

float textureV(const Canvas& canvas, int y)
{
    return (static_cast<float>(y) + 0.5f) / static_cast<float>(canvas.height);
}

Rgba& pixelAt(Canvas& canvas, int x, int y)
{
    return canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width)
        + static_cast<size_t>(x)];
}

void setGrey(Rgba& pixel, float value)
{
    pixel = Rgba{value, value, value, 1.0f};
}

}  // namespace

bool drawWhite(Canvas& canvas, PictureFonts&, std::string&)
{
    fillOpaque(canvas, Rgb{1, 1, 1});
    return true;
}

bool drawBlack(Canvas& canvas, PictureFonts&, std::string&)
{
    fillOpaque(canvas, Rgb{0, 0, 0});
    return true;
}

bool drawDefaultBase(Canvas& canvas, PictureFonts&, std::string&)
{
    fillOpaque(canvas, rgbFromBytes(192, 192, 192));
    return true;
}

bool drawDefaultNormal(Canvas& canvas, PictureFonts&, std::string&)
{
    fillOpaque(canvas, rgbFromBytes(128, 128, 255));  // the unperturbed tangent-space normal
    return true;
}

bool drawDefaultSpecular(Canvas& canvas, PictureFonts&, std::string&)
{
    fillOpaque(canvas, rgbFromBytes(128, 128, 128));
    return true;
}

// The light map of the lit model shaders: u is the lighting term, so a straight ramp from a
// dim floor (unlit sides stay readable) to full brightness, the same on every row.
bool drawLightRamp(Canvas& canvas, PictureFonts&, std::string&)
{
    constexpr float FLOOR = 0.05f;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float t = static_cast<float>(x) / static_cast<float>(canvas.width - 1);
            setGrey(pixelAt(canvas, x, y), FLOOR + (1.0f - FLOOR) * t);
        }
    return true;
}

// The bloom mask: multiplies the thresholded picture and scrolls slowly in both directions, so
// it tiles seamlessly and never drops the bloom entirely (0.4 .. 1).
bool drawGlowMask(Canvas& canvas, PictureFonts&, std::string&)
{
    constexpr int CELLS = 4;  // lattice cells across the tile at the first octave
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float n = sampleFractalNoise(textureU(canvas, x) * CELLS, textureV(canvas, y) * CELLS,
                0x61u, 3, 0.45f, CELLS, CELLS);
            setGrey(pixelAt(canvas, x, y), 0.4f + 0.6f * smoothStep(0.25f, 0.75f, n));
        }
    return true;
}

// A duotone grading ramp looked up by intensity along u: black, deep blue, sky blue, white.
// Every row is the same, so any v works.
bool drawBlueShade(Canvas& canvas, PictureFonts&, std::string&)
{
    static const GradientStop STOPS[] = {
        {0.00f, {0.00f, 0.00f, 0.00f}},
        {0.22f, {0.03f, 0.06f, 0.20f}},
        {0.50f, {0.16f, 0.30f, 0.62f}},
        {0.78f, {0.56f, 0.75f, 0.96f}},
        {1.00f, {1.00f, 1.00f, 1.00f}},
    };
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float t = static_cast<float>(x) / static_cast<float>(canvas.width - 1);
            const Rgb c = sampleGradient(STOPS, 5, t);
            pixelAt(canvas, x, y) = Rgba{c.r, c.g, c.b, 1.0f};
        }
    return true;
}

// A brightness multiplier: a dark line every 4 rows with a soft profile (0.76 .. 0.96). The
// period divides the height, so repeated one texel per screen pixel it tiles seamlessly, and
// stretched over the 1080 screen rows it still gives lines about 4 pixels apart.
bool drawScanlines(Canvas& canvas, PictureFonts&, std::string&)
{
    constexpr float PERIOD_ROWS = 4.0f;
    for (int y = 0; y < canvas.height; ++y) {
        const float phase = (static_cast<float>(y) + 0.5f) / PERIOD_ROWS * TWO_PI;
        const float value = 0.86f + 0.14f * std::cos(phase);
        for (int x = 0; x < canvas.width; ++x)
            setGrey(pixelAt(canvas, x, y), value);
    }
    return true;
}

// Film grain sampled at a random offset every frame: grey, mean 0.5, triangular distribution.
// Independent per pixel, so it tiles.
bool drawScreenNoise(Canvas& canvas, PictureFonts&, std::string&)
{
    constexpr float SPREAD = 0.45f;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const uint32_t ux = static_cast<uint32_t>(x);
            const uint32_t uy = static_cast<uint32_t>(y);
            const float n = hashUnit(ux, uy, 0x5C4u) + hashUnit(ux, uy, 0x5C5u) - 1.0f;  // -1..1
            setGrey(pixelAt(canvas, x, y), 0.5f + SPREAD * n);
        }
    return true;
}

// Horizontal displacement in red, signed around 128: smooth waves along v with a few sharp
// glitch bands, barely varying along u. Tiles in both directions (it scrolls both ways).
// Green and blue stay at 128, i.e. no displacement, for a pass that reads two components.
bool drawOffsetMap(Canvas& canvas, PictureFonts&, std::string&)
{
    constexpr int BAND_COUNT = 32;
    constexpr float GLITCH_SHARE = 0.22f;  // bands that carry a hard offset
    for (int y = 0; y < canvas.height; ++y) {
        const float v = textureV(canvas, y);
        const int band = static_cast<int>(v * BAND_COUNT);
        const float bandPick = hashUnit(static_cast<uint32_t>(band), 7u, 0x0FFu);
        const float bandShift = hashUnit(static_cast<uint32_t>(band), 8u, 0x0FFu) * 2.0f - 1.0f;
        const float glitch = bandPick < GLITCH_SHARE ? 0.55f * bandShift : 0.0f;
        for (int x = 0; x < canvas.width; ++x) {
            const float u = textureU(canvas, x);
            float offset = 0.22f * std::sin(TWO_PI * v) + 0.12f * std::sin(TWO_PI * (3.0f * v + 0.2f))
                + 0.06f * std::sin(TWO_PI * (11.0f * v + 0.6f)) + 0.05f * std::sin(TWO_PI * (u + 2.0f * v));
            offset += glitch;
            const float red = clampUnit(0.5f + 0.5f * offset);
            pixelAt(canvas, x, y) = Rgba{red, 0.5f, 0.5f, 1.0f};
        }
    }
    return true;
}

// Depth-of-field strength by depth value along u (0 = nothing drawn, higher = nearer): sharp in
// a band around mid depth, rising smoothly to full blur for the far background and for what is
// very near. Every row is the same, so any v works.
bool drawBlurIntensity(Canvas& canvas, PictureFonts&, std::string&)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float depth = static_cast<float>(x) / static_cast<float>(canvas.width - 1);
            const float far = 1.0f - smoothStep(0.08f, 0.4f, depth);
            const float near = smoothStep(0.7f, 0.98f, depth);
            setGrey(pixelAt(canvas, x, y), far + near);
        }
    return true;
}
