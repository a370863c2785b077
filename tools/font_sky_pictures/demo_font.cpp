// The demo's bitmap font: capitals of DejaVu Sans Bold, each centred in its own 128 px cell on
// a shared baseline, white with soft alpha edges. Every character advances by a whole cell on
// screen, so glyphs are centred by their ink, not by their pen advance, to look evenly spaced.
// Cells keep a margin free of ink so that the mipmaps of small text do not mix neighbours.
#include "tools/font_sky_pictures/pictures.h"

#include "tools/common/text_render.h"

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::lround

namespace {

constexpr float LETTER_EM = 102.0f;       // em size in pixels: capitals about 74 px tall
constexpr float LETTER_WEIGHT = 1.5f;     // a touch heavier than the bold face
constexpr int CELL_MARGIN = 8;            // pixels kept clear at every cell edge
constexpr int FIRST_LETTER_CELL = 1;      // 'A'
constexpr int DOT_CELL = 27;              // '{' in the texts: "to be continued{{{"
constexpr int BAR_CELL = 28;              // '|'
constexpr float DOT_DIAMETER = 0.2f;      // in em: about the width of a bold stem

// Scratch picture one glyph is rendered into before it is centred in its cell.
constexpr int SCRATCH_WIDTH = 256;
constexpr int SCRATCH_HEIGHT = 192;
constexpr float SCRATCH_PEN_X = 48.0f;
constexpr float SCRATCH_BASELINE = 48.0f;
constexpr float INK_THRESHOLD = 0.004f;   // coverage counted as ink when measuring

struct InkBox {
    int left = 0, right = -1, bottom = 0, top = -1;  // inclusive pixel bounds; empty when right < left
    bool empty() const { return right < left; }
};

InkBox measureInk(const Mask& mask)
{
    InkBox box;
    box.left = mask.width;
    box.bottom = mask.height;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.values[static_cast<size_t>(y) * static_cast<size_t>(mask.width) + static_cast<size_t>(x)]
                > INK_THRESHOLD) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.bottom = std::min(box.bottom, y);
                box.top = std::max(box.top, y);
            }
    if (box.right < 0)
        return InkBox{};
    return box;
}

bool renderGlyph(Font& font, char c, Mask& scratch, std::string& error)
{
    const Canvas frame = makeCanvas(SCRATCH_WIDTH, SCRATCH_HEIGHT, SCRATCH_WIDTH, SCRATCH_HEIGHT);
    scratch = makeMask(frame);
    TextStyle style;
    style.size = LETTER_EM;
    style.weight = LETTER_WEIGHT;
    const char text[2] = {c, '\0'};
    return drawText(font, frame, scratch, text, style, SCRATCH_PEN_X, SCRATCH_BASELINE, error);
}

// Copies the scratch glyph into cell `cell` of the strip's mask, moved by (dx, dy) pixels;
// false when any ink would cross the cell's margin.
bool placeGlyph(const Mask& scratch, const InkBox& ink, int cell, int dx, int dy, Mask& strip,
    std::string& error)
{
    const int cellLeft = cell * FONT_CELL_SIDE;
    if (ink.left + dx < cellLeft + CELL_MARGIN || ink.right + dx >= cellLeft + FONT_CELL_SIDE - CELL_MARGIN
        || ink.bottom + dy < CELL_MARGIN || ink.top + dy >= FONT_CELL_SIDE - CELL_MARGIN) {
        error = "glyph of cell " + std::to_string(cell) + " does not fit its cell (ink "
            + std::to_string(ink.left + dx - cellLeft) + ".." + std::to_string(ink.right + dx - cellLeft) + " x "
            + std::to_string(ink.bottom + dy) + ".." + std::to_string(ink.top + dy) + ")";
        return false;
    }
    for (int y = ink.bottom; y <= ink.top; ++y)
        for (int x = ink.left; x <= ink.right; ++x)
            strip.values[static_cast<size_t>(y + dy) * static_cast<size_t>(strip.width)
                + static_cast<size_t>(x + dx)]
                = scratch.values[static_cast<size_t>(y) * static_cast<size_t>(scratch.width)
                    + static_cast<size_t>(x)];
    return true;
}

