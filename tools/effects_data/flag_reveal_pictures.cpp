// Pictures of the flag, the reveal and the circles. The flag is a dawn banner (indigo field,
// an orange band, a rising sun with rays at the hoist); its helper maps tile so the shader can
// scroll them. The reveal shows a storm panorama with its title, edged by a hot cursor bar.
#include "tools/effects_data/effects_pictures.h"

#include <cmath>

namespace {

constexpr float PI = 3.14159265f;

constexpr Rgb FLAG_FIELD = {0.07f, 0.09f, 0.30f};
constexpr Rgb FLAG_FIELD_DEEP = {0.03f, 0.04f, 0.16f};
constexpr Rgb FLAG_BAND = {0.95f, 0.45f, 0.12f};
constexpr Rgb FLAG_GOLD = {1.00f, 0.80f, 0.25f};
constexpr Rgb FLAG_SUN = {1.00f, 0.90f, 0.55f};
constexpr Rgb FLAG_BORDER = {0.92f, 0.90f, 0.84f};

float bandCoverage(float y, float low, float high, float aa)
{
    return coverageFromDistance(std::fabs(y - (low + high) * 0.5f) - (high - low) * 0.5f, aa);
}

}  // namespace

bool drawFlag(Canvas& canvas, EffectFonts&, std::string&)
{
    const float w = canvas.frameWidth, h = canvas.frameHeight;
    const float aa = pixelFootprint(canvas);
    const float sunX = w * 0.27f, sunY = h * 0.5f, sunR = h * 0.2f;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        // The field darkens towards the fly; a fine weave runs through the cloth.
        const float weave = 0.04f * (sampleValueNoise(x * 0.45f, y * 0.45f, 0xF1u) - 0.5f)
                            + 0.03f * std::sin(x * 0.8f) * std::sin(y * 0.8f);
        Rgb field = mixRgb(FLAG_FIELD, FLAG_FIELD_DEEP, clampUnit(x / w * 0.8f + std::fabs(y / h - 0.5f) * 0.6f));
        px = {field.r, field.g, field.b, 1.0f};
        blendOver(px, FLAG_BAND, bandCoverage(y, h * 0.40f, h * 0.60f, aa));
        blendOver(px, FLAG_GOLD, bandCoverage(y, h * 0.365f, h * 0.385f, aa));
        blendOver(px, FLAG_GOLD, bandCoverage(y, h * 0.615f, h * 0.635f, aa));
        // Rays: sixteen wedges around the sun, fading outwards.
        const float dx = x - sunX, dy = y - sunY;
        const float r = std::sqrt(dx * dx + dy * dy);
        const float angle = std::atan2(dy, dx);
        const float wedge = std::cos(angle * 8.0f);
        const float rayCover = coverageFromDistance(0.55f - wedge, 0.08f) *
                               coverageFromDistance(sunR * 1.25f - r, aa) * (1.0f - smoothStep(sunR * 1.3f, sunR * 2.6f, r));
        blendOver(px, FLAG_GOLD, 0.85f * rayCover);
        blendOver(px, FLAG_GOLD, coverageFromDistance(distanceToCircle(x, y, sunX, sunY, sunR * 1.12f), aa));
        blendOver(px, FLAG_SUN, coverageFromDistance(distanceToCircle(x, y, sunX, sunY, sunR), aa));
        // A stitched border.
        const float edge = std::fmin(std::fmin(x, w - x), std::fmin(y, h - y));
        blendOver(px, FLAG_BORDER, bandCoverage(edge, 112.0f, 124.0f, aa));
        px.r = std::fmax(0.0f, px.r + weave);
        px.g = std::fmax(0.0f, px.g + weave);
        px.b = std::fmax(0.0f, px.b + weave);
    });
    return true;
}

bool drawFlagMap(Canvas& canvas, EffectFonts&, std::string&)
{
    const int cells = 4;
    const float sx = static_cast<float>(cells) / canvas.frameWidth;
    const float sy = static_cast<float>(cells) / canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float r = sampleFractalNoise(x * sx, y * sy, 0xD15Au, 3, 0.5f, cells, cells);
        const float g = sampleFractalNoise(x * sx, y * sy, 0xD15Bu, 3, 0.5f, cells, cells);
        px = {r, g, 0.5f, 1.0f};
    });
    return true;
}

bool drawFlagShadow(Canvas& canvas, EffectFonts&, std::string&)
{
    const float w = canvas.frameWidth;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float u = x / w;
        // Folds: two waves that both repeat across the picture, so it tiles in u.
        float fold = 0.6f * std::sin(2.0f * PI * u * 3.0f) + 0.4f * std::sin(2.0f * PI * u * 7.0f + 1.0f);
        fold = 0.5f + 0.5f * fold * (0.9f + 0.1f * std::sin(y * 0.2f));
        px = {fold, fold, fold, 1.0f};
    });
    return true;
}

