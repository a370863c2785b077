// The loading title card, the corner tag drawn over every frame and the scenes' backdrop.
// Full-screen pictures are drawn in the 1920 x 1080 screen frame (y up) whatever their pixel
// size, so shapes and lettering keep their proportions once the engine stretches them.
#include "tools/core_pictures/pictures.h"

#include <cmath>   // std::exp, std::sqrt, std::fabs, std::pow
#include <vector>  // ridge lines per column

namespace {

// Dawn palette shared by the three pictures.
constexpr Rgb SUN_CORE = {1.00f, 0.95f, 0.82f};
constexpr Rgb SUN_GLOW = {1.00f, 0.60f, 0.36f};
constexpr Rgb ROSE_GLOW = {1.00f, 0.46f, 0.46f};
constexpr Rgb LETTER_WHITE = {1.00f, 0.95f, 0.91f};

constexpr float HORIZON_Y = 300.0f;
constexpr float SUN_X = 960.0f;
constexpr float SUN_Y = 286.0f;
constexpr float SUN_RADIUS = 66.0f;

// The calm slot the loading bar grows in: a little larger than the bar on every side.
constexpr float TRACK_MARGIN_X = 7.0f;
constexpr float TRACK_MARGIN_Y = 5.0f;

Rgb skyAt(float y)
{
    static const GradientStop STOPS[] = {
        {0.00f, {1.00f, 0.80f, 0.55f}},  // gold at the horizon
        {0.07f, {0.98f, 0.60f, 0.47f}},  // peach
        {0.20f, {0.78f, 0.38f, 0.47f}},  // rose
        {0.40f, {0.40f, 0.24f, 0.45f}},  // mauve
        {0.64f, {0.16f, 0.13f, 0.33f}},  // indigo
        {1.00f, {0.04f, 0.05f, 0.15f}},  // what is left of the night
    };
    return sampleGradient(STOPS, 6, (y - HORIZON_Y) / (SCREEN_HEIGHT - HORIZON_Y));
}

// Height of a headland silhouette above the horizon at x: low in the middle, where the sun
// rises, higher towards the sides.
float ridgeHeight(float x, float rise, float centreGap, float scale, uint32_t seed)
{
    const float side = smoothStep(centreGap, SCREEN_WIDTH / 2.0f, std::fabs(x - SUN_X));
    const float n = sampleFractalNoise(x / scale, 0.5f, seed, 5, 0.5f);
    return rise * side * (0.35f + 0.65f * n);
}

float sunGlowAt(float x, float y)
{
    const float dx = x - SUN_X;
    const float dy = (y - SUN_Y) * 1.5f;  // the glow hugs the horizon
    const float d = std::sqrt(dx * dx + dy * dy);
    return 0.5f * std::exp(-d / 60.0f) + 0.36f * std::exp(-d / 260.0f) + 0.16f * std::exp(-d / 800.0f);
}

void paintSkyAndSea(Canvas& canvas)
{
    paintPixels(canvas, [](Rgba& pixel, float x, float y) {
        Rgb color;
        if (y >= HORIZON_Y) {
            color = skyAt(y);
            // Thin streaks of cloud lit from below, thickest in two bands.
            const float band = smoothStep(330.0f, 380.0f, y) * (1.0f - smoothStep(560.0f, 640.0f, y))
                + 0.6f * smoothStep(690.0f, 740.0f, y) * (1.0f - smoothStep(800.0f, 880.0f, y));
            const float n = sampleFractalNoise(x / 430.0f, y / 24.0f, 0xC10Du, 5, 0.55f);
            const float cloud = band * smoothStep(0.52f, 0.74f, n);
            if (cloud > 0.0f) {
                const float lit = clampUnit(sunGlowAt(x, y) * 1.6f);
                const Rgb shade = mixRgb(rgbFromBytes(62, 36, 78), rgbFromBytes(255, 176, 150), lit);
                color = mixRgb(color, shade, 0.75f * cloud);
            }
            const float glow = sunGlowAt(x, y);
            color.r += SUN_GLOW.r * glow;
            color.g += SUN_GLOW.g * glow;
            color.b += SUN_GLOW.b * glow;
            // The disc, half risen; its rim slightly softer than a pixel.
            const float disc = coverageFromDistance(distanceToCircle(x, y, SUN_X, SUN_Y, SUN_RADIUS), 2.5f);
            color = mixRgb(color, SUN_CORE, disc);
        } else {
            // Still water mirroring the sky, darker with distance from the horizon.
            const float depth = (HORIZON_Y - y) / HORIZON_Y;  // 0 at the horizon, 1 at the bottom
            const Rgb sky = skyAt(HORIZON_Y + (HORIZON_Y - y) * 2.0f);
            const Rgb mirrored = Rgb{sky.r * 0.78f, sky.g * 0.62f, sky.b * 0.8f};
            color = mixRgb(mirrored, rgbFromBytes(14, 10, 30), smoothStep(0.0f, 1.0f, depth));
            const float swell = sampleFractalNoise(x / 260.0f, y / 2.6f, 0x5EAu, 3, 0.5f);
            color = scaleRgb(color, 0.92f + 0.16f * swell);
            // The sun's path on the water: broken horizontal glints, widening towards us.
            const float width = 40.0f + 260.0f * depth;
            const float column = std::exp(-std::pow(std::fabs(x - SUN_X) / width, 2.0f));
            const float glint = smoothStep(0.5f, 0.8f, sampleFractalNoise(x / 70.0f, y / 2.0f, 0x61Au, 3, 0.5f));
            const float path = column * (0.25f + 0.75f * glint) * (1.0f - 0.75f * depth);
            color = mixRgb(color, SUN_CORE, clampUnit(0.9f * path));
            const float haze = std::exp(-(HORIZON_Y - y) / 14.0f);  // bright seam at the horizon
            color = mixRgb(color, mixRgb(SUN_GLOW, SUN_CORE, 0.5f), 0.5f * haze * column);
        }
        pixel = Rgba{color.r, color.g, color.b, 1.0f};
    });
}

void paintHeadlands(Canvas& canvas)
{
    const float aa = pixelFootprint(canvas);
    const Rgb horizonColor = skyAt(HORIZON_Y + 40.0f);
    const Rgb farColor = mixRgb(rgbFromBytes(70, 40, 84), horizonColor, 0.28f);
    const Rgb nearColor = rgbFromBytes(28, 17, 40);
    // Ridge lines per pixel column: they depend on x alone.
    std::vector<float> farTop(static_cast<size_t>(canvas.width));
    std::vector<float> nearTop(static_cast<size_t>(canvas.width));
    for (int x = 0; x < canvas.width; ++x) {
        const float fx = pixelCentreX(canvas, x);
        farTop[static_cast<size_t>(x)] = HORIZON_Y + ridgeHeight(fx, 70.0f, 120.0f, 210.0f, 0xFA4u);
        nearTop[static_cast<size_t>(x)] = HORIZON_Y + ridgeHeight(fx, 120.0f, 330.0f, 150.0f, 0x4EA4u) - 6.0f;
    }
    for (int y = 0; y < canvas.height; ++y) {
        const float fy = pixelCentreY(canvas, y);
        if (fy < HORIZON_Y - 2.0f || fy > HORIZON_Y + 160.0f)
            continue;
        const float shore = smoothStep(HORIZON_Y - 2.0f, HORIZON_Y, fy);
        for (int x = 0; x < canvas.width; ++x) {
            Rgba& pixel = canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width)
                + static_cast<size_t>(x)];
            const float farCover = coverageFromDistance(fy - farTop[static_cast<size_t>(x)], aa) * shore;
            const float nearCover = coverageFromDistance(fy - nearTop[static_cast<size_t>(x)], aa) * shore;
            if (farCover <= 0.0f && nearCover <= 0.0f)
                continue;
            // Haze: the far ridge takes the glow of the sky near the sun.
            const Rgb far = mixRgb(farColor, SUN_GLOW, clampUnit(0.5f * sunGlowAt(pixelCentreX(canvas, x), fy)));
            Rgb color = {pixel.r, pixel.g, pixel.b};
            color = mixRgb(color, far, farCover);
            color = mixRgb(color, nearColor, nearCover);
            pixel = Rgba{color.r, color.g, color.b, 1.0f};
        }
    }
}

