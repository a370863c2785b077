// Pictures of the logo scenes, drawn in frame units (see canvas.h: y up, bottom row first).
#include "tools/logo_models/logo_pictures.h"

#include <cmath>

namespace {

constexpr float PI_F = 3.14159265f;

void setOpaque(Rgba& pixel, Rgb c)
{
    pixel = Rgba{c.r, c.g, c.b, 1.0f};
}

float fraction(float v)
{
    return v - std::floor(v);
}

Rgb hueColour(float hue, float saturation)
{
    const float h = fraction(hue) * 6.0f;
    auto channel = [&](float offset) {
        const float k = std::fmod(offset + h, 6.0f);
        return 1.0f - saturation * std::fmax(0.0f, std::fmin(std::fmin(k, 4.0f - k), 1.0f));
    };
    return Rgb{channel(5.0f), channel(3.0f), channel(1.0f)};
}

void paintRamp(Canvas& canvas, const GradientStop* stops, int count)
{
    const float width = canvas.frameWidth;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float) {
        setOpaque(pixel, sampleGradient(stops, count, fx / width));
    });
}

// Distance of a tile point (0..1 square) to the tile's nearest edge, and the direction to it.
float edgeDistance(float u, float v, float& dx, float& dy)
{
    const float d[4] = {u, 1.0f - u, v, 1.0f - v};
    const float dirX[4] = {-1, 1, 0, 0};
    const float dirY[4] = {0, 0, -1, 1};
    int nearest = 0;
    for (int i = 1; i < 4; ++i)
        if (d[i] < d[nearest])
            nearest = i;
    dx = dirX[nearest];
    dy = dirY[nearest];
    return d[nearest];
}

constexpr float GROUT = 0.06f;   // grout width as a fraction of the tile
constexpr float BEVEL = 0.10f;   // width of the tile's rounded rim beyond the grout

}  // namespace

void drawClosingBackground(Canvas& canvas)
{
    constexpr float HORIZON = 540.0f;
    constexpr float CENTRE_X = 960.0f;
    constexpr float CAMERA_HEIGHT = 700.0f;   // floor grid: depth z = CAMERA_HEIGHT / pixels below the horizon
    constexpr float FOCAL = 200.0f;
    constexpr float GRID_SPACING = 1.0f;
    constexpr float LINE_WIDTH = 1.1f;  // pixels
    const GradientStop sky[] = {
        {0.0f, {0.025f, 0.010f, 0.045f}},
        {0.40f, {0.090f, 0.030f, 0.140f}},
        {0.50f, {0.160f, 0.050f, 0.190f}},
        {0.60f, {0.070f, 0.035f, 0.150f}},
        {1.0f, {0.012f, 0.016f, 0.060f}},
    };
    const float height = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        Rgb c = sampleGradient(sky, 5, fy / height);
        // A warm haze along the horizon behind the band.
        const float haze = std::exp(-std::pow((fy - HORIZON) / 190.0f, 2.0f));
        c.r += 0.22f * haze;
        c.g += 0.06f * haze;
        c.b += 0.12f * haze;
        if (fy < HORIZON - 2.0f) {
            // The floor grid in perspective: depth z along the floor, x across it.
            const float below = HORIZON - fy;
            const float z = CAMERA_HEIGHT / below;
            const float dzdy = CAMERA_HEIGHT / (below * below);
            const float across = (fx - CENTRE_X) * z / FOCAL;
            const float dAcross = z / FOCAL;
            const float zLine = std::fabs(z - GRID_SPACING * std::round(z / GRID_SPACING)) / dzdy;
            const float xLine = std::fabs(across - std::round(across)) / dAcross;
            // Each family of lines fades out before its lines crowd closer than a few pixels.
            const float zDensity = smoothStep(4.0f, 14.0f, GRID_SPACING / dzdy);
            const float xDensity = smoothStep(4.0f, 14.0f, 1.0f / dAcross);
            const float line = std::fmax(zDensity * coverageFromDistance(zLine - LINE_WIDTH * 0.5f, 1.0f),
                xDensity * coverageFromDistance(xLine - LINE_WIDTH * 0.5f, 1.0f));
            const float fade = std::exp(-z * 0.04f);
            c.r += 0.55f * line * fade;
            c.g += 0.16f * line * fade;
            c.b += 0.62f * line * fade;
        } else {
            // Sparse stars, fewer towards the horizon.
            const int cellX = static_cast<int>(fx / 6.0f), cellY = static_cast<int>(fy / 6.0f);
            const float h = hashUnit(static_cast<uint32_t>(cellX), static_cast<uint32_t>(cellY), 0x57A2u);
            const float density = smoothStep(HORIZON + 40.0f, HORIZON + 320.0f, fy);
            if (h > 1.0f - 0.012f * density) {
                const float sx = (static_cast<float>(cellX) + 0.5f) * 6.0f, sy = (static_cast<float>(cellY) + 0.5f) * 6.0f;
                const float d = std::hypot(fx - sx, fy - sy);
                const float glow = std::exp(-d * d / 1.6f) * (0.35f + 0.65f * fraction(h * 977.0f));
                c.r += 0.75f * glow;
                c.g += 0.80f * glow;
                c.b += 0.95f * glow;
            }
        }
        setOpaque(pixel, c);
    });
}

