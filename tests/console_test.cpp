// The text console: the pending line, its commits and the scrolling grid; and under Xvfb, every
// printed character drawn in its 16 x 16 cell, row r from y 1080 - 16r to 1096 - 16r (row 0 just
// above the frame).
#include "app/console.h"
#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { clearConsole(); }
    void TearDown() override { clearConsole(); }
};

std::string rowText(int row)
{
    return std::string(consoleGrid[row], CONSOLE_COLUMNS);
}

// A committed row: its text, then spaces to the end of the row.
std::string committedRow(const std::string& text)
{
    return text + std::string(CONSOLE_COLUMNS - text.size(), ' ');
}

const std::string NEVER_WRITTEN(CONSOLE_COLUMNS, '\0');

void printLines(int count)
{
    for (int i = 0; i < count; ++i)
        consolePrint(("line " + std::to_string(i) + "\n").c_str());
}

struct ConsoleCase {
    const char* name;
    void (*run)();
    std::vector<std::pair<int, std::string>> rows;  // row, full expected content
    std::string pending;
};

TEST_F(ConsoleTest, PendingLineCommitsAndScrolls)
{
    const std::string full(CONSOLE_LINE_LIMIT + 1, 'x');
    const ConsoleCase cases[] = {
        {"a, line feed, b: a at the start of the bottom row, b pending",
         [] { consolePrint("a\nb"); },
         {{66, committedRow("a")}, {65, NEVER_WRITTEN}},
         "b"},
        {"119 characters commit themselves",
         [] { consolePrint(std::string(CONSOLE_LINE_LIMIT + 1, 'x').c_str()); },
         {{66, committedRow(full)}},
         ""},
        {"the 120th character starts a new pending line",
         [] { consolePrint((std::string(CONSOLE_LINE_LIMIT + 1, 'x') + "y").c_str()); },
         {{66, committedRow(full)}},
         "y"},
        {"an empty line commits a row of spaces",
         [] { consolePrint("a\n\n"); },
         {{65, committedRow("a")}, {66, committedRow("")}},
         ""},
        {"each commit moves the rows up by one",
         [] { consolePrint("one\ntwo\nthree\n"); },
         {{64, committedRow("one")}, {65, committedRow("two")}, {66, committedRow("three")}, {63, NEVER_WRITTEN}},
         ""},
        {"67 commits reach row 0; the 68th scrolls the first line away",
         [] { printLines(CONSOLE_ROWS + 1); },
         {{0, committedRow("line 1")}, {66, committedRow("line 67")}},
         ""},
        {"a skipped cell is a blank, not what a longer earlier line left there",
         [] {
             consolePrint("abc\n");
             consoleAdvance();
             consolePutChar('d');
             consoleNewLine();
         },
         {{65, committedRow("abc")}, {66, committedRow(" d")}},
         ""},
        {"skipping past the limit commits the line",
         [] {
             consolePrint("q");
             for (int i = 0; i < CONSOLE_LINE_LIMIT; ++i)
                 consoleAdvance();
         },
         {{66, committedRow("q" + std::string(CONSOLE_LINE_LIMIT, ' '))}},
         ""},
        {"scrolling alone blanks the bottom row",
         [] {
             consolePrint("kept\n");
             consoleScroll();
         },
         {{65, committedRow("kept")}, {66, committedRow("")}},
         ""},
    };
    for (const ConsoleCase& c : cases) {
        SCOPED_TRACE(c.name);
        clearConsole();
        c.run();
        for (const auto& [row, text] : c.rows)
            EXPECT_EQ(rowText(row), text) << "row " << row;
        EXPECT_EQ(std::string(consoleLine, static_cast<size_t>(consoleLineLength)), c.pending);
    }
}

TEST_F(ConsoleTest, TimestampIsCtimeWithoutLineBreak)
{
    char* stamp = timestampString();
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(std::string(stamp).size(), 24u);
    EXPECT_EQ(std::string(stamp).find('\n'), std::string::npos);
    std::free(stamp);
}