// Faint stars in the upper sky: at most one per 22-pixel cell, kept 3 pixels inside it so a
// pixel only ever sees the star of its own cell.
void paintStars(Canvas& canvas)
{
    constexpr float CELL = 22.0f;
    constexpr float INSET = 3.0f;
    constexpr float STAR_CHANCE = 0.3f;
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float fade = smoothStep(640.0f, 1020.0f, y);
        if (fade <= 0.0f)
            return;
        const int cx = static_cast<int>(x / CELL);
        const int cy = static_cast<int>(y / CELL);
        const uint32_t hx = static_cast<uint32_t>(cx);
        const uint32_t hy = static_cast<uint32_t>(cy);
        if (hashUnit(hx, hy, 0x57A4u) > STAR_CHANCE)
            return;
        const float sx = static_cast<float>(cx) * CELL + INSET + hashUnit(hx, hy, 0x57A5u) * (CELL - 2.0f * INSET);
        const float sy = static_cast<float>(cy) * CELL + INSET + hashUnit(hx, hy, 0x57A6u) * (CELL - 2.0f * INSET);
        const float dx = x - sx;
        const float dy = y - sy;
        const float distanceSquared = dx * dx + dy * dy;
        if (distanceSquared > INSET * INSET)
            return;
        const float bright = 0.12f + 0.88f * std::pow(hashUnit(hx, hy, 0x57A7u), 3.0f);
        addLight(pixel, Rgb{0.85f, 0.88f, 1.0f}, 0.8f * fade * bright * std::exp(-distanceSquared / 1.1f));
    });
}

