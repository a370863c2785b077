// The palette scene's overlay, its title card and the plasma layer's colour map.
#include "tools/palette_data/palette_data.h"

#include <algorithm>  // std::max
#include <cmath>

namespace {

constexpr float TWO_PI = 6.28318531f;

// Title card layout, frame units. The frame's corner tag covers x >= 1408, y < 256, so the
// lettering stays left of it.
constexpr char TITLE_TEXT[] = "mornglow";
constexpr char SUBTITLE_TEXT[] = "a zu5 production";
constexpr float TITLE_LEFT = 118.0f;
constexpr float TITLE_BASELINE = 210.0f;
constexpr float TITLE_SIZE = 236.0f;
constexpr float SUBTITLE_SIZE = 34.0f;
constexpr float RULE_Y = 118.0f;          // the rule that ties the title to the left edge
constexpr float RULE_HALF_THICKNESS = 2.0f;
constexpr float SUBTITLE_BASELINE = 70.0f;
constexpr float SHADOW_RADIUS = 16.0f;
constexpr float GLOW_RADIUS = 42.0f;

const Rgb LETTER_TOP = {1.00f, 0.98f, 0.90f};
const Rgb LETTER_FOOT = {1.00f, 0.60f, 0.26f};
const Rgb GLOW_WARM = {1.00f, 0.45f, 0.22f};
const Rgb SUBTITLE_COLOUR = {0.96f, 0.90f, 0.98f};

float maskAt(const Mask& mask, int x, int y)
{
    const int mx = x - mask.left;
    const int my = y - mask.bottom;
    if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height)
        return 0.0f;
    return mask.values[static_cast<size_t>(my) * static_cast<size_t>(mask.width) + static_cast<size_t>(mx)];
}

// Adds a horizontal bar from the left edge to `right`, antialiased, into the mask.
void addRule(const Canvas& canvas, Mask& mask, float right)
{
    const float aa = pixelFootprint(canvas);
    for (int y = 0; y < canvas.height; ++y) {
        const float fy = pixelCentreY(canvas, y);
        if (std::fabs(fy - RULE_Y) > RULE_HALF_THICKNESS + 2.0f * aa)
            continue;
        for (int x = 0; x < canvas.width; ++x) {
            const float fx = pixelCentreX(canvas, x);
            const float d = distanceToSegment(fx, fy, -20.0f, RULE_Y, right, RULE_Y) - RULE_HALF_THICKNESS;
            float& value = mask.values[static_cast<size_t>(y) * static_cast<size_t>(mask.width) + static_cast<size_t>(x)];
            value = std::fmax(value, coverageFromDistance(d, aa));
        }
    }
}

// Letter fill: white-gold at the cap height, warm at the baseline; opaque wherever the mask is
// full, so the letters hide whatever the card slides over.
void fillLetters(Canvas& canvas, const Mask& letters)
{
    for (int y = 0; y < canvas.height; ++y) {
        const float fy = pixelCentreY(canvas, y);
        const float t = clampUnit((fy - TITLE_BASELINE) / (0.72f * TITLE_SIZE));
        const Rgb colour = mixRgb(LETTER_FOOT, LETTER_TOP, smoothStep(0.0f, 1.0f, t));
        for (int x = 0; x < canvas.width; ++x) {
            const float cover = maskAt(letters, x, y);
            if (cover > 0.0f)
                blendOver(canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width) + static_cast<size_t>(x)],
                    colour, clampUnit(cover));
        }
    }
}

Rgb clampRgb(Rgb c)
{
    return Rgb{clampUnit(c.r), clampUnit(c.g), clampUnit(c.b)};
}

}  // namespace

