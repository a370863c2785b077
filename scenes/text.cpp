// Bitmap font and texts. Glyph quads are placed on whole pixels so the 128 px cells map onto
// the screen without resampling seams.
#include "scenes/text.h"

#include "core/clock.h"     // tween
#include "core/frame_values.h"     // sceneStartMs
#include "core/screen_frame.h"  // SCREEN_W, SCREEN_H
#include "gfx/shaders.h"   // shaderLoader.unuse
#include "gfx/textures.h"  // loadTexture
#include "platform/gl_api.h"
#include "render/overlay.h"

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::sin

uint32_t fontTexture = 0;
int fontCharMap[FONT_CHAR_MAP_SIZE] = {};

static constexpr float HALF_PI_LIMIT = 1.57f;
static constexpr int LETTER_COUNT = 26;

static constexpr char PULSING_TEXT[] = "what are these good for anyway";
static constexpr char CREDITS_TEXT[] = "code zu crew | music mornglow";
static constexpr char CLOSING_TEXT[] = "to be continued{{{";  // '{' is the font's dot
static constexpr float PULSING_LENGTH = sizeof(PULSING_TEXT) - 1;
static constexpr float CREDITS_LENGTH = sizeof(CREDITS_TEXT) - 1;
static constexpr float CLOSING_LENGTH = sizeof(CLOSING_TEXT) - 1;
static constexpr float CREDITS_SCALE = 0.5f;
static constexpr float CREDITS_Y = 952.0f;         // bottom edge 64 px above the screen's
static constexpr float CLOSING_LIFT = 128.0f;      // bottom edge this far above the screen's
static constexpr float CREDITS_FROM_SECOND = 9.0f;
static constexpr float CLOSING_FROM_SECOND = 5.0f;
static constexpr double CLOSING_GROWTH_DELAY_MS = 5000.0;

void initFont()
{
    fontTexture = loadTexture("demofont.tga");
    for (int code = 0; code < FONT_CHAR_MAP_SIZE; ++code)
        fontCharMap[code] = 0;
    for (int letter = 0; letter < LETTER_COUNT; ++letter) {
        fontCharMap['A' + letter] = FONT_LETTER_CELL + letter;
        fontCharMap['a' + letter] = FONT_LETTER_CELL + letter;
    }
    fontCharMap[static_cast<unsigned char>('{')] = FONT_DOT_CELL;
    fontCharMap[static_cast<unsigned char>('|')] = FONT_BAR_CELL;
}

int fontCellOf(char c)
{
    // Read as unsigned: a signed char of 128 and above would index before the map.
    const unsigned code = static_cast<unsigned char>(c);
    return code < static_cast<unsigned>(FONT_CHAR_MAP_SIZE) ? fontCharMap[code] : 0;
}

static void glyphVertex(int x, int y, float u, float v)
{
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, v);
    glVertex3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

void drawText(const char* text, float x, float y, float scale)
{
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    beginBlendedScreenQuads();

    const float w = static_cast<float>(FONT_CELL_PIXELS) * scale;
    glBegin(GL_QUADS);
    for (int i = 0; text != nullptr && text[i] != '\0'; ++i) {
        const int cell = fontCellOf(text[i]);
        const float u0 = static_cast<float>(cell) / FONT_CELL_COUNT;
        const float u1 = static_cast<float>(cell + 1) / FONT_CELL_COUNT;
        const int x0 = static_cast<int>(x + static_cast<float>(FONT_CELL_PIXELS * i) * scale);
        const int x1 = static_cast<int>(static_cast<float>(x0) + w);
        const int y0 = static_cast<int>(SCREEN_H - (w + y));
        const int y1 = static_cast<int>(static_cast<float>(y0) + w);
        glyphVertex(x0, y1, u0, 1.0f);
        glyphVertex(x0, y0, u0, 0.0f);
        glyphVertex(x1, y0, u1, 0.0f);
        glyphVertex(x1, y1, u1, 1.0f);
    }
    glEnd();

    endScreenQuads();
    glEnable(GL_BLEND);
}

void drawPulsingText()
{
    float s = 0.0f;
    tween(0.0, 0.1, 0.5, TWEEN_PING_PONG, static_cast<double>(0.0055555557f), &s);
    const float glyph = s * FONT_CELL_PIXELS;
    drawText(PULSING_TEXT, (SCREEN_W - glyph * PULSING_LENGTH) / 2.0f, (SCREEN_H - glyph) / 2.0f, s);
}

void drawCreditsText()
{
    float t = 0.0f;
    tween(static_cast<double>(sceneStartMs), 0.0, 100.0, TWEEN_PING_PONG, static_cast<double>(0.016666668f), &t);
    if (t > CREDITS_FROM_SECOND)
        drawText(CREDITS_TEXT, (SCREEN_W - CREDITS_SCALE * FONT_CELL_PIXELS * CREDITS_LENGTH) / 2.0f, CREDITS_Y,
                 CREDITS_SCALE);
}

void drawClosingText()
{
    float a = 0.0f;
    tween(static_cast<double>(sceneStartMs) + CLOSING_GROWTH_DELAY_MS, 0.0, 1000.0, TWEEN_PING_PONG,
          static_cast<double>(0.016666668f), &a);
    a = std::min(a - HALF_PI_LIMIT, HALF_PI_LIMIT);
    const float s = std::max(0.0f, std::min(std::sin(a) * 0.25f + 0.25f, 0.5f));
    float t = 0.0f;
    tween(static_cast<double>(sceneStartMs), 0.0, 100.0, TWEEN_PING_PONG, static_cast<double>(0.016666668f), &t);
    if (t > CLOSING_FROM_SECOND) {
        const float glyph = s * FONT_CELL_PIXELS;
        drawText(CLOSING_TEXT, (SCREEN_W - glyph * CLOSING_LENGTH) / 2.0f, SCREEN_H - glyph - CLOSING_LIFT, s);
    }
}