// Darkens the corners; the title card reads as lit from the sun.
void paintVignette(Canvas& canvas, float strength)
{
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float dx = (x - SCREEN_WIDTH / 2.0f) / (SCREEN_WIDTH / 2.0f);
        const float dy = (y - SCREEN_HEIGHT * 0.45f) / (SCREEN_HEIGHT / 2.0f);
        const float keep = 1.0f - strength * smoothStep(0.45f, 1.45f, std::sqrt(dx * dx + dy * dy));
        pixel.r *= keep;
        pixel.g *= keep;
        pixel.b *= keep;
    });
}

// A mask just large enough for centred text and a glow of `glowRadius` around it.
Mask textMask(const Canvas& canvas, Font& font, const char* text, const TextStyle& style,
    float centreX, float baseline, float glowRadius)
{
    const float halfWidth = measureText(font, text, style) / 2.0f + style.size * 0.1f;
    const float margin = 3.0f * glowRadius + 2.0f;
    return makeMaskRegion(canvas, centreX - halfWidth - margin, baseline - 0.3f * style.size - margin,
        centreX + halfWidth + margin, baseline + style.size + margin);
}

bool paintCentredText(Canvas& canvas, Font& font, const char* text, const TextStyle& style,
    float baseline, Rgb color, float opacity, std::string& error)
{
    Mask mask = textMask(canvas, font, text, style, SCREEN_WIDTH / 2.0f, baseline, 0.0f);
    if (!drawTextCentred(font, canvas, mask, text, style, SCREEN_WIDTH / 2.0f, baseline, error))
        return false;
    compositeMask(canvas, mask, color, opacity);
    return true;
}

