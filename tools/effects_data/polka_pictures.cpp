// Pictures of the polka-dot effect: the bead sprite, two spare dot screens, the black back,
// the zoom's screen mask, an heraldic eagle and a ring of lettering that turns in front of it.
#include "tools/effects_data/effects_pictures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float PI = 3.14159265f;
constexpr Rgb BRONZE_DARK = {0.30f, 0.16f, 0.06f};
constexpr Rgb BRONZE_LIGHT = {0.85f, 0.55f, 0.22f};
constexpr Rgb GOLD = {1.0f, 0.82f, 0.35f};

float distanceToCapsule(float px, float py, float ax, float ay, float bx, float by, float radius)
{
    return distanceToSegment(px, py, ax, ay, bx, by) - radius;
}

float distanceToEllipse(float px, float py, float cx, float cy, float rx, float ry)
{
    // Scaled circle: exact enough for the smooth outlines drawn here.
    const float dx = (px - cx) / rx, dy = (py - cy) / ry;
    return (std::sqrt(dx * dx + dy * dy) - 1.0f) * std::min(rx, ry);
}

// The eagle in a 1024 frame: spread wings of six feathers each, tail fan, body, head, beak.
float eagleDistance(float x, float y)
{
    float d = distanceToEllipse(x, y, 512.0f, 470.0f, 105.0f, 190.0f);
    d = std::min(d, distanceToCapsule(x, y, 512.0f, 600.0f, 512.0f, 720.0f, 42.0f));
    d = std::min(d, distanceToCircle(x, y, 512.0f, 745.0f, 72.0f));
    d = std::min(d, distanceToCapsule(x, y, 470.0f, 745.0f, 395.0f, 712.0f, 20.0f));
    const float wingAngles[6] = {78.0f, 58.0f, 38.0f, 18.0f, -2.0f, -22.0f};
    const float wingLengths[6] = {330.0f, 370.0f, 380.0f, 360.0f, 320.0f, 260.0f};
    for (int side = -1; side <= 1; side += 2) {
        const float sx = 512.0f + side * 70.0f, sy = 590.0f;
        for (int k = 0; k < 6; ++k) {
            const float a = wingAngles[k] * PI / 180.0f;
            const float tx = sx + side * wingLengths[k] * std::cos(a);
            const float ty = sy + wingLengths[k] * std::sin(a) * 0.8f - 40.0f;
            d = std::min(d, distanceToCapsule(x, y, sx, sy - 10.0f * k, tx, ty, 30.0f - 2.0f * k));
        }
    }
    for (int k = 0; k < 5; ++k) {
        const float a = (-60.0f - 15.0f * k) * PI / 180.0f;
        d = std::min(d, distanceToCapsule(x, y, 512.0f, 320.0f, 512.0f + 190.0f * std::cos(a),
                                          320.0f + 190.0f * std::sin(a), 24.0f));
    }
    return d;
}

float sampleMask(const Mask& mask, float x, float y)
{
    const float fx = x - mask.left - 0.5f, fy = y - mask.bottom - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - x0, ty = fy - y0;
    auto at = [&](int ix, int iy) {
        if (ix < 0 || iy < 0 || ix >= mask.width || iy >= mask.height)
            return 0.0f;
        return mask.values[static_cast<size_t>(iy) * mask.width + ix];
    };
    return (at(x0, y0) * (1 - tx) + at(x0 + 1, y0) * tx) * (1 - ty) +
           (at(x0, y0 + 1) * (1 - tx) + at(x0 + 1, y0 + 1) * tx) * ty;
}

}  // namespace

bool drawPolkaBig(Canvas& canvas, EffectFonts&, std::string&)
{
    const float c = canvas.frameWidth * 0.5f, r = c * 0.94f;
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float cover = coverageFromDistance(distanceToCircle(x, y, c, c, r), aa);
        // A bead lit from the upper left: 0.5 is the unlit colour, a highlight above it.
        const float nx = (x - c) / r, ny = (y - c) / r;
        const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
        const float diffuse = std::max(0.0f, -0.45f * nx + 0.55f * ny + 0.7f * nz);
        const float highlight = std::pow(std::max(0.0f, -0.35f * nx + 0.45f * ny + 0.82f * nz), 40.0f);
        const float light = std::min(1.0f, 0.25f + 0.3f * diffuse + 0.45f * highlight);
        px = {light * cover, light * cover, light * cover, cover};
    });
    return true;
}

// A dot screen of `cells` dots across in one colour over another.
static void drawDotScreen(Canvas& canvas, int cells, Rgb dot, Rgb back)
{
    const float size = canvas.frameWidth / cells;
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float cx = (std::floor(x / size) + 0.5f) * size, cy = (std::floor(y / size) + 0.5f) * size;
        px = {back.r, back.g, back.b, 1.0f};
        blendOver(px, dot, coverageFromDistance(distanceToCircle(x, y, cx, cy, size * 0.38f), aa));
    });
}

