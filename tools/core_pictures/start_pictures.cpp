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

// The backdrop: deep space with a nebula, lit from a bright star beyond the upper left whose
// light falls across the clouds in a broad beam, and stars of three depths. The palette scene
// reads this picture's brightness through its palette with the logo trails added on top, so
// everything but the stars keeps a luminance (weighed as that pass weighs it) of at most
// BACKDROP_LUMA, LIGHT_LUMA more round the star: the nebula shows in its hues, the beam warms
// the hue of the gas it crosses, and the trails always rise above it all.
constexpr float BACKDROP_LUMA = 0.075f;
constexpr float LIGHT_LUMA = 0.12f;

// Star glints of one layer: cells of `cell` pixels, one star in `1 / density` cells.
float starLayer(float x, float y, float cell, float density, float sharpness, uint32_t seed)
{
    const float cx = std::floor(x / cell), cy = std::floor(y / cell);
    const uint32_t ix = static_cast<uint32_t>(static_cast<int>(cx) + 4096);
    const uint32_t iy = static_cast<uint32_t>(static_cast<int>(cy) + 4096);
    if (hashUnit(ix, iy, seed) > density)
        return 0.0f;
    const float sx = (cx + 0.2f + 0.6f * hashUnit(ix, iy, seed + 1u)) * cell;
    const float sy = (cy + 0.2f + 0.6f * hashUnit(ix, iy, seed + 2u)) * cell;
    const float d2 = (x - sx) * (x - sx) + (y - sy) * (y - sy);
    return std::exp(-d2 * sharpness) * (0.3f + 0.7f * hashUnit(ix, iy, seed + 3u));
}

bool drawBackdrop(Canvas& canvas, PictureFonts&, std::string&)
{
    constexpr float LIGHT_X = -260.0f;  // the lighting star, off the frame at the upper left
    constexpr float LIGHT_Y = 1240.0f;
    paintPixels(canvas, [](Rgba& pixel, float x, float y) {
        // Deep space, a little lighter towards the lower right, where the beam ends.
        const float across = (x + (SCREEN_HEIGHT - y)) / (SCREEN_WIDTH + SCREEN_HEIGHT);
        Rgb color = mixRgb(Rgb{0.012f, 0.014f, 0.040f}, Rgb{0.030f, 0.022f, 0.070f}, across);
        // The nebula: warped noise in two hues, violet-rose and teal, cut by dark dust lanes.
        const float wx = x / 700.0f, wy = y / 520.0f;
        const float warp = sampleFractalNoise(wx * 1.3f, wy * 1.3f, 0x0E1Au, 4, 0.5f);
        const float gas = sampleFractalNoise(wx + 0.8f * warp, wy - 0.5f * warp, 0x0E1Bu, 6, 0.55f);
        const float tealGas = sampleFractalNoise(wx * 1.6f - 0.6f * warp, wy * 1.6f + 3.1f, 0x0E1Cu, 5, 0.55f);
        const float dust = sampleFractalNoise(wx * 2.4f + 1.7f * warp, wy * 2.4f, 0x0E1Du, 5, 0.6f);
        const float rose = smoothStep(0.42f, 0.78f, gas);
        const float teal = smoothStep(0.48f, 0.80f, tealGas) * (1.0f - 0.6f * rose);
        color = mixRgb(color, Rgb{0.30f, 0.05f, 0.42f}, 0.75f * rose);
        color = mixRgb(color, Rgb{0.02f, 0.16f, 0.30f}, 0.65f * teal);
        const float lane = smoothStep(0.50f, 0.70f, dust) * (rose + teal > 0.2f ? 1.0f : 0.3f);
        color = scaleRgb(color, 1.0f - 0.65f * lane);
        // The light: a broad beam from the star towards the lower right, brightest on the gas
        // it passes through, and a glow round the star itself.
        const float lx = x - LIGHT_X, ly = y - LIGHT_Y;
        const float distance = std::sqrt(lx * lx + ly * ly);
        const float beamAxis = std::fabs(lx * 0.62f + ly * 0.78f) / distance;  // sine off the beam's line
        const float beam = std::exp(-beamAxis * beamAxis / 0.045f) * std::exp(-distance / 2600.0f);
        const float glow = std::exp(-distance / 380.0f);
        color = scaleRgb(color, 1.0f + 3.0f * beam * (0.3f + rose + teal));
        color = mixRgb(color, Rgb{0.95f, 0.62f, 0.55f}, 0.35f * beam * (rose + teal) + 0.6f * glow);
        // Weighed as the palette pass weighs it.
        const float luma = 0.299f * color.r + 0.587f * color.g + 0.114f * color.b;
        const float ceiling = BACKDROP_LUMA + LIGHT_LUMA * glow;
        if (luma > ceiling)
            color = scaleRgb(color, ceiling / luma);
        // Stars in front of it all: a dense faint field, fewer mid stars, a few bright ones
        // with a halo; fewer behind the thick gas.
        const float veil = 1.0f - 0.7f * std::fmax(rose, teal) * (1.0f - lane);
        const float far = starLayer(x, y, 9.0f, 0.22f, 2.5f, 0x5A01u) * 0.35f * veil;
        const float mid = starLayer(x, y, 31.0f, 0.16f, 1.1f, 0x5A05u) * 0.7f * veil;
        const float nearCore = starLayer(x, y, 140.0f, 0.10f, 0.35f, 0x5A09u);
        const float nearHalo = starLayer(x, y, 140.0f, 0.10f, 0.004f, 0x5A09u) * 0.10f;
        const float star = far + mid + nearCore + nearHalo;
        color.r += 0.85f * star;
        color.g += 0.88f * star;
        color.b += 1.00f * star;
        const float grain = hashUnit(static_cast<uint32_t>(x * 7.0f), static_cast<uint32_t>(y * 7.0f), 0x6A1u);
        color = scaleRgb(color, 0.98f + 0.04f * grain);
        pixel = Rgba{color.r, color.g, color.b, 1.0f};
    });
    return true;
}
