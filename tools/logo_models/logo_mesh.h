// Solid meshes for the logo models: lettering extruded into closed solids (optionally with a
// chamfer at both faces), glowing inlay bands that follow the letters' edges, and a faceted
// mirror ball. Everything is emitted as separate triangles (three vertices each, no sharing),
// wound counter-clockwise seen from outside, with outward normals.
//
// Space: the lettering lies in the x-z plane of the model (x right, z up, as the outline's x
// and y), its front faces -y and its back +y; scenes turn models 270 degrees about x, so +z
// ends up on screen up and the front towards the viewer. Lengths are .3dm file units.
#pragma once

#include "tools/logo_models/glyph_outline.h"

#include <string>
#include <vector>

struct Vec3 {
    double x, y, z;
};

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    double u, v;
};

struct Mesh {
    std::vector<float> positions;  // 3 per vertex
    std::vector<float> normals;    // 3 per vertex
    std::vector<float> texcoords;  // 2 per vertex
    int triangleCount() const { return static_cast<int>(positions.size() / 9); }
};

// Appends the triangle, swapping b and c when its winding does not face `outward`.
void addTriangle(Mesh& mesh, const MeshVertex& a, const MeshVertex& b, const MeshVertex& c, Vec3 outward);

// One closed contour of a shape, and which side of it is filled.
struct ShapeContour {
    Contour points;
    bool filledOnLeft = false;  // walking the points in order, the solid is on the left
};

// Sorts the outline's contours into outer ones and holes (even-odd nesting) and records the
// filled side of each, so offsets and wall normals go the right way whatever the font's
// contour direction.
std::vector<ShapeContour> shapeFromOutline(const Outline& outline);

// The contour moved `inset` towards its filled side, one point per contour point: mitred, the
// miter capped at MITER_LIMIT times the inset at convex corners and at WRAPPED_MITER_LIMIT
// where the solid wraps round the corner, and with loops where the outline turns tighter than
// the inset collapsed onto their crossing.
constexpr double MITER_LIMIT = 3.0;
constexpr double WRAPPED_MITER_LIMIT = 1.5;
Contour insetContour(const ShapeContour& contour, double inset);

// One step of an extrusion profile: every contour inset by `inset`, at depth `y`.
struct ProfileRing {
    double inset;
    double y;
};

// How the faces map the texture: caps planar over the shape's box, walls along the contour;
// one texture unit spans `span` file units.
struct TextureFrame {
    double minX, minZ;
    double span;
};

// Closed solid: the front cap (all contours at the first ring's inset) at the first ring's y,
// walls between consecutive rings, the back cap at the last ring. The rings go from the front
// (smallest y) to the back. Walls are smooth across contour corners flatter than
// `smoothAngleDegrees`. False with `error` set when an inset outline crosses itself or the
// tessellator fails.
bool addExtrudedShape(Mesh& mesh, const std::vector<ShapeContour>& shape, const std::vector<ProfileRing>& rings,
    const TextureFrame& frame, double smoothAngleDegrees, std::string& error);

// Closed bands along every contour between insets `innerInset` and `outerInset` (the outer
// one further into the solid), from depth `yFace` (the visible face, normal pointing away from
// `yBase`) to `yBase`. Texture u runs along the band, v = 0 at its outer edge and 1 at its
// inner edge.
bool addInlayBands(Mesh& mesh, const std::vector<ShapeContour>& shape, double innerInset, double outerInset,
    double yFace, double yBase, const TextureFrame& frame, std::string& error);

// True when some segment of the contours crosses another one (touching ends excepted).
bool contoursCross(const std::vector<Contour>& contours);

// A mirror ball of `radius`: `bands` rings of flat tiles from pole to pole, the tile count of
// each ring following its circumference (`tilesAtEquator` on the widest), a flat cap at each
// pole, and a dark core sphere just inside. Every tile maps the texture's whole width (u 0..1)
// and its height inside the grout, so rings meet without a dark seam; the core maps the texel
// at (0, 0).
void addMirrorBall(Mesh& mesh, double radius, int bands, int tilesAtEquator);