bool drawFlagColor(Canvas& canvas, EffectFonts&, std::string&)
{
    static const GradientStop TINT[] = {
        {0.0f, {0.45f, 0.40f, 0.70f}}, {0.45f, {0.85f, 0.80f, 0.95f}}, {0.75f, {1.0f, 1.0f, 1.0f}},
        {1.0f, {1.0f, 0.92f, 0.78f}},
    };
    paintPixels(canvas, [&](Rgba& px, float x, float) {
        Rgb c = sampleGradient(TINT, 4, x / canvas.frameWidth);
        px = {c.r, c.g, c.b, 1.0f};
    });
    return true;
}

namespace {

// The ridge of the panorama's mountains: height above the bottom in pixels at x.
float ridgeHeight(float x)
{
    return 70.0f + 60.0f * sampleFractalNoise(x / 180.0f, 3.5f, 0x51D6u, 5, 0.55f)
           + 25.0f * std::fabs(std::sin(x / 97.0f));
}

// A jagged bolt from (x0, top) downward: segments jittered by a hash.
float distanceToBolt(float px, float py, float x0, float top, float bottom, uint32_t seed)
{
    const int segments = 9;
    float best = 1e9f;
    float ax = x0, ay = top;
    for (int i = 1; i <= segments; ++i) {
        const float by = top + (bottom - top) * static_cast<float>(i) / segments;
        const float bx = x0 + (hashUnit(seed, static_cast<uint32_t>(i), 7u) - 0.5f) * 90.0f;
        best = std::fmin(best, distanceToSegment(px, py, ax, ay, bx, by));
        ax = bx;
        ay = by;
    }
    return best;
}

}  // namespace

bool drawAnger(Canvas& canvas, EffectFonts& fonts, std::string& error)
{
    static const GradientStop SKY[] = {
        {0.0f, {1.00f, 0.55f, 0.15f}}, {0.25f, {0.85f, 0.18f, 0.08f}}, {0.6f, {0.35f, 0.03f, 0.06f}},
        {1.0f, {0.10f, 0.01f, 0.03f}},
    };
    const float w = canvas.frameWidth, h = canvas.frameHeight;
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float clouds = sampleFractalNoise(x / 260.0f, y / 90.0f, 0xC10Du, 5, 0.55f);
        Rgb sky = sampleGradient(SKY, 4, clampUnit((y - 60.0f) / (h - 60.0f) + (clouds - 0.5f) * 0.35f));
        px = {sky.r, sky.g, sky.b, 1.0f};
        const float bolts[3][2] = {{w * 0.18f, 1.0f}, {w * 0.63f, 2.0f}, {w * 0.86f, 3.0f}};
        for (const auto& b : bolts) {
            const float d = distanceToBolt(x, y, b[0], h, ridgeHeight(b[0]) + 10.0f, static_cast<uint32_t>(b[1]));
            addLight(px, {1.0f, 0.85f, 0.6f}, 0.35f * std::exp(-d / 18.0f));
            blendOver(px, {1.0f, 1.0f, 0.95f}, coverageFromDistance(d - 2.0f, aa));
        }
        blendOver(px, {0.02f, 0.0f, 0.01f}, coverageFromDistance(y - ridgeHeight(x), aa));
    });
    // The title, bold and glowing, in the middle of the panorama.
    TextStyle style;
    style.size = 230.0f;
    style.tracking = 24.0f;
    Mask letters = makeMask(canvas);
    if (!drawTextCentred(fonts.sansBold, canvas, letters, "ANGER", style, w * 0.5f, h * 0.5f - 80.0f, error))
        return false;
    Mask glow = letters;
    blurMask(glow, 14.0f, 14.0f);
    addMaskLight(canvas, glow, {1.0f, 0.35f, 0.05f}, 1.2f);
    compositeMask(canvas, letters, {1.0f, 0.93f, 0.80f}, 1.0f);
    return true;
}

bool drawCursor(Canvas& canvas, EffectFonts&, std::string&)
{
    const float w = canvas.frameWidth, h = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float dx = std::fabs(x - w * 0.3f);
        const float flicker = 0.85f + 0.15f * std::sin(y * 0.35f);
        px = {0.0f, 0.0f, 0.0f, 1.0f};
        addLight(px, {1.0f, 0.45f, 0.1f}, flicker * std::exp(-dx / 9.0f));
        addLight(px, {1.0f, 0.95f, 0.85f}, coverageFromDistance(dx - 3.0f, 1.0f));
        // Ends fade so the strip sits inside the picture's height.
        const float ends = smoothStep(0.0f, 12.0f, std::fmin(y, h - y));
        px.r *= ends;
        px.g *= ends;
        px.b *= ends;
    });
    return true;
}

bool drawCircleSprite(Canvas& canvas, EffectFonts&, std::string&)
{
    const float c = canvas.frameWidth * 0.5f;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float d = std::fabs(distanceToCircle(x, y, c, c, c * 0.72f));
        const float a = std::exp(-d * d / 40.0f);
        px = {a, a, a, a};
    });
    return true;
}
