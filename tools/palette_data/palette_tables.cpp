// The palette lookup tables. Canvases are drawn in a unit frame: x = u (intensity), y = v (row).
#include "tools/palette_data/palette_data.h"

#include <cmath>

namespace {

constexpr float TWO_PI = 6.28318531f;

// One colour theme: a ramp over intensity. All themes of a table share the stop positions, so
// blending two themes keeps the ramp's shape and only moves its hues.
constexpr int THEME_STOPS = 8;

struct Theme {
    GradientStop stops[THEME_STOPS];
};

// The logo trails: the backdrop's gas stays below about 0.075 (its light and stars above), and
// each copy a trail pixel lies in adds about one level (1/255), so a trail of a few copies
// already sits at 0.08 to 0.10 and a few dozen crossing reach 0.3. The ramp lifts right above
// the backdrop: the gas stays a dark tinted haze, a thin trail already shows the theme's hue,
// and the densest knots burn white.
const Theme LOGO_THEMES[] = {
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.045f, {0.030f, 0.006f, 0.016f}},
      {0.075f, {0.100f, 0.016f, 0.040f}}, {0.095f, {0.360f, 0.050f, 0.080f}},
      {0.12f, {0.800f, 0.240f, 0.100f}}, {0.16f, {1.000f, 0.580f, 0.200f}},
      {0.22f, {1.000f, 0.880f, 0.560f}}, {0.30f, {1.000f, 1.000f, 0.940f}}}},  // ember
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.045f, {0.018f, 0.005f, 0.040f}},
      {0.075f, {0.065f, 0.018f, 0.135f}}, {0.095f, {0.270f, 0.045f, 0.400f}},
      {0.12f, {0.680f, 0.130f, 0.690f}}, {0.16f, {1.000f, 0.400f, 0.760f}},
      {0.22f, {1.000f, 0.780f, 0.900f}}, {0.30f, {1.000f, 0.970f, 1.000f}}}},  // violet
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.045f, {0.005f, 0.016f, 0.036f}},
      {0.075f, {0.010f, 0.062f, 0.120f}}, {0.095f, {0.026f, 0.230f, 0.360f}},
      {0.12f, {0.055f, 0.580f, 0.650f}}, {0.16f, {0.400f, 0.920f, 0.720f}},
      {0.22f, {0.860f, 1.000f, 0.860f}}, {0.30f, {0.980f, 1.000f, 1.000f}}}},  // aurora
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.045f, {0.010f, 0.010f, 0.040f}},
      {0.075f, {0.036f, 0.040f, 0.150f}}, {0.095f, {0.110f, 0.150f, 0.500f}},
      {0.12f, {0.300f, 0.440f, 0.950f}}, {0.16f, {0.740f, 0.770f, 1.000f}},
      {0.22f, {1.000f, 0.920f, 0.780f}}, {0.30f, {1.000f, 1.000f, 0.960f}}}},  // ice and gold
};

// The cloud: empty screen is 0, sprite fringes 0.1 to 0.4, dense cores up to 0.9.
const Theme CLOUD_THEMES[] = {
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.08f, {0.010f, 0.012f, 0.050f}},
      {0.22f, {0.050f, 0.060f, 0.260f}}, {0.38f, {0.090f, 0.300f, 0.700f}},
      {0.54f, {0.200f, 0.750f, 0.950f}}, {0.70f, {0.700f, 0.960f, 1.000f}},
      {0.84f, {1.000f, 1.000f, 0.900f}}, {1.00f, {1.000f, 1.000f, 1.000f}}}},  // electric
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.08f, {0.040f, 0.006f, 0.020f}},
      {0.22f, {0.240f, 0.030f, 0.080f}}, {0.38f, {0.680f, 0.140f, 0.100f}},
      {0.54f, {0.980f, 0.460f, 0.120f}}, {0.70f, {1.000f, 0.780f, 0.340f}},
      {0.84f, {1.000f, 0.960f, 0.780f}}, {1.00f, {1.000f, 1.000f, 1.000f}}}},  // solar
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.08f, {0.010f, 0.030f, 0.020f}},
      {0.22f, {0.030f, 0.160f, 0.120f}}, {0.38f, {0.080f, 0.480f, 0.300f}},
      {0.54f, {0.420f, 0.860f, 0.360f}}, {0.70f, {0.860f, 0.980f, 0.560f}},
      {0.84f, {1.000f, 1.000f, 0.860f}}, {1.00f, {1.000f, 1.000f, 1.000f}}}},  // toxic
    {{{0.00f, {0.000f, 0.000f, 0.000f}}, {0.08f, {0.030f, 0.008f, 0.050f}},
      {0.22f, {0.180f, 0.030f, 0.300f}}, {0.38f, {0.520f, 0.080f, 0.620f}},
      {0.54f, {0.900f, 0.240f, 0.680f}}, {0.70f, {1.000f, 0.620f, 0.760f}},
      {0.84f, {1.000f, 0.920f, 0.940f}}, {1.00f, {1.000f, 1.000f, 1.000f}}}},  // orchid
};

