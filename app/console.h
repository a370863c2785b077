// The text console overlay: a grid of 67 rows by 120 columns, row 0 at the top, drawn over the
// frame while shown. Text enters through a pending line that is committed to the bottom row on a
// line feed or when it is full; committing scrolls the grid up one row. Each cell is a 16 x 16
// quad of the 1920 x 1080 screen frame (y up), row r from y 1080 - 16r to 1096 - 16r: row 0
// lies just above the frame and rows 1 to 66 show.
#pragma once

constexpr int CONSOLE_ROWS = 67;
constexpr int CONSOLE_COLUMNS = 120;
// The pending line commits itself once it holds more than this many characters.
constexpr int CONSOLE_LINE_LIMIT = 118;
constexpr int CONSOLE_CELL_PIXELS = 16;
// The glyph strip holds character codes 32 to 127 in order.
constexpr int CONSOLE_FIRST_GLYPH = 32;
constexpr int CONSOLE_GLYPH_COUNT = 96;

extern unsigned char consoleVisible;
extern char consoleGrid[CONSOLE_ROWS][CONSOLE_COLUMNS];
extern char consoleLine[CONSOLE_LINE_LIMIT + 2];
extern int consoleLineLength;
// A horizontal strip of the 96 glyphs; nothing loads one, so the quads draw with texture 0.
extern unsigned int consoleFontTexture;

// Draws every non-blank cell as one quad batch; nothing while consoleVisible is 0.
void drawConsole();
void consolePutChar(char ch);
void consolePrint(const char* text);
// Skips one cell of the pending line (it holds a blank).
void consoleAdvance();
void consoleNewLine();
void consoleScroll();
// The local time in ctime's form without its line break; the caller frees it with free().
char* timestampString();
// Empties the grid and the pending line and hides the console.
void clearConsole();