// Six copper bars per band height, each a hue of its own, scrolling up by 18 bars and cycling
// their hues five times over the strip, so the strip wraps seamlessly at u = 1. The edges of the
// band fade out in alpha; the core is opaque.
void drawRasterStrip(Canvas& canvas)
{
    constexpr float BARS = 6.0f;
    constexpr float SCROLL_BARS = 18.0f;  // a multiple of BARS: the colours wrap with the strip
    constexpr float HUE_CYCLES = 5.0f;
    constexpr float EDGE = 0.06f;
    const float width = canvas.frameWidth, height = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        const float u = fx / width, v = fy / height;
        const float phase = v * BARS - u * SCROLL_BARS;
        const float bar = std::floor(phase);
        const float f = phase - bar;
        const float index = std::fmod(std::fmod(bar, BARS) + BARS, BARS);
        const float shade = std::pow(std::sin(PI_F * f), 0.9f);
        const Rgb hue = hueColour(index / BARS + u * HUE_CYCLES, 0.78f);
        const float shine = std::pow(shade, 10.0f) * 0.45f;
        const Rgb c{hue.r * (0.10f + 0.90f * shade) + shine, hue.g * (0.10f + 0.90f * shade) + shine,
            hue.b * (0.10f + 0.90f * shade) + shine};
        const float alpha = smoothStep(0.0f, EDGE, v) * smoothStep(1.0f, 1.0f - EDGE, v);
        pixel = Rgba{c.r * alpha, c.g * alpha, c.b * alpha, alpha};
    });
}

void drawThinLogoRamp(Canvas& canvas)
{
    const GradientStop stops[] = {{0.0f, {0.60f, 0.60f, 0.60f}}, {0.6f, {0.88f, 0.88f, 0.88f}}, {1.0f, {1.0f, 1.0f, 1.0f}}};
    paintRamp(canvas, stops, 3);
}

void drawFrontGlowRamp(Canvas& canvas)
{
    const GradientStop stops[] = {
        {0.0f, {0.50f, 0.10f, 0.02f}},
        {0.45f, {1.00f, 0.40f, 0.06f}},
        {0.85f, {1.00f, 0.74f, 0.30f}},
        {1.0f, {1.00f, 0.84f, 0.48f}},
    };
    paintRamp(canvas, stops, 4);
}

void drawBackGlowRamp(Canvas& canvas)
{
    const GradientStop stops[] = {
        {0.0f, {0.06f, 0.12f, 0.55f}},
        {0.45f, {0.10f, 0.52f, 1.00f}},
        {0.85f, {0.30f, 0.78f, 1.00f}},
        {1.0f, {0.55f, 0.92f, 1.00f}},
    };
    paintRamp(canvas, stops, 4);
}

// The disco logo's glow is a neon tube: v runs across the band (0 outer edge, 1 inner edge),
// u along it. The scene tints it and adds it over the picture, so the base stays near white
// with a hot core; the lights of the scene catch the tube's round profile (normal map) and
// its glassy skin (specular map), and the light ramp keeps even grazing light bright.
float tubeAcross(float fy, float height)
{
    return 2.0f * fy / height - 1.0f;  // -1 .. 1 across the band
}

void drawNeonBand(Canvas& canvas)
{
    const float width = canvas.frameWidth, height = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        const float across = tubeAcross(fy, height);
        const float core = std::exp(-across * across / 0.08f);
        const float body = 0.5f + 0.3f * (1.0f - across * across);
        const float ribs = 0.94f + 0.06f * std::cos(fx / width * PI_F * 2.0f * 8.0f);
        const float value = std::fmin(1.0f, (body + 0.45f * core) * ribs);
        setOpaque(pixel, Rgb{value * (0.9f + 0.1f * core), value, value});
    });
}

void drawNeonSpecular(Canvas& canvas)
{
    const float height = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& pixel, float, float fy) {
        const float across = tubeAcross(fy, height);
        const float value = 0.35f + 0.65f * (1.0f - across * across);
        setOpaque(pixel, Rgb{value, value, value});
    });
}

void drawNeonNormal(Canvas& canvas)
{
    const float height = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& pixel, float, float fy) {
        // A round tube: the normal leans across the band (tangent space y) towards its edges.
        const float across = 0.85f * tubeAcross(fy, height);
        const float ny = across, nz = std::sqrt(std::fmax(0.0f, 1.0f - across * across));
        setOpaque(pixel, Rgb{0.5f, 0.5f + 0.5f * ny, 0.5f + 0.5f * nz});
    });
}