// The disco ball after lighting: the shadowed side and the silhouette stay black, and the
// brightest light is warm gold, so the rays glow against the cyan logo.
const GradientStop DISCO_RAMP[] = {
    {0.00f, {0.000f, 0.000f, 0.000f}}, {0.14f, {0.000f, 0.000f, 0.000f}},
    {0.26f, {0.090f, 0.015f, 0.170f}}, {0.42f, {0.480f, 0.080f, 0.520f}},
    {0.58f, {0.960f, 0.260f, 0.480f}}, {0.72f, {1.000f, 0.500f, 0.220f}},
    {0.86f, {1.000f, 0.720f, 0.380f}}, {1.00f, {1.000f, 0.860f, 0.620f}},
};

// Brightness ripples along u that move with the row: the classic palette contours. They fade
// out towards black and white so the ends of the ramp stay clean.
struct Contours {
    float cycles;     // ripples over the whole of u
    float rowTurns;   // how often the ripple phase turns round over all rows
    float amplitude;  // relative brightness change
    float fadeInEnd;  // u where the ripples reach full strength
    float fadeOutStart;
    float fadeOutEnd;  // u past which they are gone
};

const Contours LOGO_CONTOURS = {24.0f, 3.0f, 0.10f, 0.12f, 0.26f, 0.36f};
const Contours CLOUD_CONTOURS = {9.0f, 2.0f, 0.22f, 0.12f, 0.72f, 0.90f};

// Cosine ease between two themes, so every theme holds a moment before the next one comes in.
float themeWeight(float t)
{
    const float held = smoothStep(0.15f, 0.85f, t);
    return 0.5f - 0.5f * std::cos(held * 3.14159265f);
}

Rgb sampleThemes(const Theme* themes, int themeCount, float u, float v)
{
    const float position = v * static_cast<float>(themeCount);
    const int first = static_cast<int>(std::floor(position)) % themeCount;
    const int second = (first + 1) % themeCount;
    const float t = themeWeight(position - std::floor(position));
    const Rgb a = sampleGradient(themes[first].stops, THEME_STOPS, u);
    const Rgb b = sampleGradient(themes[second].stops, THEME_STOPS, u);
    return mixRgb(a, b, t);
}

float contourFactor(const Contours& c, float u, float v)
{
    const float strength = smoothStep(0.0f, c.fadeInEnd, u) * (1.0f - smoothStep(c.fadeOutStart, c.fadeOutEnd, u));
    return 1.0f + c.amplitude * strength * std::sin(TWO_PI * (u * c.cycles - v * c.rowTurns));
}

Rgb clampRgb(Rgb c)
{
    return Rgb{clampUnit(c.r), clampUnit(c.g), clampUnit(c.b)};
}

void paintThemeTable(Canvas& canvas, const Theme* themes, int themeCount, const Contours& contours)
{
    paintPixels(canvas, [&](Rgba& pixel, float u, float v) {
        const Rgb colour = clampRgb(scaleRgb(sampleThemes(themes, themeCount, u, v), contourFactor(contours, u, v)));
        pixel = Rgba{colour.r, colour.g, colour.b, 1.0f};
    });
}

}  // namespace

bool drawLogoPalette(Canvas& canvas, PaletteFonts&, std::string&)
{
    paintThemeTable(canvas, LOGO_THEMES, sizeof(LOGO_THEMES) / sizeof(LOGO_THEMES[0]), LOGO_CONTOURS);
    return true;
}

bool drawCloudPalette(Canvas& canvas, PaletteFonts&, std::string&)
{
    paintThemeTable(canvas, CLOUD_THEMES, sizeof(CLOUD_THEMES) / sizeof(CLOUD_THEMES[0]), CLOUD_CONTOURS);
    return true;
}

bool drawDiscoPalette(Canvas& canvas, PaletteFonts&, std::string&)
{
    const int stops = sizeof(DISCO_RAMP) / sizeof(DISCO_RAMP[0]);
    paintPixels(canvas, [&](Rgba& pixel, float u, float) {
        const Rgb colour = sampleGradient(DISCO_RAMP, stops, u);
        pixel = Rgba{colour.r, colour.g, colour.b, 1.0f};
    });
    return true;
}
