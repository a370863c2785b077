// Weapon and explosion sprites. The additive sprites (shots, sparks, flashes, trail, puff) are
// white or lightly coloured light with alpha = brightness: the game tints them with its colour
// and adds them with (source alpha, one), so black must also be transparent.
#include "tools/game_sprites/sprites.h"

#include <algorithm>  // std::max, std::min
#include <cmath>

namespace {

constexpr float TWO_PI = 6.28318530718f;

float textureU(const Canvas& canvas, float frameX)
{
    return frameX / canvas.frameWidth;
}

float textureV(const Canvas& canvas, float frameY)
{
    return frameY / canvas.frameHeight;
}

// Light of `color` at `amount` (0..1 and more), as premultiplied values with alpha = amount.
void setLight(Rgba& pixel, Rgb color, float amount)
{
    const float a = clampUnit(amount);
    pixel = Rgba{color.r * a, color.g * a, color.b * a, a};
}

float gaussian(float x, float sigma)
{
    return std::exp(-(x * x) / (2.0f * sigma * sigma));
}

// Smallest difference of two angles, radians.
float angleDistance(float a, float b)
{
    float d = std::fmod(std::fabs(a - b), TWO_PI);
    return d > TWO_PI * 0.5f ? TWO_PI - d : d;
}

// A muzzle flash: a hot core at the gun, a wide cone of flame away from it and a few thin
// spikes, broken up by noise so it reads as fire rather than a gradient.
void paintFlash(Canvas& canvas, Rgb hot, Rgb outer, uint32_t seed)
{
    const float size = canvas.frameWidth;
    const float cx = size * 0.86f;
    const float cy = size * 0.5f;
    struct Spike {
        float angle;   // radians, pi = straight away from the gun
        float width;   // angular half width
        float length;  // in picture widths
    };
    const Spike spikes[] = {
        {3.14159f, 0.30f, 0.80f}, {3.14159f - 0.55f, 0.10f, 0.55f}, {3.14159f + 0.55f, 0.10f, 0.55f},
        {3.14159f - 1.05f, 0.07f, 0.36f}, {3.14159f + 1.05f, 0.07f, 0.36f},
        {3.14159f - 1.60f, 0.05f, 0.20f}, {3.14159f + 1.60f, 0.05f, 0.20f},
    };
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float dx = x - cx;
        const float dy = y - cy;
        const float d = std::sqrt(dx * dx + dy * dy) / size;
        const float angle = std::atan2(dy, dx) < 0 ? std::atan2(dy, dx) + TWO_PI : std::atan2(dy, dx);
        float flame = 0;
        for (const Spike& spike : spikes) {
            const float across = gaussian(angleDistance(angle, spike.angle), spike.width);
            const float along = std::max(0.0f, 1.0f - d / spike.length);
            flame = std::max(flame, across * along * along);
        }
        const float noise = sampleFractalNoise(x / size * 9.0f, y / size * 9.0f, seed, 3, 0.5f);
        flame *= 0.55f + 0.75f * noise;
        const float core = gaussian(d, 0.07f);
        // Fade out towards the picture's border so the quad's edge never shows.
        const float ex = std::min(x, size - x) / size;
        const float ey = std::min(y, size - y) / size;
        const float border = smoothStep(0.0f, 0.06f, std::min(ex, ey));
        const float amount = (flame * 0.9f + core) * border;
        const Rgb color = mixRgb(outer, hot, clampUnit(core * 1.2f + flame * 0.35f));
        setLight(pixel, color, amount);
    });
}

}  // namespace

bool drawSparkDot(Canvas& canvas, SpriteFonts&, std::string&)
{
    const float r = canvas.frameWidth * 0.5f;
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float d = std::sqrt((x - r) * (x - r) + (y - r) * (y - r)) / r;
        const float amount = std::pow(clampUnit(1.0f - d), 1.6f) + 0.6f * gaussian(d, 0.18f);
        setLight(pixel, Rgb{1, 1, 1}, amount);
    });
    return true;
}

// A bright rounded head at u = 0, a white-hot core line and a soft halo, tapering to the tail.
bool drawLaserStreak(Canvas& canvas, SpriteFonts&, std::string&)
{
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float u = textureU(canvas, x);
        const float v = textureV(canvas, y) - 0.5f;
        const float head = smoothStep(0.0f, 0.035f, u);
        const float tail = std::pow(clampUnit(1.0f - u), 1.4f);
        const float coreWidth = 0.045f + 0.035f * tail;
        const float core = gaussian(v, coreWidth) * (0.35f + 0.65f * tail);
        const float halo = gaussian(v, 0.16f) * 0.45f * tail;
        const float edge = smoothStep(0.5f, 0.42f, std::fabs(v));
        const float amount = (core + halo) * head * edge;
        const Rgb color = mixRgb(Rgb{0.75f, 0.9f, 1.0f}, Rgb{1, 1, 1}, clampUnit(core * 1.4f));
        setLight(pixel, color, amount);
    });
    return true;
}

