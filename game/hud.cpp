// The HUD (see hud.h). Layout in screen pixels, y up: the bar over the bottom 64 rows, the
// weapon panel at (538, 38) with its ammunition at (538, 12), health at (975, 12), lives at
// (975, 38), score at (140, 38), orbs at (140, 12), the frame rate at (0, 1048).
#include "game/hud.h"

#include "core/screen_frame.h"  // SCREEN_WIDTH: the bar spans the frame
#include "game/draw_2d.h"
#include "game/game_state.h"  // orbsLeft, playerWeapon, playerAmmo, playerHealth, playerLives, ...
#include "gfx/pass_timer.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "render/overlay.h"

#include <cmath>
#include <cstdio>
#include <cstring>

uint32_t hudBarTexture = 0;
uint32_t hudDigitsTexture = 0;
uint32_t hudWeaponTextures[3] = {0, 0, 0};
uint32_t hudLaserAmmoTexture = 0;
char hudText[HUD_TEXT_CAPACITY] = {};

namespace {

constexpr int BAR_WIDTH = SCREEN_WIDTH;
constexpr int BAR_HEIGHT = 64;
constexpr int PANEL_X = 538;
constexpr int PANEL_TOP_Y = 38;
constexpr int PANEL_BOTTOM_Y = 12;
constexpr int PANEL_WIDTH = 256;
constexpr int PANEL_HEIGHT = 16;
constexpr float NUMBERS_LEFT_X = 140;
constexpr float NUMBERS_RIGHT_X = 975;
constexpr float TOP_ROW_Y = 38;
constexpr float BOTTOM_ROW_Y = 12;
constexpr float FRAME_RATE_X = 0;
constexpr float FRAME_RATE_Y = 1048;
// Past this a frame rate or health is not a number the HUD can print in its cells.
constexpr double PRINTABLE_LIMIT = 1e9;

void addField(HudLayout& layout, const char* text, float x, float y)
{
    if (layout.fieldCount >= HUD_FIELD_CAPACITY)
        return;
    HudField& field = layout.fields[layout.fieldCount++];
    std::snprintf(field.text, sizeof(field.text), "%s", text);
    field.x = x;
    field.y = y;
}

bool printable(double value)
{
    return std::isfinite(value) && std::fabs(value) < PRINTABLE_LIMIT;
}

}  // namespace

void loadHudTextures()
{
    hudBarTexture = loadTexture("hud1.tga");
    hudDigitsTexture = loadTexture("hudnumbers.tga");
    hudWeaponTextures[0] = loadTexture("hudweapon1.tga");
    hudWeaponTextures[1] = loadTexture("hudweapon2.tga");
    hudWeaponTextures[2] = loadTexture("hudweapon3.tga");
    hudLaserAmmoTexture = loadTexture("hudlaserammo.tga");
}

int hudGlyph(char c)
{
    return c == ' ' ? HUD_BLANK_GLYPH : c - '0';
}

HudLayout layoutHud(const HudValues& values)
{
    HudLayout layout = {};
    layout.panelTexture = -1;
    char text[HUD_TEXT_CAPACITY];
    if (values.weapon == 1) {
        layout.panelTexture = 0;
        layout.laserAmmo = true;
    } else if (values.weapon == 3) {
        layout.panelTexture = 1;
        std::snprintf(text, sizeof(text), "%03d", values.missiles);
        addField(layout, text, PANEL_X, PANEL_BOTTOM_Y);
    } else if (values.weapon == 4) {
        layout.panelTexture = 2;
        std::snprintf(text, sizeof(text), "%1d", values.nukes);
        addField(layout, text, PANEL_X, PANEL_BOTTOM_Y);
    }
    if (printable(values.health))
        std::snprintf(text, sizeof(text), "%03.0f", static_cast<double>(values.health));
    else
        std::snprintf(text, sizeof(text), "   ");
    addField(layout, text, NUMBERS_RIGHT_X, BOTTOM_ROW_Y);
    std::snprintf(text, sizeof(text), "%02d", values.lives);
    addField(layout, text, NUMBERS_RIGHT_X, TOP_ROW_Y);
    std::snprintf(text, sizeof(text), "%08d", values.score);
    addField(layout, text, NUMBERS_LEFT_X, TOP_ROW_Y);
    std::snprintf(text, sizeof(text), "%02d", values.orbsLeft);
    addField(layout, text, NUMBERS_LEFT_X, BOTTOM_ROW_Y);
    if (printable(values.frameRate))
        std::snprintf(text, sizeof(text), "%3d", static_cast<int>(values.frameRate));
    else
        std::snprintf(text, sizeof(text), "   ");
    addField(layout, text, FRAME_RATE_X, FRAME_RATE_Y);
    return layout;
}

// The frame routine's average frame rate (it measures each game frame).
extern float fpsAverage;

HudValues currentHudValues()
{
    return HudValues{playerWeapon, playerAmmo[0], playerAmmo[1], playerHealth, playerLives, playerScore, orbsLeft,
        fpsAverage};
}

void drawHudDigits(const char* text, float x, float y)
{
    std::snprintf(hudText, sizeof(hudText), "%s", text);
    for (int i = 0; hudText[i] != 0; ++i) {
        const float u0 = static_cast<float>(hudGlyph(hudText[i])) * HUD_GLYPH_U;
        const float u1 = static_cast<float>(hudGlyph(hudText[i]) + 1) * HUD_GLYPH_U;
        const float left = x + static_cast<float>(HUD_GLYPH_SIZE * i);
        const float right = left + HUD_GLYPH_SIZE;
        const Corner2D corners[4] = {
            {left, y + HUD_GLYPH_SIZE, u0, 1.0f},
            {left, y, u0, 0.5f},
            {right, y, u1, 0.5f},
            {right, y + HUD_GLYPH_SIZE, u1, 1.0f},
        };
        drawQuad2D(corners, hudDigitsTexture, Blend2D::Alpha);
    }
}

void drawHud()
{
    const HudLayout layout = layoutHud(currentHudValues());
    flush2D();
    beginPass("hud_2d");
    // The HUD is drawn untinted (the frame's last full-screen pass leaves white current).
    setDrawColor(1.0f, 1.0f, 1.0f, 1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawQuad(0, 0, BAR_WIDTH, BAR_HEIGHT, hudBarTexture);
    if (layout.panelTexture >= 0)
        drawQuad(PANEL_X, PANEL_TOP_Y, PANEL_WIDTH, PANEL_HEIGHT, hudWeaponTextures[layout.panelTexture]);
    if (layout.laserAmmo)
        drawQuad(PANEL_X, PANEL_BOTTOM_Y, PANEL_WIDTH, PANEL_HEIGHT, hudLaserAmmoTexture);
    for (int i = 0; i < layout.fieldCount; ++i)
        drawHudDigits(layout.fields[i].text, layout.fields[i].x, layout.fields[i].y);
    flush2D();
    endPass();
}
