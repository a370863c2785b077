// Extruded lettering, inlay bands and the mirror ball.
#include "tools/logo_models/logo_mesh.h"

#include "platform/gl_api.h"  // the GLU tessellator (needs no GL context)

#include <algorithm>  // std::max
#include <cmath>
#include <deque>      // stable storage for the tessellator's vertices

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double TINY = 1e-12;
// Sine of the angle below which an inset that turns straight back is a spike.
constexpr double SPIKE_SINE = 1e-6;
// Twice the area, relative to the longest side squared, below which a face triangle is a
// sliver along a line.
constexpr double SLIVER_RATIO = 1e-9;
// The mirror ball's core sits below the deepest tile plane and the deepest ring gap.
constexpr double CORE_RADIUS = 0.95;
// A tile's v starts and ends this far inside the texture, past its grout: the grout of two
// rings would meet in one dark seam along each ring, and where a seam runs through the ball's
// middle the scene's radial blur drags it out into a black ray. Between the tiles of a ring
// the grout stays.
constexpr double RING_EDGE_V = 0.06;

Vec3 add(Vec3 a, Vec3 b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 sub(Vec3 a, Vec3 b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 scale(Vec3 a, double s) { return Vec3{a.x * s, a.y * s, a.z * s}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double length(Vec3 a) { return std::sqrt(dot(a, a)); }
Vec3 normalized(Vec3 a)
{
    const double l = length(a);
    return l > TINY ? scale(a, 1.0 / l) : a;
}

void appendVertex(Mesh& mesh, const MeshVertex& v)
{
    mesh.positions.push_back(static_cast<float>(v.position.x));
    mesh.positions.push_back(static_cast<float>(v.position.y));
    mesh.positions.push_back(static_cast<float>(v.position.z));
    mesh.normals.push_back(static_cast<float>(v.normal.x));
    mesh.normals.push_back(static_cast<float>(v.normal.y));
    mesh.normals.push_back(static_cast<float>(v.normal.z));
    mesh.texcoords.push_back(static_cast<float>(v.u));
    mesh.texcoords.push_back(static_cast<float>(v.v));
}

// Lettering point at depth y.
Vec3 placed(Point2 p, double y) { return Vec3{p.x, y, p.y}; }

double signedArea(const Contour& c)
{
    double area = 0;
    for (size_t i = 0; i < c.size(); ++i) {
        const Point2 a = c[i], b = c[(i + 1) % c.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return 0.5 * area;
}

bool pointInside(Point2 p, const Contour& c)
{
    bool inside = false;
    for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
        const Point2 a = c[i], b = c[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// Unit normal of the segment a->b pointing away from the filled side.
Point2 outwardNormal(Point2 a, Point2 b, bool filledOnLeft)
{
    double dx = b.x - a.x, dy = b.y - a.y;
    const double l = std::hypot(dx, dy);
    if (l < TINY)
        return Point2{0, 0};
    dx /= l;
    dy /= l;
    // Left of (dx, dy) is (-dy, dx).
    return filledOnLeft ? Point2{dy, -dx} : Point2{-dy, dx};
}

// Cumulative length along the contour at each point, with the closing length at index n.
std::vector<double> arcLengths(const Contour& c)
{
    std::vector<double> arc(c.size() + 1, 0.0);
    for (size_t i = 0; i < c.size(); ++i) {
        const Point2 a = c[i], b = c[(i + 1) % c.size()];
        arc[i + 1] = arc[i] + std::hypot(b.x - a.x, b.y - a.y);
    }
    return arc;
}

// The GLU tessellator's output: triangles as indices into the points handed in, contour after
// contour. The vertex data GLU passes back points into `ids`.
struct Tessellation {
    std::vector<size_t> ids;
    std::deque<size_t> added;  // vertices GLU makes where edges cross
    std::vector<size_t> corners;
    bool crossed = false;
    GLenum failure = 0;
};

void GLAPIENTRY tessBegin(GLenum, void*) {}
void GLAPIENTRY tessEnd(void*) {}
// With an edge-flag callback the tessellator emits plain triangles only.
void GLAPIENTRY tessEdgeFlag(GLboolean, void*) {}

void GLAPIENTRY tessVertex(void* vertex, void* user)
{
    static_cast<Tessellation*>(user)->corners.push_back(*static_cast<const size_t*>(vertex));
}

// Asked for only where edges cross or points coincide: the outline is not simple, which the
// callers reject.
void GLAPIENTRY tessCombine(GLdouble[3], void*[4], GLfloat[4], void** out, void* user)
{
    Tessellation& t = *static_cast<Tessellation*>(user);
    t.crossed = true;
    t.added.push_back(0);
    *out = &t.added.back();
}

void GLAPIENTRY tessError(GLenum code, void* user)
{
    static_cast<Tessellation*>(user)->failure = code;
}

// Triangulates the region the contours enclose (odd winding) into corner indices of the
// points, numbered contour after contour.
bool tessellate(const std::vector<Contour>& contours, std::vector<size_t>& corners, std::string& error)
{
    Tessellation t;
    std::vector<std::vector<GLdouble>> coords;
    for (const Contour& c : contours)
        for (const Point2& p : c) {
            t.ids.push_back(t.ids.size());
            coords.push_back({p.x, p.y, 0.0});
        }
    GLUtesselator* tess = gluNewTess();
    if (!tess) {
        error = "gluNewTess failed";
        return false;
    }
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(tessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(tessVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(tessEnd));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(tessEdgeFlag));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(tessCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(tessError));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    gluTessBeginPolygon(tess, &t);
    size_t index = 0;
    for (const Contour& c : contours) {
        gluTessBeginContour(tess);
        for (size_t i = 0; i < c.size(); ++i, ++index)
            gluTessVertex(tess, coords[index].data(), &t.ids[index]);
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (t.failure != 0) {
        error = std::string("the tessellator failed: ") + reinterpret_cast<const char*>(gluErrorString(t.failure));
        return false;
    }
    if (t.crossed) {
        error = "the outline crosses itself";
        return false;
    }
    if (t.corners.size() % 3 != 0) {
        error = "the tessellator left an incomplete triangle";
        return false;
    }
    corners = std::move(t.corners);
    return true;
}

// A contour without the repeated points that collapsed loops leave (the tessellator would
// take them for crossings).
Contour withoutRepeats(const Contour& ring)
{
    Contour c;
    for (const Point2& p : ring)
        if (c.empty() || p.x != c.back().x || p.y != c.back().y)
            c.push_back(p);
    while (c.size() > 1 && c.front().x == c.back().x && c.front().y == c.back().y)
        c.pop_back();
    return c;
}

bool isSliver(const std::vector<Point2>& points, const size_t* t, int& middle)
{
    const Point2 p[3] = {points[t[0]], points[t[1]], points[t[2]]};
    const double area = std::fabs((p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x));
    double longest = 0;
    for (int k = 0; k < 3; ++k) {
        const Point2 a = p[(k + 1) % 3], b = p[(k + 2) % 3];
        const double side = std::hypot(b.x - a.x, b.y - a.y);
        if (side > longest) {
            longest = side;
            middle = k;  // the corner opposite the longest side lies between the other two
        }
    }
    return area <= SLIVER_RATIO * longest * longest;
}

// The tessellator joins points of different contour parts that lie on one line with triangles
// of no area; they would leave their edges without partners. Each such sliver is flipped with
// the triangle across its long side (a, c) and third corner d into (a, b, d) and (b, c, d),
// where b is the sliver's middle corner.
void flipSlivers(const std::vector<Point2>& points, std::vector<size_t>& corners)
{
    const size_t triangles = corners.size() / 3;
    for (size_t pass = 0; pass < triangles; ++pass) {
        bool flipped = false;
        for (size_t t = 0; t < triangles && !flipped; ++t) {
            int middle = 0;
            if (!isSliver(points, &corners[t * 3], middle))
                continue;
            const size_t b = corners[t * 3 + middle];
            const size_t a = corners[t * 3 + (middle + 1) % 3], c = corners[t * 3 + (middle + 2) % 3];
            for (size_t u = 0; u < triangles && !flipped; ++u) {
                if (u == t)
                    continue;
                size_t* other = &corners[u * 3];
                int hasA = -1, hasC = -1;
                for (int k = 0; k < 3; ++k) {
                    hasA = other[k] == a ? k : hasA;
                    hasC = other[k] == c ? k : hasC;
                }
                if (hasA < 0 || hasC < 0)
                    continue;
                const size_t d = other[3 - hasA - hasC];
                corners[t * 3] = a;
                corners[t * 3 + 1] = b;
                corners[t * 3 + 2] = d;
                other[0] = b;
                other[1] = c;
                other[2] = d;
                flipped = true;
            }
        }
        if (!flipped)
            return;
    }
}

// A flat face at depth y over the region the rings enclose, facing `normal`. Texture: planar,
// or with `bandV` given, u planar and v from the ring each corner comes from.
bool addFace(Mesh& mesh, const std::vector<Contour>& rings, double y, Vec3 normal, const TextureFrame& frame,
    const std::vector<double>* bandV, std::string& error)
{
    std::vector<Contour> contours;
    std::vector<double> cornerV;
    for (size_t r = 0; r < rings.size(); ++r) {
        Contour c = withoutRepeats(rings[r]);
        if (c.size() < 3)
            continue;
        for (size_t i = 0; i < c.size(); ++i)
            cornerV.push_back(bandV ? (*bandV)[r] : 0.0);
        contours.push_back(std::move(c));
    }
    std::vector<Point2> points;
    for (const Contour& c : contours)
        points.insert(points.end(), c.begin(), c.end());
    std::vector<size_t> corners;
    if (!tessellate(contours, corners, error))
        return false;
    flipSlivers(points, corners);
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        MeshVertex v[3];
        for (int k = 0; k < 3; ++k) {
            const Point2 p = points[corners[i + k]];
            v[k] = MeshVertex{placed(p, y), normal, (p.x - frame.minX) / frame.span,
                bandV ? cornerV[corners[i + k]] : (p.y - frame.minZ) / frame.span};
        }
        addTriangle(mesh, v[0], v[1], v[2], normal);
    }
    return true;
}

// One strip of quads between two versions of a contour: `near` at depth yNear and `far` at
// yFar, both with one point per contour point. Each quad's normal is oriented by `side`: away
// from the contour's filled side (+1) or towards it (-1). Normals are shared between
// neighbouring quads that bend by less than `smoothCos`.
void addStrip(Mesh& mesh, const ShapeContour& contour, const Contour& nearRing, double yNear,
    const Contour& farRing, double yFar, double side, double vNear, double vFar, const TextureFrame& frame,
    double smoothCos)
{
    const size_t n = contour.points.size();
    const std::vector<double> arc = arcLengths(contour.points);
    std::vector<Vec3> faceNormals(n);
    for (size_t j = 0; j < n; ++j) {
        const size_t k = (j + 1) % n;
        const Vec3 a = placed(nearRing[j], yNear), b = placed(nearRing[k], yNear);
        const Vec3 c = placed(farRing[k], yFar), d = placed(farRing[j], yFar);
        // The side comes from the inset's own segment: where a thin stroke's inset turned over, it
        // runs against the outline, and the solid is still on the contour's filled side of it.
        Point2 o = outwardNormal(nearRing[j], nearRing[k], contour.filledOnLeft);
        if (o.x == 0 && o.y == 0)
            o = outwardNormal(farRing[j], farRing[k], contour.filledOnLeft);
        if (o.x == 0 && o.y == 0)
            o = outwardNormal(contour.points[j], contour.points[k], contour.filledOnLeft);
        const Vec3 hint = Vec3{o.x * side, 0.0, o.y * side};
        Vec3 normal = normalized(cross(sub(c, a), sub(d, b)));
        if (length(normal) < 0.5)
            normal = hint;
        if (dot(normal, hint) < 0)
            normal = scale(normal, -1.0);
        faceNormals[j] = normal;
    }
    auto shared = [&](size_t face, size_t other) {
        const Vec3 a = faceNormals[face], b = faceNormals[other];
        return dot(a, b) >= smoothCos ? normalized(add(a, b)) : a;
    };
    for (size_t j = 0; j < n; ++j) {
        const size_t k = (j + 1) % n;
        const Vec3 nj = shared(j, (j + n - 1) % n);
        const Vec3 nk = shared(j, k);
        const double u0 = arc[j] / frame.span, u1 = arc[j + 1] / frame.span;
        const MeshVertex a{placed(nearRing[j], yNear), nj, u0, vNear};
        const MeshVertex b{placed(nearRing[k], yNear), nk, u1, vNear};
        const MeshVertex c{placed(farRing[k], yFar), nk, u1, vFar};
        const MeshVertex d{placed(farRing[j], yFar), nj, u0, vFar};
        addTriangle(mesh, a, b, c, faceNormals[j]);
        addTriangle(mesh, a, c, d, faceNormals[j]);
    }
}

bool segmentsCross(Point2 a, Point2 b, Point2 c, Point2 d)
{
    auto orient = [](Point2 p, Point2 q, Point2 r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    const double d1 = orient(a, b, c), d2 = orient(a, b, d), d3 = orient(c, d, a), d4 = orient(c, d, b);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool crossingPoint(Point2 a, Point2 b, Point2 c, Point2 d, Point2& at)
{
    if (!segmentsCross(a, b, c, d))
        return false;
    const double rx = b.x - a.x, ry = b.y - a.y, sx = d.x - c.x, sy = d.y - c.y;
    const double t = ((c.x - a.x) * sy - (c.y - a.y) * sx) / (rx * sy - ry * sx);
    at = Point2{a.x + t * rx, a.y + t * ry};
    return true;
}

// An inset bends back on itself where the outline turns tighter than the inset (a swallowtail
// at a notch, or a stroke thinner than twice the inset): the points of such a loop collapse
// onto the crossing, so the inset keeps one point per outline point and the walls between
// insets stay closed. Crossings further apart than half the contour are left for the caller.
void removeLocalLoops(Contour& c)
{
    const size_t n = c.size();
    for (size_t pass = 0; pass < n; ++pass) {
        // The tightest loop first: a wider one may only exist because of it.
        size_t bestStart = 0, bestGap = 0;
        Point2 bestAt{0, 0};
        for (size_t i = 0; i < n; ++i)
            for (size_t gap = 2; gap <= n / 2 && (bestGap == 0 || gap < bestGap); ++gap) {
                const size_t j = (i + gap) % n;
                Point2 at;
                if (crossingPoint(c[i], c[(i + 1) % n], c[j], c[(j + 1) % n], at)) {
                    bestStart = i;
                    bestGap = gap;
                    bestAt = at;
                }
            }
        if (bestGap == 0)
            return;
        for (size_t k = 1; k <= bestGap; ++k)
            c[(bestStart + k) % n] = bestAt;
    }
}

bool samePoint(Point2 a, Point2 b)
{
    return a.x == b.x && a.y == b.y;
}

// A stroke thinner than twice the inset can collapse into a spike: the inset runs out along a
// line and straight back. The tip moves onto the point before it, and again until none is left.
void removeSpikes(Contour& c)
{
    const size_t n = c.size();
    for (size_t pass = 0; pass < n; ++pass) {
        bool found = false;
        for (size_t i = 0; i < n; ++i) {
            size_t before = (i + n - 1) % n, after = (i + 1) % n;
            while (before != i && samePoint(c[before], c[i]))
                before = (before + n - 1) % n;
            while (after != i && samePoint(c[after], c[i]))
                after = (after + 1) % n;
            if (before == i || after == i || samePoint(c[before], c[i]))
                continue;
            const double ux = c[i].x - c[before].x, uy = c[i].y - c[before].y;
            const double vx = c[after].x - c[i].x, vy = c[after].y - c[i].y;
            const double lengths = std::hypot(ux, uy) * std::hypot(vx, vy);
            if (ux * vx + uy * vy < 0 && std::fabs(ux * vy - uy * vx) <= SPIKE_SINE * lengths) {
                c[i] = c[before];
                found = true;
            }
        }
        if (!found)
            return;
    }
}

Vec3 spherePoint(double latitude, double longitude, double radius)
{
    return Vec3{radius * std::cos(latitude) * std::cos(longitude), radius * std::cos(latitude) * std::sin(longitude),
        radius * std::sin(latitude)};
}

}  // namespace

void addTriangle(Mesh& mesh, const MeshVertex& a, const MeshVertex& b, const MeshVertex& c, Vec3 outward)
{
    const Vec3 winding = cross(sub(b.position, a.position), sub(c.position, a.position));
    if (dot(winding, winding) == 0.0)
        return;  // collapsed corners of an inset leave triangles without area
    appendVertex(mesh, a);
    if (dot(winding, outward) >= 0) {
        appendVertex(mesh, b);
        appendVertex(mesh, c);
    } else {
        appendVertex(mesh, c);
        appendVertex(mesh, b);
    }
}

std::vector<ShapeContour> shapeFromOutline(const Outline& outline)
{
    std::vector<ShapeContour> shape;
    for (size_t i = 0; i < outline.contours.size(); ++i) {
        const Contour& c = outline.contours[i];
        int depth = 0;
        for (size_t j = 0; j < outline.contours.size(); ++j)
            if (j != i && pointInside(c[0], outline.contours[j]))
                ++depth;
        const bool hole = depth % 2 == 1;
        const bool counterClockwise = signedArea(c) > 0;
        shape.push_back(ShapeContour{c, counterClockwise != hole});
    }
    return shape;
}

Contour insetContour(const ShapeContour& contour, double inset)
{
    const Contour& c = contour.points;
    const size_t n = c.size();
    Contour moved(n);
    for (size_t i = 0; i < n; ++i) {
        const Point2 prev = c[(i + n - 1) % n], p = c[i], next = c[(i + 1) % n];
        // Inward normals of both edges; the miter runs along their bisector.
        const Point2 o0 = outwardNormal(prev, p, contour.filledOnLeft);
        const Point2 o1 = outwardNormal(p, next, contour.filledOnLeft);
        double mx = -(o0.x + o1.x), my = -(o0.y + o1.y);
        const double l = std::hypot(mx, my);
        if (l < TINY) {
            moved[i] = p;
            continue;
        }
        mx /= l;
        my /= l;
        // At a convex corner the offset edges meet at the miter. Where the solid wraps round the
        // corner the true inset is an arc around it and a long miter would spike into the solid,
        // so there the miter is capped shorter; square corners keep theirs.
        const double turn = (p.x - prev.x) * (next.y - p.y) - (p.y - prev.y) * (next.x - p.x);
        const bool convex = contour.filledOnLeft ? turn > 0 : turn < 0;
        const double limit = convex ? MITER_LIMIT : WRAPPED_MITER_LIMIT;
        const double cosHalf = -(mx * o0.x + my * o0.y);
        const double reach = std::min(limit, 1.0 / std::max(cosHalf, 1.0 / limit));
        moved[i] = Point2{p.x + mx * reach * inset, p.y + my * reach * inset};
    }
    removeLocalLoops(moved);
    removeSpikes(moved);
    return moved;
}

bool contoursCross(const std::vector<Contour>& contours)
{
    for (size_t a = 0; a < contours.size(); ++a)
        for (size_t b = a; b < contours.size(); ++b) {
            const Contour& ca = contours[a];
            const Contour& cb = contours[b];
            for (size_t i = 0; i < ca.size(); ++i)
                for (size_t j = (a == b ? i + 1 : 0); j < cb.size(); ++j) {
                    if (a == b && (j == i + 1 || (i == 0 && j == ca.size() - 1)))
                        continue;  // neighbours share a point
                    if (segmentsCross(ca[i], ca[(i + 1) % ca.size()], cb[j], cb[(j + 1) % cb.size()]))
                        return true;
                }
        }
    return false;
}

bool addExtrudedShape(Mesh& mesh, const std::vector<ShapeContour>& shape, const std::vector<ProfileRing>& rings,
    const TextureFrame& frame, double smoothAngleDegrees, std::string& error)
{
    if (rings.size() < 2) {
        error = "an extrusion needs two rings";
        return false;
    }
    std::vector<std::vector<Contour>> ringContours(rings.size());
    for (size_t k = 0; k < rings.size(); ++k) {
        for (const ShapeContour& c : shape)
            ringContours[k].push_back(insetContour(c, rings[k].inset));
        if (contoursCross(ringContours[k])) {
            error = "the outline inset by " + std::to_string(rings[k].inset) + " crosses itself";
            return false;
        }
    }
    if (!addFace(mesh, ringContours.front(), rings.front().y, Vec3{0, -1, 0}, frame, nullptr, error)
        || !addFace(mesh, ringContours.back(), rings.back().y, Vec3{0, 1, 0}, frame, nullptr, error))
        return false;
    const double smoothCos = std::cos(smoothAngleDegrees * PI / 180.0);
    double v = 0;
    for (size_t k = 0; k + 1 < rings.size(); ++k) {
        const double step = std::hypot(rings[k + 1].inset - rings[k].inset, rings[k + 1].y - rings[k].y);
        for (size_t c = 0; c < shape.size(); ++c)
            addStrip(mesh, shape[c], ringContours[k][c], rings[k].y, ringContours[k + 1][c], rings[k + 1].y, 1.0,
                v / frame.span, (v + step) / frame.span, frame, smoothCos);
        v += step;
    }
    return true;
}

bool addInlayBands(Mesh& mesh, const std::vector<ShapeContour>& shape, double innerInset, double outerInset,
    double yFace, double yBase, const TextureFrame& frame, std::string& error)
{
    std::vector<Contour> edgeSide, innerSide;
    for (const ShapeContour& c : shape) {
        edgeSide.push_back(insetContour(c, innerInset));
        innerSide.push_back(insetContour(c, outerInset));
    }
    // The band is the region between the two insets: both sets together, odd winding.
    std::vector<Contour> both = edgeSide;
    both.insert(both.end(), innerSide.begin(), innerSide.end());
    if (contoursCross(both)) {
        error = "the inlay bands cross themselves";
        return false;
    }
    std::vector<double> bandV(edgeSide.size(), 0.0);
    bandV.resize(both.size(), 1.0);
    const double faceSign = yFace < yBase ? -1.0 : 1.0;
    if (!addFace(mesh, both, yFace, Vec3{0, faceSign, 0}, frame, &bandV, error)
        || !addFace(mesh, both, yBase, Vec3{0, -faceSign, 0}, frame, &bandV, error))
        return false;
    const double flat = std::cos(PI / 6.0);
    for (size_t ci = 0; ci < shape.size(); ++ci) {
        // The band's two walls: towards the letter's edge and towards its middle.
        addStrip(mesh, shape[ci], edgeSide[ci], yFace, edgeSide[ci], yBase, 1.0, 0.0, 0.0, frame, flat);
        addStrip(mesh, shape[ci], innerSide[ci], yFace, innerSide[ci], yBase, -1.0, 1.0, 1.0, frame, flat);
    }
    return true;
}

void addMirrorBall(Mesh& mesh, double radius, int bands, int tilesAtEquator)
{
    const double step = PI / bands;
    // Rings of tiles; the first and last band are the polar caps.
    for (int band = 1; band + 1 < bands; ++band) {
        const double lat0 = -PI / 2 + band * step, lat1 = lat0 + step;
        const double middle = 0.5 * (lat0 + lat1);
        const int tiles = std::max(3, static_cast<int>(std::lround(tilesAtEquator * std::cos(middle))));
        // Each ring half a tile round from the last, like bricks: where the rings have about
        // as many tiles, a small turn would line their joints up into one long seam.
        const double twist = PI * band / tiles;
        for (int t = 0; t < tiles; ++t) {
            const double lon0 = twist + 2 * PI * t / tiles, lon1 = twist + 2 * PI * (t + 1) / tiles;
            const Vec3 a = spherePoint(lat0, lon0, radius), b = spherePoint(lat0, lon1, radius);
            const Vec3 c = spherePoint(lat1, lon1, radius), d = spherePoint(lat1, lon0, radius);
            Vec3 normal = normalized(cross(sub(c, a), sub(d, b)));
            if (dot(normal, add(a, c)) < 0)
                normal = scale(normal, -1.0);
            addTriangle(mesh, MeshVertex{a, normal, 0, RING_EDGE_V}, MeshVertex{b, normal, 1, RING_EDGE_V},
                MeshVertex{c, normal, 1, 1 - RING_EDGE_V}, normal);
            addTriangle(mesh, MeshVertex{a, normal, 0, RING_EDGE_V}, MeshVertex{c, normal, 1, 1 - RING_EDGE_V},
                MeshVertex{d, normal, 0, 1 - RING_EDGE_V}, normal);
        }
    }
    // Polar caps: a fan over the ring's edge, flat.
    const int capTiles = std::max(3, static_cast<int>(std::lround(tilesAtEquator * std::sin(step))));
    for (int pole = -1; pole <= 1; pole += 2) {
        const double lat = pole * (PI / 2 - step);
        const Vec3 normal{0, 0, static_cast<double>(pole)};
        const Vec3 centre{0, 0, radius * std::sin(lat)};
        for (int t = 0; t < capTiles; ++t) {
            const double lon0 = 2 * PI * t / capTiles, lon1 = 2 * PI * (t + 1) / capTiles;
            const MeshVertex a{centre, normal, 0.5, 0.5};
            const MeshVertex b{spherePoint(lat, lon0, radius), normal, 0.5 + 0.5 * std::cos(lon0), 0.5 + 0.5 * std::sin(lon0)};
            const MeshVertex c{spherePoint(lat, lon1, radius), normal, 0.5 + 0.5 * std::cos(lon1), 0.5 + 0.5 * std::sin(lon1)};
            addTriangle(mesh, a, b, c, normal);
        }
    }
    // The dark core behind the slivers between rings.
    const double coreRadius = radius * CORE_RADIUS;
    const int coreBands = (bands + 1) / 2, coreSegments = 2 * coreBands;  // hidden: coarse
    for (int i = 0; i < coreBands; ++i)
        for (int j = 0; j < coreSegments; ++j) {
            const double lat0 = -PI / 2 + i * PI / coreBands, lat1 = lat0 + PI / coreBands;
            const double lon0 = 2 * PI * j / coreSegments, lon1 = 2 * PI * (j + 1) / coreSegments;
            const Vec3 p[4] = {spherePoint(lat0, lon0, coreRadius), spherePoint(lat0, lon1, coreRadius),
                spherePoint(lat1, lon1, coreRadius), spherePoint(lat1, lon0, coreRadius)};
            MeshVertex v[4];
            for (int k = 0; k < 4; ++k)
                v[k] = MeshVertex{p[k], normalized(p[k]), 0, 0};
            const Vec3 outward = normalized(add(add(p[0], p[1]), add(p[2], p[3])));
            if (i > 0)  // at the south pole the first two corners coincide
                addTriangle(mesh, v[0], v[1], v[2], outward);
            if (i + 1 < coreBands)  // at the north pole the last two do
                addTriangle(mesh, v[0], v[2], v[3], outward);
        }
}