// Bright from the first touch of light: neon lit by the room's lamps.
void drawNeonLightRamp(Canvas& canvas)
{
    const float width = canvas.frameWidth;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float) {
        const float d = fx / width;
        const float value = 0.55f + 0.45f * std::sqrt(d);
        setOpaque(pixel, Rgb{value, value, value});
    });
}

void drawMirrorTile(Canvas& canvas)
{
    const float size = canvas.frameWidth;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        const float u = fx / size, v = fy / size;
        float dx, dy;
        const float edge = edgeDistance(u, v, dx, dy);
        const float tile = smoothStep(GROUT * 0.6f, GROUT, edge);
        // A faint sheen across the glass and a little unevenness per texel.
        // Dark glass: the scene's dozen lights add up on it, and the sparkle comes from the
        // specular map. A faint sheen across the glass and a little unevenness per texel.
        const float sheen = 0.015f * std::sin((u + v) * PI_F * 1.5f);
        const float grain = 0.01f * (hashUnit(static_cast<uint32_t>(fx), static_cast<uint32_t>(fy), 0xD15Cu) - 0.5f);
        const float glass = 0.11f + sheen + grain;
        const Rgb grout{0.015f, 0.015f, 0.02f};
        setOpaque(pixel, mixRgb(grout, Rgb{glass * 0.97f, glass, glass * 1.04f}, tile));
    });
}

void drawMirrorTileSpecular(Canvas& canvas)
{
    const float size = canvas.frameWidth;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        float dx, dy;
        const float edge = edgeDistance(fx / size, fy / size, dx, dy);
        const float value = 0.04f + 0.96f * smoothStep(GROUT * 0.6f, GROUT, edge);
        setOpaque(pixel, Rgb{value, value, value});
    });
}

// Tangent space: x along u, y along v, z out of the tile. The rim leans towards the grout.
void drawMirrorTileNormal(Canvas& canvas)
{
    const float size = canvas.frameWidth;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        float dx, dy;
        const float edge = edgeDistance(fx / size, fy / size, dx, dy);
        const float lean = 0.9f * (1.0f - smoothStep(GROUT, GROUT + BEVEL, edge)) * smoothStep(GROUT * 0.5f, GROUT, edge);
        float nx = dx * lean, ny = dy * lean, nz = 1.0f;
        const float l = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= l;
        ny /= l;
        nz /= l;
        setOpaque(pixel, Rgb{0.5f + 0.5f * nx, 0.5f + 0.5f * ny, 0.5f + 0.5f * nz});
    });
}

// Fine streaks along u that tile in both directions.
float brushedStreaks(Canvas& canvas, float fx, float fy, uint32_t seed)
{
    constexpr int CELLS_ACROSS = 4;
    constexpr int CELLS_DOWN = 160;
    const float x = fx / canvas.frameWidth * CELLS_ACROSS;
    const float y = fy / canvas.frameHeight * CELLS_DOWN;
    return sampleFractalNoise(x, y, seed, 4, 0.55f, CELLS_ACROSS, CELLS_DOWN);
}

void drawBrushedMetal(Canvas& canvas)
{
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        const float streak = brushedStreaks(canvas, fx, fy, 0xB5u);
        // Dark: a dozen lights add up on it, and their ambient leans blue, which the warm base
        // turns back to steel.
        const float value = 0.075f + 0.05f * streak;
        setOpaque(pixel, Rgb{value * 1.20f, value * 1.08f, value * 0.62f});
    });
}

void drawBrushedMetalSpecular(Canvas& canvas)
{
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        const float value = 0.16f + 0.16f * brushedStreaks(canvas, fx, fy, 0xB5u);
        setOpaque(pixel, Rgb{value, value, value});
    });
}

// Dark until a face turns towards the light, then a steep rise with a bright band just before
// full light, as polished metal catches it; alternate rows lean cool and warm.
void drawMetalLightRamp(Canvas& canvas)
{
    const float width = canvas.frameWidth, height = canvas.frameHeight;
    const int rows = canvas.height;
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        const float d = fx / width;
        const int row = static_cast<int>(fy / height * static_cast<float>(rows));
        const float rise = std::pow(smoothStep(0.10f, 0.95f, d), 1.3f);
        const float band = 0.30f * std::exp(-std::pow((d - 0.62f) / 0.07f, 2.0f));
        const float value = 0.02f + 0.40f * rise + 0.6f * band;
        const Rgb tint = row % 2 == 0 ? Rgb{0.86f, 0.93f, 1.0f} : Rgb{1.0f, 0.88f, 0.72f};
        setOpaque(pixel, Rgb{value * tint.r, value * tint.g, value * tint.b});
    });
}
