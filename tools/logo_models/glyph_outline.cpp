// FreeType outlines flattened into polygons.
#include "tools/logo_models/glyph_outline.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H  // FT_Outline_Decompose

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::ceil, std::sqrt, std::hypot, std::fabs
#include <cstddef>    // std::ptrdiff_t

namespace {

// Bounds on the pieces of one curve, so a degenerate control point cannot explode the count.
constexpr int MAX_CURVE_PIECES = 64;
// Points closer than this (em) are one point.
constexpr double SAME_POINT_EM = 1e-7;
// A point this close (em) to the line between its neighbours is on a straight run: kept, it
// would only give the tessellator slivers.
constexpr double STRAIGHT_RUN_EM = 2e-4;

struct Flattener {
    Outline* outline;
    double scale;  // em per font unit
    double penX;   // font units
    double tolerance;  // font units
    Point2 last;
};

Point2 toPoint(const Flattener& f, const FT_Vector* v)
{
    return Point2{(static_cast<double>(v->x) + f.penX) * f.scale, static_cast<double>(v->y) * f.scale};
}

void addPoint(Flattener& f, Point2 p)
{
    f.outline->contours.back().push_back(p);
    f.last = p;
}

int piecesFor(double deviation, double tolerance)
{
    const int pieces = static_cast<int>(std::ceil(std::sqrt(deviation / tolerance)));
    return std::max(1, std::min(MAX_CURVE_PIECES, pieces));
}

int moveTo(const FT_Vector* to, void* user)
{
    Flattener& f = *static_cast<Flattener*>(user);
    f.outline->contours.emplace_back();
    addPoint(f, toPoint(f, to));
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    Flattener& f = *static_cast<Flattener*>(user);
    addPoint(f, toPoint(f, to));
    return 0;
}

// A quadratic strays at most |p0 - 2 p1 + p2| / 4 from its chord, and n pieces cut that by n^2.
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    Flattener& f = *static_cast<Flattener*>(user);
    const Point2 p0 = f.last;
    const Point2 p1 = toPoint(f, control);
    const Point2 p2 = toPoint(f, to);
    const double deviation = std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y) / 4.0;
    const int pieces = piecesFor(deviation, f.tolerance * f.scale);
    for (int i = 1; i <= pieces; ++i) {
        const double t = static_cast<double>(i) / pieces;
        const double a = (1 - t) * (1 - t), b = 2 * (1 - t) * t, c = t * t;
        addPoint(f, Point2{a * p0.x + b * p1.x + c * p2.x, a * p0.y + b * p1.y + c * p2.y});
    }
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    Flattener& f = *static_cast<Flattener*>(user);
    const Point2 p0 = f.last;
    const Point2 p1 = toPoint(f, control1);
    const Point2 p2 = toPoint(f, control2);
    const Point2 p3 = toPoint(f, to);
    const double d1 = std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
    const double d2 = std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
    const int pieces = piecesFor(0.75 * std::max(d1, d2), f.tolerance * f.scale);
    for (int i = 1; i <= pieces; ++i) {
        const double t = static_cast<double>(i) / pieces, s = 1 - t;
        const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        addPoint(f, Point2{a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    return 0;
}

bool samePoint(Point2 a, Point2 b)
{
    return std::hypot(a.x - b.x, a.y - b.y) < SAME_POINT_EM;
}

// Drops repeated points and points on a straight run, until none is left to drop.
Contour cleanContour(const Contour& input)
{
    Contour c;
    for (const Point2& p : input)
        if (c.empty() || !samePoint(c.back(), p))
            c.push_back(p);
    while (c.size() > 1 && samePoint(c.front(), c.back()))
        c.pop_back();
    bool dropped = true;
    while (dropped && c.size() > 3) {
        dropped = false;
        for (size_t i = 0; i < c.size() && c.size() > 3; ++i) {
            const Point2 a = c[(i + c.size() - 1) % c.size()];
            const Point2 b = c[i];
            const Point2 d = c[(i + 1) % c.size()];
            const double ux = b.x - a.x, uy = b.y - a.y, vx = d.x - b.x, vy = d.y - b.y;
            const double wx = d.x - a.x, wy = d.y - a.y;
            const double span = std::hypot(wx, wy);
            const bool between = ux * vx + uy * vy > 0;
            if (span <= 0 || (between && std::fabs(ux * wy - uy * wx) / span < STRAIGHT_RUN_EM)) {
                c.erase(c.begin() + static_cast<std::ptrdiff_t>(i));
                dropped = true;
            }
        }
    }
    return c;
}

}  // namespace

bool outlineText(Font& font, const char* text, double tracking, double tolerance, Outline& outline,
    std::string& error)
{
    outline = Outline{};
    FT_Face face = font.face;
    if (!face) {
        error = "no font";
        return false;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    const double unitsPerEm = static_cast<double>(face->units_per_EM);
    Flattener flattener{&outline, 1.0 / unitsPerEm, 0.0, tolerance * unitsPerEm, Point2{0, 0}};
    FT_Outline_Funcs funcs = {};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;

    FT_UInt previous = 0;
    for (const char* c = text; *c; ++c) {
        const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(static_cast<unsigned char>(*c)));
        if (previous != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNSCALED, &kern) == 0)
                flattener.penX += static_cast<double>(kern.x);
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
            error = std::string("FreeType cannot load the glyph of '") + *c + "'";
            return false;
        }
        if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
            error = std::string("the glyph of '") + *c + "' has no outline";
            return false;
        }
        if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &flattener) != 0) {
            error = std::string("FreeType cannot walk the outline of '") + *c + "'";
            return false;
        }
        flattener.penX += static_cast<double>(face->glyph->metrics.horiAdvance);
        if (c[1])
            flattener.penX += tracking * unitsPerEm;
        previous = glyph;
    }

    std::vector<Contour> cleaned;
    for (const Contour& c : outline.contours) {
        Contour kept = cleanContour(c);
        if (kept.size() >= 3)
            cleaned.push_back(std::move(kept));
    }
    outline.contours = std::move(cleaned);
    if (outline.contours.empty()) {
        error = std::string("\"") + text + "\" has no outline";
        return false;
    }
    outline.minX = outline.maxX = outline.contours[0][0].x;
    outline.minY = outline.maxY = outline.contours[0][0].y;
    for (const Contour& c : outline.contours)
        for (const Point2& p : c) {
            outline.minX = std::min(outline.minX, p.x);
            outline.maxX = std::max(outline.maxX, p.x);
            outline.minY = std::min(outline.minY, p.y);
            outline.maxY = std::max(outline.maxY, p.y);
        }
    return true;
}

void fitOutline(Outline& outline, double width)
{
    const double s = width / (outline.maxX - outline.minX);
    const double cx = 0.5 * (outline.minX + outline.maxX);
    const double cy = 0.5 * (outline.minY + outline.maxY);
    for (Contour& c : outline.contours)
        for (Point2& p : c)
            p = Point2{(p.x - cx) * s, (p.y - cy) * s};
    outline.minX = (outline.minX - cx) * s;
    outline.maxX = (outline.maxX - cx) * s;
    outline.minY = (outline.minY - cy) * s;
    outline.maxY = (outline.maxY - cy) * s;
}
