// raster21.tga: copper bars stacked along v, sixteen texels each, their hue running four times
// round the colour wheel over the picture so the scrolling bars tile; a gloss runs across u.
#include "tools/effects_data/effects_pictures.h"

#include <cmath>

namespace {

constexpr float PI = 3.14159265f;
constexpr int COPPER_BAR_TEXELS = 16;
constexpr float HUE_TURNS = 4.0f;  // times round the colour wheel over the picture

Rgb hueColour(float hue)
{
    const float r = 0.5f + 0.5f * std::cos(2.0f * PI * hue);
    const float g = 0.5f + 0.5f * std::cos(2.0f * PI * (hue - 1.0f / 3.0f));
    const float b = 0.5f + 0.5f * std::cos(2.0f * PI * (hue - 2.0f / 3.0f));
    return {r, g, b};
}

}  // namespace

bool drawRasterBars(Canvas& canvas, EffectFonts&, std::string&)
{
    const float bars = canvas.frameHeight / COPPER_BAR_TEXELS;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float bar = std::floor(y / COPPER_BAR_TEXELS);
        const float within = (y - bar * COPPER_BAR_TEXELS) / COPPER_BAR_TEXELS;  // 0..1 across the bar
        const float profile = std::pow(std::sin(PI * within), 1.5f);
        const float highlight = std::pow(std::sin(PI * within), 12.0f);
        const float gloss = 0.8f + 0.2f * std::cos(2.0f * PI * (x / canvas.frameWidth - 0.3f));
        const Rgb base = hueColour(bar / bars * HUE_TURNS);
        const Rgb c = mixRgb(scaleRgb(base, profile * gloss), {1.0f, 1.0f, 1.0f}, 0.6f * highlight * gloss);
        px = {c.r, c.g, c.b, 1.0f};
    });
    return true;
}
