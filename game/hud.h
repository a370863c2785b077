// The game's heads-up display: the bar across the bottom of the screen with the weapon panel
// and its ammunition, health, lives, score and orbs left, and the frame rate in the top-left
// corner. Numbers are printed (bounded) into short texts and drawn as 16 x 16 cells of the
// digit strip; a blank is glyph 10.
#pragma once

#include <cstdint>

constexpr int HUD_TEXT_CAPACITY = 128;
constexpr int HUD_GLYPH_SIZE = 16;
constexpr int HUD_BLANK_GLYPH = 10;
constexpr float HUD_GLYPH_U = 0.056179777f;  // width of one glyph in the strip's u range
constexpr int HUD_FIELD_CAPACITY = 8;

extern uint32_t hudBarTexture;           // "hud1.tga"
extern uint32_t hudDigitsTexture;        // "hudnumbers.tga"
extern uint32_t hudWeaponTextures[3];    // "hudweapon1.tga" .. "hudweapon3.tga"
extern uint32_t hudLaserAmmoTexture;     // "hudlaserammo.tga"
extern char hudText[HUD_TEXT_CAPACITY];

// What the HUD shows, taken from the game's state.
struct HudValues {
    int weapon;        // 1 laser, 2 triple bullets, 3 homing missiles, 4 nuke
    int missiles;
    int nukes;
    float health;
    int lives;
    int score;
    int orbsLeft;
    float frameRate;
};

// One printed number and where its first cell goes.
struct HudField {
    char text[HUD_TEXT_CAPACITY];
    float x, y;
};

struct HudLayout {
    int panelTexture;    // index into hudWeaponTextures, -1 for none
    bool laserAmmo;      // the laser's ammunition strip below the panel
    int fieldCount;
    HudField fields[HUD_FIELD_CAPACITY];
};

void loadHudTextures();
// The glyph of one character: digits 0-9, a blank 10, anything else c - '0' as it comes.
int hudGlyph(char c);
// The texts and places of every number, in drawing order. Values that do not fit a field are
// cut at the text's capacity; a non-finite health or frame rate shows as blanks.
HudLayout layoutHud(const HudValues& values);
HudValues currentHudValues();
void drawHudDigits(const char* text, float x, float y);
void drawHud();
