// The plasma's colour ramp and the title laid over it.
//
// "plasma.tga": a cyclic ramp along u (the plasma shader wraps its value, so the last colour
// meets the first); every row is the same. "plasmalogo.tga": the 1920 x 1080 screen drawn on a
// 2048 x 1024 picture (the overlay stretches it), transparent but for the title, its soft
// shadow and two thin letterbox bars.
#include "tools/tunnel_plasma_data/tunnel_plasma_data.h"

#include "tools/common/text_render.h"

#include <cmath>

namespace {

constexpr int RAMP_WIDTH = 256;
constexpr int RAMP_HEIGHT = 16;
constexpr int LOGO_WIDTH = 2048;
constexpr int LOGO_HEIGHT = 1024;
constexpr float SCREEN_W = 1920.0f;
constexpr float SCREEN_H = 1080.0f;

// The plasma carries the production's motto, not the title card the other scenes show.
constexpr const char* MOTTO = "wake up and glow";
constexpr const char* BYLINE = "a zu5 production";
constexpr float TITLE_SIZE = 150.0f;
constexpr float TITLE_BASELINE = 480.0f;
constexpr float TITLE_TRACKING = 8.0f;
constexpr float BYLINE_SIZE = 44.0f;
constexpr float BYLINE_BASELINE = 382.0f;
constexpr float BYLINE_PLATE_HALF_WIDTH = 360.0f;  // a dark rounded plate behind the byline
constexpr float BYLINE_PLATE_HALF_HEIGHT = 34.0f;
constexpr float BAR_HEIGHT = 92.0f;   // letterbox bars at the top and the bottom
constexpr float BAR_OPACITY = 0.62f;

// Deep blue, violet, magenta, orange, pale gold, teal and back: the plasma's bands.
const GradientStop PLASMA_STOPS[] = {
    {0.00f, {0.02f, 0.02f, 0.14f}}, {0.16f, {0.30f, 0.04f, 0.52f}}, {0.33f, {0.92f, 0.12f, 0.52f}},
    {0.48f, {1.00f, 0.52f, 0.14f}}, {0.58f, {1.00f, 0.90f, 0.58f}}, {0.70f, {0.10f, 0.74f, 0.74f}},
    {0.85f, {0.05f, 0.22f, 0.58f}}, {1.00f, {0.02f, 0.02f, 0.14f}},
};

Canvas paintRamp()
{
    Canvas canvas = makeCanvas(RAMP_WIDTH, RAMP_HEIGHT, RAMP_WIDTH, RAMP_HEIGHT);
    const int stops = static_cast<int>(sizeof PLASMA_STOPS / sizeof PLASMA_STOPS[0]);
    for (int y = 0; y < RAMP_HEIGHT; ++y)
        for (int x = 0; x < RAMP_WIDTH; ++x) {
            const Rgb c = sampleGradient(PLASMA_STOPS, stops, static_cast<float>(x) / RAMP_WIDTH);
            canvas.pixels[static_cast<size_t>(y) * RAMP_WIDTH + x] = Rgba{c.r, c.g, c.b, 1.0f};
        }
    return canvas;
}

bool paintLogo(Canvas& canvas, std::string& error)
{
    Font bold;
    if (!openFont(bold, FONT_SANS_BOLD_PATH, error))
        return false;
    const float sx = static_cast<float>(canvas.width) / canvas.frameWidth;
    const float sy = static_cast<float>(canvas.height) / canvas.frameHeight;

    // The bars, each with a thin warm line on its inner edge.
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& pixel, float, float y) {
        const float fromEdge = std::fmin(y, SCREEN_H - y);
        const float bar = coverageFromDistance(fromEdge - BAR_HEIGHT, aa);
        blendOver(pixel, Rgb{0.0f, 0.0f, 0.02f}, BAR_OPACITY * bar);
        const float line = coverageFromDistance(std::fabs(fromEdge - BAR_HEIGHT) - 1.2f, aa);
        blendOver(pixel, Rgb{1.0f, 0.78f, 0.52f}, 0.85f * line);
    });

    TextStyle title;
    title.size = TITLE_SIZE;
    title.tracking = TITLE_TRACKING;
    Mask letters = makeMask(canvas);
    bool ok = drawTextCentred(bold, canvas, letters, MOTTO, title, SCREEN_W / 2.0f, TITLE_BASELINE, error);
    TextStyle byline;
    byline.size = BYLINE_SIZE;
    byline.tracking = 12.0f;
    Mask small = makeMask(canvas);
    ok = ok && drawTextCentred(bold, canvas, small, BYLINE, byline, SCREEN_W / 2.0f, BYLINE_BASELINE,
                               error);
    closeFont(bold);
    if (!ok)
        return false;

    // A soft dark shadow under the letters keeps them readable on every plasma colour; the
    // letters themselves are opaque.
    Mask shadow = letters;
    blurMask(shadow, 14.0f * sx, 14.0f * sy);
    compositeMask(canvas, shadow, Rgb{0.0f, 0.0f, 0.03f}, 0.8f);
    Mask outline = letters;
    blurMask(outline, 2.5f * sx, 2.5f * sy);
    compositeMask(canvas, outline, Rgb{0.04f, 0.02f, 0.08f}, 1.0f);
    compositeMask(canvas, letters, Rgb{1.0f, 0.97f, 0.92f}, 1.0f);
    // The byline is small: a dark plate and a solid outline keep it legible on the pale gold
    // and orange bands as well as on the dark ones.
    const float plateY = BYLINE_BASELINE + 0.32f * BYLINE_SIZE;
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float d = distanceToRoundedBox(x, y, SCREEN_W / 2.0f, plateY, BYLINE_PLATE_HALF_WIDTH,
            BYLINE_PLATE_HALF_HEIGHT, BYLINE_PLATE_HALF_HEIGHT);
        blendOver(pixel, Rgb{0.02f, 0.0f, 0.06f}, 0.55f * coverageFromDistance(d, 6.0f));
    });
    Mask smallOutline = small;
    blurMask(smallOutline, 2.0f * sx, 2.0f * sy);
    for (int pass = 0; pass < 3; ++pass)  // repeated: the soft edge builds up to a solid rim
        compositeMask(canvas, smallOutline, Rgb{0.03f, 0.0f, 0.07f}, 1.0f);
    compositeMask(canvas, small, Rgb{1.0f, 0.9f, 0.72f}, 1.0f);
    return true;
}

}  // namespace

bool writePlasmaPictures(const std::string& dataDir, std::string& error)
{
    if (!writeCanvas(dataDir + "/plasma.tga", paintRamp(), false, 0, error))
        return false;
    Canvas logo = makeCanvas(LOGO_WIDTH, LOGO_HEIGHT, SCREEN_W, SCREEN_H);
    if (!paintLogo(logo, error)) {
        error = "plasmalogo.tga: " + error;
        return false;
    }
    return writeCanvas(dataDir + "/plasmalogo.tga", logo, true, 0x7301u, error);
}