bool drawCyanFlash(Canvas& canvas, SpriteFonts&, std::string&)
{
    paintFlash(canvas, Rgb{0.92f, 1.0f, 1.0f}, Rgb{0.15f, 0.75f, 1.0f}, 0xF1A5u);
    return true;
}

bool drawOrangeFlash(Canvas& canvas, SpriteFonts&, std::string&)
{
    paintFlash(canvas, Rgb{1.0f, 0.95f, 0.7f}, Rgb{1.0f, 0.42f, 0.05f}, 0xF1A6u);
    return true;
}

// A small rocket seen from the side, nose to +x: a light metal body with a red band and nose,
// dark fins at the tail and an orange exhaust glow behind it.
bool drawMissile(Canvas& canvas, SpriteFonts&, std::string&)
{
    const float s = canvas.frameWidth / 64.0f;  // drawn in a 64 x 64 frame
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& pixel, float fx, float fy) {
        const float x = fx / s;
        const float y = fy / s;
        pixel = Rgba{0, 0, 0, 0};
        // Exhaust: additive-looking glow painted under the body.
        const float flameLen = std::max(0.0f, 1.0f - std::fabs(y - 32.0f) / 6.0f);
        if (x < 18.0f && x > 1.0f) {
            const float t = (18.0f - x) / 17.0f;
            const float width = 5.0f * (1.0f - t) + 0.5f;
            const float across = gaussian(y - 32.0f, width * 0.6f);
            const float glow = across * std::pow(1.0f - t, 0.8f) * flameLen;
            blendOver(pixel, mixRgb(Rgb{1.0f, 0.35f, 0.05f}, Rgb{1.0f, 0.95f, 0.6f}, 1.0f - t), clampUnit(glow * 1.3f));
        }
        // Fins: two swept triangles at the tail.
        const float finX = x - 14.0f;
        const bool upperFin = finX >= 0 && finX < 9.0f && y > 35.0f && y < 44.0f - finX * 0.9f;
        const bool lowerFin = finX >= 0 && finX < 9.0f && y < 29.0f && y > 20.0f + finX * 0.9f;
        if (upperFin || lowerFin)
            blendOver(pixel, Rgb{0.25f, 0.27f, 0.32f}, 1.0f);
        // Body: a rounded tube from x 16 to 48, 8 high.
        const float body = distanceToRoundedBox(x, y, 32.0f, 32.0f, 16.0f, 4.0f, 3.5f);
        // Nose: an ogive from x 46 to 58.
        float nose = 1e9f;
        if (x >= 44.0f && x <= 58.0f) {
            const float t = (x - 44.0f) / 14.0f;
            const float half = 4.0f * std::sqrt(std::max(0.0f, 1.0f - t * t));
            nose = std::fabs(y - 32.0f) - half;
        }
        const float shape = std::min(body, nose);
        const float cover = coverageFromDistance(shape, aa / s);
        if (cover > 0) {
            const float shade = 0.55f + 0.45f * clampUnit((y - 28.0f) / 8.0f);
            const float highlight = gaussian(y - 34.5f, 0.9f) * 0.35f;
            Rgb color = scaleRgb(Rgb{0.86f, 0.88f, 0.9f}, shade);
            if (x > 44.0f)
                color = scaleRgb(Rgb{0.85f, 0.12f, 0.1f}, shade);
            else if (x > 36.0f && x < 39.0f)
                color = scaleRgb(Rgb{0.95f, 0.3f, 0.1f}, shade);
            color = Rgb{clampUnit(color.r + highlight), clampUnit(color.g + highlight), clampUnit(color.b + highlight)};
            blendOver(pixel, color, cover);
        }
    });
    return true;
}

// Exhaust smoke: hot orange near the missile cooling to blue-grey, soft across, streaked by
// noise along its length. The last tenth returns to the first value so the repeat seam is
// invisible (the game's u starts slightly below 0).
bool drawMissileTrail(Canvas& canvas, SpriteFonts&, std::string&)
{
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float u = textureU(canvas, x);
        const float v = textureV(canvas, y) - 0.5f;
        const float seam = smoothStep(0.88f, 1.0f, u);
        const float age = u * (1.0f - seam);
        const float across = gaussian(v, 0.13f + 0.1f * age);
        const float streaks = 0.7f + 0.3f * sampleValueNoise(x / canvas.frameWidth * 24.0f, v * 10.0f, 0x7A11u, 24, 0);
        const float fade = 1.0f - 0.75f * smoothStep(0.0f, 0.85f, age);
        const Rgb color = mixRgb(Rgb{1.0f, 0.72f, 0.35f}, Rgb{0.55f, 0.62f, 0.75f}, smoothStep(0.05f, 0.6f, age));
        const float edge = smoothStep(0.5f, 0.4f, std::fabs(v));
        setLight(pixel, color, across * streaks * fade * edge * 0.9f);
    });
    return true;
}