bool paintLettering(Canvas& canvas, PictureFonts& fonts, std::string& error)
{
    constexpr float TITLE_BASELINE = 590.0f;
    constexpr float WIDE_GLOW = 40.0f;  // frame units
    constexpr float NEAR_GLOW = 8.0f;
    TextStyle titleStyle;
    titleStyle.size = 176.0f;
    titleStyle.tracking = 22.0f;
    titleStyle.weight = -1.5f;
    Mask title = textMask(canvas, fonts.sans, "mornglow", titleStyle, SCREEN_WIDTH / 2.0f,
        TITLE_BASELINE, WIDE_GLOW);
    if (!drawTextCentred(fonts.sans, canvas, title, "mornglow", titleStyle, SCREEN_WIDTH / 2.0f,
            TITLE_BASELINE, error))
        return false;
    const float sx = static_cast<float>(canvas.width) / canvas.frameWidth;
    const float sy = static_cast<float>(canvas.height) / canvas.frameHeight;
    Mask wideGlow = title;
    blurMask(wideGlow, WIDE_GLOW * sx, WIDE_GLOW * sy);
    Mask nearGlow = title;
    blurMask(nearGlow, NEAR_GLOW * sx, NEAR_GLOW * sy);
    addMaskLight(canvas, wideGlow, ROSE_GLOW, 0.55f);
    addMaskLight(canvas, nearGlow, SUN_GLOW, 0.55f);
    compositeMask(canvas, title, LETTER_WHITE, 1.0f);

    TextStyle presents;
    presents.size = 25.0f;
    presents.tracking = 11.0f;
    TextStyle small;
    small.size = 15.0f;
    small.tracking = 7.0f;
    return paintCentredText(canvas, fonts.sans, "zu5 presents", presents, 800.0f,
               Rgb{0.88f, 0.84f, 0.96f}, 0.72f, error)
        && paintCentredText(canvas, fonts.sans, "loading", small, LOADING_BAR_Y - 34.0f,
            LETTER_WHITE, 0.45f, error);
}

// The slot of the loading bar: dark and flat inside, so the white bar stands out evenly, with
// a faint lit rim.
void paintBarTrack(Canvas& canvas)
{
    const float aa = pixelFootprint(canvas);
    const float cx = LOADING_BAR_X + LOADING_BAR_WIDTH / 2.0f;
    const float cy = LOADING_BAR_Y + LOADING_BAR_HEIGHT / 2.0f;
    const float halfWidth = LOADING_BAR_WIDTH / 2.0f + TRACK_MARGIN_X;
    const float halfHeight = LOADING_BAR_HEIGHT / 2.0f + TRACK_MARGIN_Y;
    const Rgb inside = rgbFromBytes(18, 12, 32);
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float d = distanceToRoundedBox(x, y, cx, cy, halfWidth, halfHeight, halfHeight);
        if (d > 30.0f)
            return;
        const float shadow = 0.28f * (1.0f - smoothStep(0.0f, 12.0f, d));  // soft drop around it
        pixel.r *= 1.0f - shadow;
        pixel.g *= 1.0f - shadow;
        pixel.b *= 1.0f - shadow;
        blendOver(pixel, inside, 0.94f * coverageFromDistance(d, aa));
        const float rim = coverageFromDistance(std::fabs(d + 0.5f) - 0.6f, aa);
        blendOver(pixel, Rgb{1.0f, 0.82f, 0.76f}, 0.3f * rim);
    });
}

}  // namespace

bool drawLoadingPicture(Canvas& canvas, PictureFonts& fonts, std::string& error)
{
    paintSkyAndSea(canvas);
    paintHeadlands(canvas);
    paintStars(canvas);
    if (!paintLettering(canvas, fonts, error))
        return false;
    paintVignette(canvas, 0.45f);
    paintBarTrack(canvas);
    return true;
}