bool drawPolka1(Canvas& canvas, EffectFonts&, std::string&)
{
    drawDotScreen(canvas, 16, {0.95f, 0.95f, 0.92f}, {0.80f, 0.10f, 0.15f});
    return true;
}

bool drawPolka2(Canvas& canvas, EffectFonts&, std::string&)
{
    drawDotScreen(canvas, 8, {0.10f, 0.10f, 0.12f}, {0.98f, 0.85f, 0.25f});
    return true;
}

bool drawPolkaBlack(Canvas& canvas, EffectFonts&, std::string&)
{
    fillOpaque(canvas, {0.0f, 0.0f, 0.0f});
    return true;
}

bool drawPolkaScreenMask(Canvas& canvas, EffectFonts&, std::string&)
{
    // Drawn in screen pixels: a rounded screen with a soft edge, black around it.
    const float w = canvas.frameWidth, h = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float d = distanceToRoundedBox(x, y, w * 0.5f, h * 0.5f, w * 0.5f - 90.0f, h * 0.5f - 70.0f, 120.0f);
        const float v = 1.0f - smoothStep(-60.0f, 0.0f, d);
        px = {v, v, v, 1.0f};
    });
    return true;
}

bool drawEagle(Canvas& canvas, EffectFonts&, std::string&)
{
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float d = eagleDistance(x, y);
        const float cover = coverageFromDistance(d, aa);
        if (cover <= 0.0f) {
            px = {0, 0, 0, 0};
            return;
        }
        // Bronze darkening towards the feather tips, a gold rim inside the outline.
        const float depth = clampUnit(-d / 60.0f);
        Rgb c = mixRgb(BRONZE_DARK, BRONZE_LIGHT, 0.3f + 0.7f * depth * (0.6f + 0.4f * y / 1024.0f));
        const float rim = coverageFromDistance(std::fabs(d + 7.0f) - 4.0f, aa);
        c = mixRgb(c, GOLD, rim);
        px = {c.r * cover, c.g * cover, c.b * cover, cover};
    });
    // The eye.
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        blendOver(px, {1.0f, 0.95f, 0.8f}, coverageFromDistance(distanceToCircle(x, y, 488.0f, 760.0f, 11.0f), aa));
    });
    return true;
}

bool drawTextRing(Canvas& canvas, EffectFonts& fonts, std::string& error)
{
    const char* const RING = "TOVELAS * MORNGLOW * TOVELAS * MORNGLOW * ";
    const int letters = static_cast<int>(std::char_traits<char>::length(RING));
    const float centre = canvas.frameWidth * 0.5f;
    const float radius = 405.0f;  // baseline circle
    const float step = 2.0f * PI / letters;
    // Each letter upright in its own small mask, baseline at y = 40, centred on x = 64.
    std::vector<Mask> glyphs;
    TextStyle style;
    style.size = 84.0f;
    Canvas cell = makeCanvas(128, 128, 128.0f, 128.0f);
    for (int k = 0; k < letters; ++k) {
        Mask m = makeMask(cell);
        const char text[2] = {RING[k] == '*' ? '\0' : RING[k], '\0'};
        if (text[0] && !drawTextCentred(fonts.sansBold, cell, m, text, style, 64.0f, 40.0f, error))
            return false;
        glyphs.push_back(std::move(m));
    }
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        px = {0, 0, 0, 0};
        const float dx = x - centre, dy = y - centre;
        const float r = std::sqrt(dx * dx + dy * dy);
        if (r < radius - 80.0f || r > radius + 120.0f)
            return;
        // Letters run clockwise from the top, their feet on the circle.
        const float angle = std::atan2(dy, dx);
        const float along = (PI * 0.5f - angle) / step;
        const int nearest = static_cast<int>(std::floor(along + 0.5f));
        float cover = 0.0f;
        for (int k = nearest - 1; k <= nearest + 1; ++k) {
            const int index = ((k % letters) + letters) % letters;
            const float phi = PI * 0.5f - k * step;
            const float ux = std::cos(phi), uy = std::sin(phi);
            const float lx = dx * uy - dy * ux;  // along the clockwise tangent
            const float ly = dx * ux + dy * uy - radius;
            if (RING[index] == '*')
                cover = std::max(cover, coverageFromDistance(std::sqrt(lx * lx + (ly - 28.0f) * (ly - 28.0f)) - 9.0f, aa));
            else
                cover = std::max(cover, sampleMask(glyphs[static_cast<size_t>(index)], 64.0f + lx, 40.0f + ly));
        }
        blendOver(px, {1.0f, 0.97f, 0.9f}, clampUnit(cover));
        blendOver(px, GOLD, coverageFromDistance(std::fabs(r - (radius - 22.0f)) - 3.0f, aa));
        blendOver(px, GOLD, coverageFromDistance(std::fabs(r - (radius + 92.0f)) - 3.0f, aa));
    });
    return true;
}