// The frame under the console: a dark grey that no console quad draws.
constexpr uint8_t BACKGROUND = 40;

std::vector<uint8_t> drawFrame(bool visible)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glClearColor(BACKGROUND / 255.0f, BACKGROUND / 255.0f, BACKGROUND / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);  // as the frame routine leaves it
    consoleVisible = visible ? 1 : 0;
    drawConsole();
    glFinish();
    std::vector<uint8_t> pixels = readPixelsRgba(0, 0, 1920, 1080);
    glDisable(GL_TEXTURE_2D);
    return pixels;
}

// Red of the pixel at screen x, y (y up).
uint8_t redAt(const std::vector<uint8_t>& pixels, int x, int y)
{
    return pixels[(static_cast<size_t>(y) * 1920 + x) * 4];
}

TEST_F(ConsoleTest, PrintedCharactersLandInTheirCells)
{
    REQUIRE_GL_CONTEXT();
    // 67 lines: the first ends up in row 0 (above the frame), the last in row 66.
    std::vector<std::string> lines(CONSOLE_ROWS);
    lines[0] = "T";
    lines[1] = "   #";
    lines[2] = "L";
    lines[33] = std::string(60, ' ') + "M";
    // The last column a line can fill; 119 characters commit themselves, with no line feed.
    lines[66] = std::string(CONSOLE_LINE_LIMIT, ' ') + "R";
    for (int i = 0; i < CONSOLE_ROWS - 1; ++i)
        consolePrint((lines[i] + "\n").c_str());
    consolePrint(lines[66].c_str());
    ASSERT_EQ(consoleLineLength, 0);

    const std::vector<uint8_t> pixels = drawFrame(true);
    int shownCells = 0;
    for (int r = 1; r < CONSOLE_ROWS; ++r) {
        for (int c = 0; c < CONSOLE_COLUMNS; ++c) {
            const bool printed = c < static_cast<int>(lines[r].size()) && lines[r][c] != ' ';
            const int x = CONSOLE_CELL_PIXELS * c;
            const int bottom = 1080 - CONSOLE_CELL_PIXELS * r;
            const int top = bottom + CONSOLE_CELL_PIXELS - 1;
            // The cell's corners and centre all show the quad, or all the background.
            const int probes[][2] = {{x, top}, {x + 15, top}, {x, bottom}, {x + 15, bottom}, {x + 8, bottom + 8}};
            for (const auto& p : probes)
                ASSERT_EQ(redAt(pixels, p[0], p[1]), printed ? 255 : BACKGROUND)
                    << "row " << r << " column " << c << " at " << p[0] << "," << p[1];
            shownCells += printed;
        }
    }
    EXPECT_EQ(shownCells, 4);
    // Nothing else changed: row 0's quad lies wholly above the frame, and the 24 rows of
    // pixels under row 66 stay clear.
    size_t changed = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        changed += pixels[i] != BACKGROUND;
    EXPECT_EQ(changed, static_cast<size_t>(shownCells) * CONSOLE_CELL_PIXELS * CONSOLE_CELL_PIXELS);
    for (int x = 0; x < 1920; ++x)
        ASSERT_EQ(redAt(pixels, x, 1079), x >= 16 * 3 && x < 16 * 4 ? 255 : BACKGROUND) << "top row of pixels, x " << x;
}

TEST_F(ConsoleTest, HiddenOrEmptyConsoleLeavesTheFrameAlone)
{
    REQUIRE_GL_CONTEXT();
    const struct {
        const char* name;
        const char* text;
        bool visible;
    } cases[] = {
        {"hidden with text", "hello\nworld\n", false},
        {"shown with only blanks", "   \n\n", true},
        {"shown, never printed", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clearConsole();
        consolePrint(c.text);
        const std::vector<uint8_t> pixels = drawFrame(c.visible);
        size_t changed = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            changed += pixels[i] != BACKGROUND || pixels[i + 1] != BACKGROUND || pixels[i + 2] != BACKGROUND;
        EXPECT_EQ(changed, 0u);
    }
}

}  // namespace