// One smoke-and-fire puff: a round cloud with billowing noise; its brightness picks the ramp.
bool drawExplosionPuff(Canvas& canvas, SpriteFonts&, std::string&)
{
    const float r = canvas.frameWidth * 0.5f;
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float dx = (x - r) / r;
        const float dy = (y - r) / r;
        const float d = std::sqrt(dx * dx + dy * dy);
        const float billow = sampleFractalNoise(x / r * 3.0f, y / r * 3.0f, 0xB00Au, 4, 0.55f);
        const float body = smoothStep(1.0f, 0.35f, d + (billow - 0.5f) * 0.45f);
        const float amount = body * (0.55f + 0.45f * billow) + 0.35f * gaussian(d, 0.25f);
        setLight(pixel, Rgb{1, 1, 1}, amount * smoothStep(1.0f, 0.92f, d));
    });
    return true;
}

// Fire: black, smoky red, red, orange, yellow, white. The cooler variant (rows near the middle)
// leans to crimson and violet smoke; v = 0 and v = 1 are the plain fire.
bool drawExplosionRamp(Canvas& canvas, SpriteFonts&, std::string&)
{
    const GradientStop fire[] = {
        {0.00f, {0.00f, 0.00f, 0.00f}}, {0.15f, {0.22f, 0.07f, 0.04f}}, {0.35f, {0.75f, 0.14f, 0.03f}},
        {0.55f, {1.00f, 0.45f, 0.05f}}, {0.78f, {1.00f, 0.82f, 0.30f}}, {1.00f, {1.00f, 1.00f, 0.92f}},
    };
    const GradientStop cool[] = {
        {0.00f, {0.00f, 0.00f, 0.00f}}, {0.15f, {0.16f, 0.06f, 0.18f}}, {0.35f, {0.70f, 0.10f, 0.30f}},
        {0.55f, {1.00f, 0.35f, 0.25f}}, {0.78f, {1.00f, 0.75f, 0.50f}}, {1.00f, {1.00f, 0.98f, 0.95f}},
    };
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float u = textureU(canvas, x);
        const float v = textureV(canvas, y);
        const float variant = 0.5f - 0.5f * std::cos(TWO_PI * v);
        const Rgb color = mixRgb(sampleGradient(fire, 6, u), sampleGradient(cool, 6, u), variant);
        pixel = Rgba{color.r, color.g, color.b, 1.0f};
    });
    return true;
}

// Sparks: dim red embers, orange, yellow, white; the variant rows shift towards electric cyan.
bool drawSparkRamp(Canvas& canvas, SpriteFonts&, std::string&)
{
    const GradientStop embers[] = {
        {0.00f, {0.05f, 0.00f, 0.00f}}, {0.25f, {0.55f, 0.08f, 0.02f}}, {0.55f, {1.00f, 0.50f, 0.08f}},
        {0.80f, {1.00f, 0.90f, 0.45f}}, {1.00f, {1.00f, 1.00f, 1.00f}},
    };
    const GradientStop electric[] = {
        {0.00f, {0.00f, 0.02f, 0.06f}}, {0.25f, {0.05f, 0.25f, 0.60f}}, {0.55f, {0.20f, 0.75f, 1.00f}},
        {0.80f, {0.70f, 0.95f, 1.00f}}, {1.00f, {1.00f, 1.00f, 1.00f}},
    };
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float u = textureU(canvas, x);
        const float v = textureV(canvas, y);
        const float variant = 0.5f - 0.5f * std::cos(TWO_PI * v);
        const Rgb color = mixRgb(sampleGradient(embers, 5, u), sampleGradient(electric, 5, u), variant);
        pixel = Rgba{color.r, color.g, color.b, 1.0f};
    });
    return true;
}

// The visible shock ring: a white-hot leading edge at the inside, a blue glow trailing outward
// and jagged streaks along the ring. Noise tiles in u, so the ring closes without a seam.
bool drawNukeRing(Canvas& canvas, SpriteFonts&, std::string&)
{
    const int period = 16;
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float u = textureU(canvas, x);
        const float v = textureV(canvas, y);
        const float streak = sampleFractalNoise(u * period, v * 3.0f, 0x4B1Du, 3, 0.5f, period, 0);
        const float front = gaussian(v - 0.12f, 0.06f);
        const float glow = std::exp(-v * 3.2f) * smoothStep(0.0f, 0.05f, v);
        const float amount = (front * 1.1f + glow * (0.45f + 0.55f * streak)) * smoothStep(1.0f, 0.85f, v);
        const Rgb color = mixRgb(Rgb{0.35f, 0.65f, 1.0f}, Rgb{0.95f, 0.98f, 1.0f}, clampUnit(front));
        setLight(pixel, color, amount);
    });
    return true;
}

// The push profile of the shockwave: rises sharply at the front, decays over the band; grey.
bool drawNukeRingEffect(Canvas& canvas, SpriteFonts&, std::string&)
{
    const int period = 8;
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float u = textureU(canvas, x);
        const float v = textureV(canvas, y);
        const float ripple = sampleValueNoise(u * period, v * 2.0f, 0x4B1Eu, period, 0);
        const float profile = smoothStep(0.0f, 0.08f, v) * std::exp(-v * 3.0f) * smoothStep(1.0f, 0.8f, v);
        const float value = clampUnit(profile * (0.85f + 0.3f * ripple));
        pixel = Rgba{value, value, value, 1.0f};
    });
    return true;
}
