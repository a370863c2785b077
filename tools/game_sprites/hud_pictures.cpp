// The HUD: the bar across the bottom of the screen, the digit strip and the weapon panels. All
// are drawn in screen pixels (the frame sizes of the table in game_sprites_main.cpp), so the
// labels line up with the places the game prints its numbers:
//   score "%08d" at (140, 38), orbs "%02d" at (140, 12), the weapon panel at (538, 38) and its
//   ammunition at (538, 12), lives "%02d" at (975, 38), health "%03.0f" at (975, 12);
//   every digit is a 16 x 16 cell.
#include "tools/game_sprites/sprites.h"

#include <algorithm>  // std::max, std::min
#include <cmath>

namespace {

constexpr Rgb PANEL_EDGE = {0.30f, 0.85f, 1.00f};
constexpr Rgb LABEL = {0.62f, 0.80f, 0.92f};
constexpr Rgb DIGIT = {0.90f, 0.98f, 1.00f};
constexpr float TITLE_RIGHT = 1380.0f;  // the corner tag starts at x 1408

struct Rect {
    float left, bottom, right, top;
};

// An inset panel: darker glass with a thin bright rim.
void paintPanel(Canvas& canvas, Rect r, float radius)
{
    const float aa = pixelFootprint(canvas);
    const float cx = (r.left + r.right) * 0.5f;
    const float cy = (r.bottom + r.top) * 0.5f;
    const float hw = (r.right - r.left) * 0.5f;
    const float hh = (r.top - r.bottom) * 0.5f;
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float d = distanceToRoundedBox(x, y, cx, cy, hw, hh, radius);
        const float inside = coverageFromDistance(d, aa);
        if (inside <= 0)
            return;
        const float depth = clampUnit((y - r.bottom) / (r.top - r.bottom));
        blendOver(pixel, mixRgb(Rgb{0.01f, 0.03f, 0.06f}, Rgb{0.04f, 0.09f, 0.14f}, depth), inside * 0.92f);
        const float rim = coverageFromDistance(std::fabs(d + 0.6f) - 0.6f, aa);
        blendOver(pixel, PANEL_EDGE, rim * 0.8f);
    });
}

bool paintText(Canvas& canvas, Font& font, const char* text, float size, float x, float baseline,
    Rgb color, float glow, std::string& error)
{
    Mask mask = makeMask(canvas);
    TextStyle style;
    style.size = size;
    style.tracking = size * 0.08f;
    if (!drawText(font, canvas, mask, text, style, x, baseline, error))
        return false;
    if (glow > 0) {
        Mask halo = mask;
        blurMask(halo, 2.0f, 2.0f);
        addMaskLight(canvas, halo, scaleRgb(color, 0.5f), glow);
    }
    compositeMask(canvas, mask, color, 1.0f);
    return true;
}

// Label strip of a weapon panel: the name on the left, a small icon at the right end.
template <typename Icon>
bool paintWeaponPanel(Canvas& canvas, SpriteFonts& fonts, const char* name, Rgb accent, Icon icon,
    std::string& error)
{
    paintPanel(canvas, Rect{0.5f, 0.5f, canvas.frameWidth - 0.5f, canvas.frameHeight - 0.5f}, 3.0f);
    if (!paintText(canvas, fonts.sansBold, name, 11.5f, 8.0f, 4.0f, accent, 0.6f, error))
        return false;
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float d = icon(x - (canvas.frameWidth - 20.0f), y - canvas.frameHeight * 0.5f);
        const float cover = coverageFromDistance(d, aa);
        if (cover > 0)
            blendOver(pixel, accent, cover);
    });
    return true;
}

}  // namespace

