// Lettering as polygons: the glyph outlines of a line of text, read with FreeType and with their
// curves flattened into straight segments.
//
// Units: em (the font's em square is 1 x 1), pen starting at x = 0 on the baseline y = 0, y up.
#pragma once

#include "tools/common/text_render.h"

#include <string>
#include <vector>

struct Point2 {
    double x, y;
};

using Contour = std::vector<Point2>;  // closed: the last point joins the first

struct Outline {
    std::vector<Contour> contours;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;  // bounds of all points
};

// The outline of `text` (ASCII) with kerning and `tracking` em after every letter but the last.
// A curve is cut into straight pieces that stray at most `tolerance` em from it. Repeated points
// and points on a straight line between their neighbours are dropped. False with `error` set
// when FreeType fails or the text has no outline.
bool outlineText(Font& font, const char* text, double tracking, double tolerance, Outline& outline,
    std::string& error);

// Scales the outline to `width` and moves its bounding box's centre to the origin.
void fitOutline(Outline& outline, double width);
