// Text for the data generators: FreeType outlines rendered into a coverage mask of a canvas,
// placed and sized in the canvas's frame units (see canvas.h), so lettering keeps its shape on
// pictures that the engine stretches to the screen.
#pragma once

#include "tools/common/canvas.h"

#include <string>

struct FT_LibraryRec_;  // FreeType's handles, so users need not include its headers
struct FT_FaceRec_;

struct Font {
    FT_LibraryRec_* library = nullptr;
    FT_FaceRec_* face = nullptr;
};

struct TextStyle {
    float size = 32;     // em size in frame units
    float tracking = 0;  // extra space after every letter, frame units
    float weight = 0;    // stroke width added in frame units; negative thins the strokes
};

// Fonts the generators use: Debian's fonts-dejavu-core.
constexpr const char* FONT_SANS_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* FONT_SANS_BOLD_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* FONT_SERIF_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

bool openFont(Font& font, const char* path, std::string& error);
void closeFont(Font& font);

// Advance width of `text` (ASCII) in frame units, with kerning and tracking; the tracking
// after the last letter is not counted, so centring uses the visible width.
float measureText(Font& font, const char* text, const TextStyle& style);

// Adds the coverage of `text` to `mask` (a mask of `canvas`), its pen starting at frame
// position `x` on the baseline `baseline`. False with `error` set when FreeType fails.
bool drawText(Font& font, const Canvas& canvas, Mask& mask, const char* text,
    const TextStyle& style, float x, float baseline, std::string& error);

// drawText with the text centred on `centreX`.
bool drawTextCentred(Font& font, const Canvas& canvas, Mask& mask, const char* text,
    const TextStyle& style, float centreX, float baseline, std::string& error);