bool drawHudBar(Canvas& canvas, SpriteFonts& fonts, std::string& error)
{
    const float h = canvas.frameHeight;
    const float aa = pixelFootprint(canvas);
    // Brushed dark steel, a bright top rim and fine grooves.
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float t = y / h;
        const float brushed = sampleValueNoise(x * 0.02f, y * 1.5f, 0x0B5Eu) * 0.03f;
        Rgb base = mixRgb(Rgb{0.03f, 0.05f, 0.08f}, Rgb{0.09f, 0.13f, 0.18f}, t);
        base = Rgb{base.r + brushed, base.g + brushed, base.b + brushed};
        const float alpha = 0.78f + 0.14f * t;
        pixel = Rgba{base.r * alpha, base.g * alpha, base.b * alpha, alpha};
        const float rim = coverageFromDistance(std::fabs(y - (h - 1.5f)) - 1.0f, aa);
        addLight(pixel, PANEL_EDGE, rim * 0.7f);
        const float shine = std::exp(-(h - y) * 0.35f) * 0.25f;
        addLight(pixel, PANEL_EDGE, shine);
        const bool groove = std::fmod(x + 2000.0f - y * 0.6f, 14.0f) < 1.2f && x > 1400.0f && y > 10 && y < 54;
        if (groove)
            addLight(pixel, PANEL_EDGE, 0.05f);
    });
    // Number wells, each a little larger than the digits it holds.
    paintPanel(canvas, Rect{134, 34, 274, 58}, 4);    // score, 8 digits from x 140
    paintPanel(canvas, Rect{134, 8, 178, 32}, 4);     // orbs, 2 digits
    paintPanel(canvas, Rect{532, 8, 800, 58}, 5);     // weapon panel and its ammunition
    paintPanel(canvas, Rect{969, 34, 1013, 58}, 4);   // lives, 2 digits from x 975
    paintPanel(canvas, Rect{969, 8, 1029, 32}, 4);    // health, 3 digits
    const float labelSize = 13.0f;
    struct Label {
        const char* text;
        float right;  // the label ends here, right before its well
        float baseline;
    };
    const Label labels[] = {
        {"SCORE", 124, 41}, {"ORBS", 124, 15}, {"WEAPON", 522, 41}, {"AMMO", 522, 15},
        {"LIVES", 959, 41}, {"HEALTH", 959, 15},
    };
    for (const Label& label : labels) {
        TextStyle style;
        style.size = labelSize;
        style.tracking = labelSize * 0.08f;
        const float width = measureText(fonts.sansBold, label.text, style);
        if (!paintText(canvas, fonts.sansBold, label.text, labelSize, label.right - width, label.baseline, LABEL, 0, error))
            return false;
    }
    // A row of status lights and the game's name on the free right side, clear of the corner
    // tag the frame routine puts over the last quarter of the bar.
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        for (int i = 0; i < 6; ++i) {
            const float cx = 1062.0f + i * 15.0f;
            const float d = distanceToCircle(x, y, cx, 32.0f, 3.0f);
            const float on = coverageFromDistance(d, aa);
            const Rgb color = i < 4 ? Rgb{0.3f, 1.0f, 0.6f} : Rgb{1.0f, 0.6f, 0.2f};
            if (on > 0)
                blendOver(pixel, color, on);
            addLight(pixel, color, 0.25f * std::exp(-std::max(0.0f, d) * 0.5f));
        }
    });
    TextStyle title;
    title.size = 22;
    title.tracking = 22 * 0.25f;
    const char* name = "MORNGLOW";
    const float width = measureText(fonts.sansBold, name, title);
    Mask mask = makeMask(canvas);
    if (!drawText(fonts.sansBold, canvas, mask, name, title, TITLE_RIGHT - width, 24.0f, error))
        return false;
    Mask halo = mask;
    blurMask(halo, 4.0f, 3.0f);
    addMaskLight(canvas, halo, Rgb{0.15f, 0.5f, 0.8f}, 0.8f);
    compositeMask(canvas, mask, Rgb{0.55f, 0.78f, 0.95f}, 0.9f);
    return true;
}

// Eleven cells (0-9 and a blank) of 32 frame units each in the upper half; the lower half stays
// empty. Bold digits with a faint glow so they read against the bar at 16 x 16.
bool drawHudDigitStrip(Canvas& canvas, SpriteFonts& fonts, std::string& error)
{
    const float cell = canvas.frameWidth * HUD_DIGIT_CELL_U;
    const float half = canvas.frameHeight * 0.5f;
    Mask mask = makeMask(canvas);
    TextStyle style;
    style.size = half * 1.02f;
    style.weight = half * 0.02f;
    for (int g = 0; g < 10; ++g) {
        const char text[2] = {static_cast<char>('0' + g), 0};
        if (!drawTextCentred(fonts.sansBold, canvas, mask, text, style, (g + 0.5f) * cell, half + half * 0.14f, error))
            return false;
    }
    Mask halo = mask;
    blurMask(halo, 1.5f, 1.5f);
    addMaskLight(canvas, halo, Rgb{0.2f, 0.6f, 0.9f}, 0.7f);
    compositeMask(canvas, mask, DIGIT, 1.0f);
    return true;
}