bool drawPaletteOverlay(Canvas& canvas, PaletteFonts&, std::string&)
{
    paintPixels(canvas, [](Rgba& pixel, float x, float y) {
        const float dx = (x - SCREEN_WIDTH * 0.5f) / (SCREEN_WIDTH * 0.5f);
        const float dy = (y - SCREEN_HEIGHT * 0.5f) / (SCREEN_HEIGHT * 0.5f);
        const float vignette = 1.0f - smoothStep(0.35f, 1.45f, std::sqrt(dx * dx * 0.8f + dy * dy));
        // Light shafts falling from the upper left, widening towards the bottom.
        const float across = x * 0.82f + (SCREEN_HEIGHT - y) * 0.57f;
        const float shafts = 0.5f + 0.5f * std::sin(across / 95.0f) * std::sin(across / 233.0f + 1.3f);
        const float fromTop = 0.45f + 0.55f * (y / SCREEN_HEIGHT);
        const float scanline = 0.82f + 0.18f * (0.5f + 0.5f * std::cos(y * TWO_PI / 4.0f));
        const float grain = hashUnit(static_cast<uint32_t>(x * 3.0f), static_cast<uint32_t>(y * 3.0f), 0x0E71u);
        const float light = vignette * (0.18f + 0.62f * shafts * shafts * fromTop) * scanline * (0.94f + 0.12f * grain);
        const Rgb colour = clampRgb(scaleRgb(Rgb{0.86f, 0.84f, 1.00f}, light));
        pixel = Rgba{colour.r, colour.g, colour.b, 1.0f};
    });
    return true;
}

bool drawTitleCard(Canvas& canvas, PaletteFonts& fonts, std::string& error)
{
    TextStyle title;
    title.size = TITLE_SIZE;
    title.tracking = 4.0f;
    Mask letters = makeMask(canvas);
    if (!drawText(fonts.sansBold, canvas, letters, TITLE_TEXT, title, TITLE_LEFT, TITLE_BASELINE, error))
        return false;
    const float titleRight = TITLE_LEFT + measureText(fonts.sansBold, TITLE_TEXT, title);
    addRule(canvas, letters, titleRight);

    TextStyle subtitle;
    subtitle.size = SUBTITLE_SIZE;
    subtitle.tracking = 9.0f;
    Mask small = makeMask(canvas);
    const float subtitleLeft = titleRight - measureText(fonts.sans, SUBTITLE_TEXT, subtitle);
    if (!drawText(fonts.sans, canvas, small, SUBTITLE_TEXT, subtitle, subtitleLeft, SUBTITLE_BASELINE, error))
        return false;

    const float sx = static_cast<float>(canvas.width) / canvas.frameWidth;
    const float sy = static_cast<float>(canvas.height) / canvas.frameHeight;
    Mask shadow = letters;
    for (size_t i = 0; i < shadow.values.size(); ++i)
        shadow.values[i] = std::max(shadow.values[i], small.values[i]);
    blurMask(shadow, SHADOW_RADIUS * sx, SHADOW_RADIUS * sy);
    Mask glow = letters;
    blurMask(glow, GLOW_RADIUS * sx, GLOW_RADIUS * sy);

    // Dark halo first, so the letters read over the brightest trails, then the warm glow.
    compositeMask(canvas, shadow, Rgb{0.0f, 0.0f, 0.02f}, 0.8f);
    addMaskLight(canvas, glow, GLOW_WARM, 0.35f);
    fillLetters(canvas, letters);
    compositeMask(canvas, small, SUBTITLE_COLOUR, 0.92f);
    return true;
}

bool drawPlasmaColours(Canvas& canvas, PaletteFonts&, std::string&)
{
    // A cyclic ramp (its last stop repeats the first), bent and shaded along v.
    static const GradientStop RING[] = {
        {0.00f, {0.020f, 0.030f, 0.120f}}, {0.22f, {0.040f, 0.300f, 0.420f}},
        {0.42f, {0.920f, 0.700f, 0.260f}}, {0.58f, {0.980f, 0.380f, 0.240f}},
        {0.78f, {0.500f, 0.080f, 0.440f}}, {1.00f, {0.020f, 0.030f, 0.120f}},
    };
    const int stops = sizeof(RING) / sizeof(RING[0]);
    paintPixels(canvas, [&](Rgba& pixel, float u, float v) {
        float position = u + 0.18f * std::sin(TWO_PI * v);
        position -= std::floor(position);
        const float shade = 0.72f + 0.28f * std::cos(TWO_PI * v);
        const Rgb colour = clampRgb(scaleRgb(sampleGradient(RING, stops, position), shade));
        pixel = Rgba{colour.r, colour.g, colour.b, 1.0f};
    });
    return true;
}
