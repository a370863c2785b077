#include "app/console.h"

#include "core/screen_frame.h"  // SCREEN_HEIGHT
#include "platform/gl_api.h"  // immediate-mode quads
#include "render/overlay.h"  // beginBlendedScreenQuads

#include <cstdlib>
#include <cstring>
#include <ctime>

unsigned char consoleVisible = 0;
char consoleGrid[CONSOLE_ROWS][CONSOLE_COLUMNS] = {};
char consoleLine[CONSOLE_LINE_LIMIT + 2] = {};
int consoleLineLength = 0;
unsigned int consoleFontTexture = 0;

static constexpr int BOTTOM_ROW = CONSOLE_ROWS - 1;

void consoleScroll()
{
    std::memmove(consoleGrid[0], consoleGrid[1], sizeof consoleGrid - sizeof consoleGrid[0]);
    std::memset(consoleGrid[BOTTOM_ROW], ' ', sizeof consoleGrid[BOTTOM_ROW]);
}

void consoleNewLine()
{
    consoleScroll();
    std::memcpy(consoleGrid[BOTTOM_ROW], consoleLine, static_cast<size_t>(consoleLineLength));
    consoleLineLength = 0;
}

void consolePutChar(char ch)
{
    if (ch == '\n') {
        consoleNewLine();
        return;
    }
    consoleLine[consoleLineLength++] = ch;
    if (consoleLineLength > CONSOLE_LINE_LIMIT)
        consoleNewLine();
}

void consolePrint(const char* text)
{
    for (; *text; ++text)
        consolePutChar(*text);
}

void consoleAdvance()
{
    // A blank, not whatever an earlier, longer line left in this cell.
    consoleLine[consoleLineLength++] = ' ';
    if (consoleLineLength > CONSOLE_LINE_LIMIT)
        consoleNewLine();
}

char* timestampString()
{
    std::time_t now = std::time(nullptr);
    char buffer[64] = {};
    if (const char* text = std::ctime(&now))
        std::strncpy(buffer, text, sizeof buffer - 1);
    buffer[std::strcspn(buffer, "\n")] = '\0';
    char* copy = static_cast<char*>(std::malloc(std::strlen(buffer) + 1));
    if (copy)
        std::strcpy(copy, buffer);
    return copy;
}

void clearConsole()
{
    std::memset(consoleGrid, 0, sizeof consoleGrid);
    std::memset(consoleLine, 0, sizeof consoleLine);
    consoleLineLength = 0;
    consoleVisible = 0;
}

void drawConsole()
{
    if (!consoleVisible)
        return;
    glUseProgram(0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, consoleFontTexture);
    beginBlendedScreenQuads();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const float glyphWidth = 1.0f / static_cast<float>(CONSOLE_GLYPH_COUNT);
    glBegin(GL_QUADS);
    for (int r = 0; r < CONSOLE_ROWS; ++r) {
        // Row r spans the cell above the line 16r pixels under the top edge: row 0 lies just
        // above the frame, and the bottom row 24 pixels over its lower edge.
        const float bottom = static_cast<float>(SCREEN_HEIGHT - CONSOLE_CELL_PIXELS * r);
        const float top = bottom + static_cast<float>(CONSOLE_CELL_PIXELS);
        for (int c = 0; c < CONSOLE_COLUMNS; ++c) {
            const unsigned char ch = static_cast<unsigned char>(consoleGrid[r][c]);
            if (ch == ' ' || ch == '\0')
                continue;
            const float left = static_cast<float>(CONSOLE_CELL_PIXELS * c);
            const float right = left + static_cast<float>(CONSOLE_CELL_PIXELS);
            const float u0 = static_cast<float>(ch - CONSOLE_FIRST_GLYPH) * glyphWidth;
            const float u1 = u0 + glyphWidth;
            glNormal3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(u0, 1.0f);
            glVertex2f(left, top);
            glNormal3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(u0, 0.0f);
            glVertex2f(left, bottom);
            glNormal3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(u1, 0.0f);
            glVertex2f(right, bottom);
            glNormal3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(u1, 1.0f);
            glVertex2f(right, top);
        }
    }
    glEnd();

    endScreenQuads();
}