// One [1 2 1] / 4 pass along each axis: edges about a pixel softer than FreeType's own, which
// keeps the glyphs smooth when the engine scales them by non-whole factors.
void softenEdges(Mask& mask)
{
    const size_t width = static_cast<size_t>(mask.width);
    MaskValues source = mask.values;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            const size_t row = static_cast<size_t>(y) * width;
            const float left = x > 0 ? source[row + static_cast<size_t>(x - 1)] : 0.0f;
            const float right = x + 1 < mask.width ? source[row + static_cast<size_t>(x + 1)] : 0.0f;
            mask.values[row + static_cast<size_t>(x)] = (left + 2.0f * source[row + static_cast<size_t>(x)] + right) / 4.0f;
        }
    source = mask.values;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            const size_t at = static_cast<size_t>(y) * width + static_cast<size_t>(x);
            const float below = y > 0 ? source[at - width] : 0.0f;
            const float above = y + 1 < mask.height ? source[at + width] : 0.0f;
            mask.values[at] = (below + 2.0f * source[at] + above) / 4.0f;
        }
}

int centringShift(int low, int high, int cellLow)
{
    return cellLow + static_cast<int>(std::lround((FONT_CELL_SIDE - (high - low + 1)) / 2.0)) - low;
}

}  // namespace

bool drawDemoFont(Canvas& canvas, std::string& error)
{
    if (canvas.width != FONT_CELL_COUNT * FONT_CELL_SIDE || canvas.height != FONT_CELL_SIDE) {
        error = "the font strip must be 4096 x 128";
        return false;
    }
    Font font;
    if (!openFont(font, FONT_SANS_BOLD_PATH, error))
        return false;
    Mask strip = makeMask(canvas);
    Mask scratch;
    bool ok = true;

    // The capitals share one baseline, set so that their ink (J and Q reach below it) sits in
    // the middle of the cell.
    int inkBottom = SCRATCH_HEIGHT;
    int inkTop = 0;
    for (int letter = 0; ok && letter < 26; ++letter) {
        ok = renderGlyph(font, static_cast<char>('A' + letter), scratch, error);
        const InkBox ink = measureInk(scratch);
        if (ok && !ink.empty()) {
            inkBottom = std::min(inkBottom, ink.bottom);
            inkTop = std::max(inkTop, ink.top);
        }
    }
    const int baselineShift = centringShift(inkBottom, inkTop, 0);
    for (int letter = 0; ok && letter < 26; ++letter) {
        ok = renderGlyph(font, static_cast<char>('A' + letter), scratch, error);
        if (!ok)
            break;
        const InkBox ink = measureInk(scratch);
        const int cell = FIRST_LETTER_CELL + letter;
        ok = placeGlyph(scratch, ink, cell, centringShift(ink.left, ink.right, cell * FONT_CELL_SIDE),
            baselineShift, strip, error);
    }
    // The bar is centred both ways: it reaches below the baseline.
    if (ok && (ok = renderGlyph(font, '|', scratch, error))) {
        const InkBox ink = measureInk(scratch);
        ok = placeGlyph(scratch, ink, BAR_CELL, centringShift(ink.left, ink.right, BAR_CELL * FONT_CELL_SIDE),
            centringShift(ink.bottom, ink.top, 0), strip, error);
    }
    // A round dot resting on the baseline: the face's own full stop is square.
    if (ok) {
        const float radius = DOT_DIAMETER * LETTER_EM / 2.0f;
        const float cx = (DOT_CELL + 0.5f) * FONT_CELL_SIDE;
        const float cy = SCRATCH_BASELINE + static_cast<float>(baselineShift) + radius;
        for (int y = 0; y < strip.height; ++y)
            for (int x = DOT_CELL * FONT_CELL_SIDE; x < (DOT_CELL + 1) * FONT_CELL_SIDE; ++x)
                strip.values[static_cast<size_t>(y) * static_cast<size_t>(strip.width) + static_cast<size_t>(x)]
                    = coverageFromDistance(
                        distanceToCircle(x + 0.5f, y + 0.5f, cx, cy, radius), 1.0f);
    }
    closeFont(font);
    if (!ok)
        return false;
    softenEdges(strip);
    compositeMask(canvas, strip, Rgb{1, 1, 1}, 1.0f);
    return true;
}
