// The one-row bitmap font, drawn as screen quads in the fixed 1920 x 1080 frame, and three
// short animated texts on it. Text positions are the top-left corner of the first glyph with y
// counted down from the top edge (the frame itself has y up); times come from tween with
// speeds per 60 Hz frame. Nothing in the timeline draws them; the scroller uses drawText.
#pragma once

#include <cstdint>

constexpr int FONT_CELL_COUNT = 32;      // glyph cells side by side in "demofont.tga"
constexpr int FONT_CHAR_MAP_SIZE = 255;  // codes 0 to 254; higher codes draw cell 0
constexpr int FONT_CELL_PIXELS = 128;    // a glyph's edge on screen at scale 1
constexpr int FONT_LETTER_CELL = 1;      // 'A' and 'a'; 'Z' and 'z' are cell 26
constexpr int FONT_DOT_CELL = 27;        // '{'
constexpr int FONT_BAR_CELL = 28;        // '|'

extern uint32_t fontTexture;
extern int fontCharMap[FONT_CHAR_MAP_SIZE];  // character code -> glyph cell

// Start-up step: loads "demofont.tga" and fills fontCharMap.
void initFont();
// The glyph cell drawn for a character: cell 0 for codes outside the map.
int fontCellOf(char c);
// One GL_QUADS primitive for the whole text, each glyph 128 x scale pixels square and every
// character (also a blank) advancing by one glyph; in the current GL colour, alpha-blended.
// Leaves program 0, lighting off, the font bound on unit 0, depth test, culling and blending on.
void drawText(const char* text, float x, float y, float scale);

// "what are these good for anyway" centred, its scale swinging 0.1 <-> 0.5 on absolute time.
void drawPulsingText();
// The credits line along the bottom, from the ninth second of the scene on.
void drawCreditsText();
// "to be continued{{{" above the bottom, from the fifth second, growing in for pi seconds.
void drawClosingText();