bool drawHudLaserPanel(Canvas& canvas, SpriteFonts& fonts, std::string& error)
{
    // A beam: a thin bar with a round head.
    auto icon = [](float x, float y) {
        return std::min(distanceToRoundedBox(x, y, -2.0f, 0.0f, 10.0f, 1.2f, 1.2f), distanceToCircle(x, y, 9.0f, 0.0f, 2.6f));
    };
    return paintWeaponPanel(canvas, fonts, "LASER", Rgb{0.45f, 1.0f, 0.9f}, icon, error);
}

bool drawHudMissilePanel(Canvas& canvas, SpriteFonts& fonts, std::string& error)
{
    // A rocket: body, nose and two fins.
    auto icon = [](float x, float y) {
        const float body = distanceToRoundedBox(x, y, -1.0f, 0.0f, 8.0f, 2.0f, 1.5f);
        const float nose = distanceToCircle(x, y, 7.0f, 0.0f, 2.0f);
        const float fins = std::min(distanceToSegment(x, y, -4.0f, 1.5f, -9.0f, 5.5f),
                               distanceToSegment(x, y, -4.0f, -1.5f, -9.0f, -5.5f)) - 1.3f;
        return std::min(body, std::min(nose, fins));
    };
    return paintWeaponPanel(canvas, fonts, "HOMING MISSILES", Rgb{1.0f, 0.72f, 0.3f}, icon, error);
}

bool drawHudNukePanel(Canvas& canvas, SpriteFonts& fonts, std::string& error)
{
    // A blast: a ring around a dot.
    auto icon = [](float x, float y) {
        const float ring = std::fabs(distanceToCircle(x, y, 0.0f, 0.0f, 5.5f)) - 1.0f;
        return std::min(ring, distanceToCircle(x, y, 0.0f, 0.0f, 2.2f));
    };
    return paintWeaponPanel(canvas, fonts, "NUKE", Rgb{1.0f, 0.45f, 0.35f}, icon, error);
}

// The laser never runs dry: a full, segmented charge gauge with an infinity mark.
bool drawHudLaserAmmo(Canvas& canvas, SpriteFonts& fonts, std::string& error)
{
    const float w = canvas.frameWidth;
    const float h = canvas.frameHeight;
    const float aa = pixelFootprint(canvas);
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        pixel = Rgba{0, 0, 0, 0};
        if (x < 40.0f || x > w - 8.0f)
            return;
        const float segment = std::fmod(x - 40.0f, 9.0f);
        const float inSegment = coverageFromDistance(std::fabs(segment - 3.5f) - 3.0f, aa);
        const float inBand = coverageFromDistance(std::fabs(y - h * 0.5f) - 4.0f, aa);
        const float along = (x - 40.0f) / (w - 48.0f);
        const Rgb color = mixRgb(Rgb{0.2f, 0.7f, 1.0f}, Rgb{0.55f, 1.0f, 0.9f}, along);
        blendOver(pixel, color, inSegment * inBand);
    });
    // The infinity mark: two looped rings side by side.
    paintPixels(canvas, [&](Rgba& pixel, float x, float y) {
        const float left = std::fabs(distanceToCircle(x, y, 15.0f, h * 0.5f, 3.6f)) - 0.9f;
        const float right = std::fabs(distanceToCircle(x, y, 23.0f, h * 0.5f, 3.6f)) - 0.9f;
        const float cover = coverageFromDistance(std::min(left, right), aa);
        if (cover > 0)
            blendOver(pixel, Rgb{0.55f, 1.0f, 0.9f}, cover);
    });
    (void)fonts;
    (void)error;
    return true;
}