// The group's tag in the bottom-right corner: a small rising sun over a horizon line and the
// name, soft and translucent, with everything else fully transparent.
bool drawCornerTag(Canvas& canvas, PictureFonts& fonts, std::string& error)
{
    constexpr float RIGHT = 492.0f;
    constexpr float BASELINE = 20.0f;
    constexpr float EMBLEM_RADIUS = 12.0f;
    Mask shape = makeMask(canvas);
    TextStyle tag;
    tag.size = 30.0f;
    tag.tracking = 3.0f;
    const float textWidth = measureText(fonts.sansBold, "zu5", tag);
    const float textLeft = RIGHT - textWidth;
    if (!drawText(fonts.sansBold, canvas, shape, "zu5", tag, textLeft, BASELINE, error))
        return false;

    const float aa = pixelFootprint(canvas);
    const float sunX = textLeft - 14.0f - EMBLEM_RADIUS;
    const float horizon = BASELINE + 1.0f;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float fx = pixelCentreX(canvas, x);
            const float fy = pixelCentreY(canvas, y);
            float cover = 0.0f;
            if (fy >= horizon) {  // the upper half of a ring
                const float ring = std::fabs(distanceToCircle(fx, fy, sunX, horizon, EMBLEM_RADIUS)) - 1.3f;
                cover = coverageFromDistance(ring, aa);
                const float core = distanceToCircle(fx, fy, sunX, horizon, EMBLEM_RADIUS - 5.0f);
                cover = std::fmax(cover, 0.7f * coverageFromDistance(core, aa));
            }
            const float line = distanceToSegment(fx, fy, sunX - EMBLEM_RADIUS - 9.0f, horizon - 4.0f,
                sunX + EMBLEM_RADIUS + 9.0f, horizon - 4.0f) - 1.0f;
            cover = std::fmax(cover, coverageFromDistance(line, aa));
            float& value = shape.values[static_cast<size_t>(y) * static_cast<size_t>(canvas.width)
                + static_cast<size_t>(x)];
            value = std::fmax(value, cover);
        }

    Mask glow = shape;
    blurMask(glow, 4.5f, 4.5f);
    compositeMask(canvas, glow, SUN_GLOW, 0.5f);
    compositeMask(canvas, shape, LETTER_WHITE, 0.68f);
    return true;
}

// Dark, quiet and slightly warm at the bottom: the backdrop the rings and the palette logo are
// lit over. The texture is a faint nebula and a fine grain, below one level of contrast in
// most places so it never competes with the scenes.
bool drawBackdrop(Canvas& canvas, PictureFonts&, std::string&)
{
    static const GradientStop RADIAL[] = {
        {0.00f, {0.115f, 0.095f, 0.215f}},
        {0.45f, {0.060f, 0.052f, 0.130f}},
        {1.00f, {0.016f, 0.016f, 0.045f}},
    };
    paintPixels(canvas, [](Rgba& pixel, float x, float y) {
        const float dx = (x - SCREEN_WIDTH / 2.0f) / SCREEN_WIDTH;
        const float dy = (y - SCREEN_HEIGHT * 0.58f) / SCREEN_WIDTH;
        Rgb color = sampleGradient(RADIAL, 3, std::sqrt(dx * dx + dy * dy) * 1.9f);
        // A low warm glow along the bottom edge, the dawn of the title card.
        const float dawn = std::exp(-y / 170.0f) * std::exp(-std::pow((x - SCREEN_WIDTH / 2.0f) / 900.0f, 2.0f));
        color = mixRgb(color, Rgb{0.26f, 0.10f, 0.14f}, 0.55f * dawn);
        const float cloud = sampleFractalNoise(x / 520.0f, y / 380.0f, 0xBAC6u, 5, 0.55f);
        const float veil = smoothStep(0.35f, 0.8f, cloud);
        color = mixRgb(color, scaleRgb(Rgb{0.30f, 0.22f, 0.52f}, 0.55f), 0.3f * veil);
        const float grain = hashUnit(static_cast<uint32_t>(x * 7.0f), static_cast<uint32_t>(y * 7.0f), 0x6A1u);
        color = scaleRgb(color, 0.97f + 0.06f * grain);
        pixel = Rgba{color.r, color.g, color.b, 1.0f};
    });
    return true;
}
