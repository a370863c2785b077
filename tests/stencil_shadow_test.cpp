// Stencil shadow volumes: the caster's connectivity (edge map, symmetric neighbours, silhouette
// counts, bounded updates) without GL, and the shadow of a cube on a ground plate read back:
// darkened by the blend inside the projected outline, untouched outside.
#include "gfx/model.h"
#include "render/stencil_shadow.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

// A closed cube of half size h centred at (0, cy, 0), faces counter-clockwise from outside.
void makeCube(float h, float cy, std::vector<float>& p, std::vector<float>& n)
{
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = -1; sign <= 1; sign += 2) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const float uv[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            float corners[4][3];
            for (int k = 0; k < 4; ++k) {
                corners[k][axis] = h * sign;
                corners[k][u] = h * uv[k][0] * sign;
                corners[k][v] = h * uv[k][1];
                corners[k][1] += cy;
            }
            for (int k : {0, 1, 2, 0, 2, 3}) {
                p.insert(p.end(), corners[k], corners[k] + 3);
                for (int c = 0; c < 3; ++c)
                    n.push_back(c == axis ? static_cast<float>(sign) : 0.0f);
            }
        }
}

ShadowCaster buildCube(float h = 1.0f, float cy = 0.0f)
{
    std::vector<float> p, n;
    makeCube(h, cy, p, n);
    ShadowCaster caster;
    buildShadowCasterFromArrays(&caster, static_cast<int>(p.size() / 9), p.data(), n.data());
    return caster;
}

TEST(StencilShadowCaster, ClosedCubeHasSymmetricNeighboursOnEveryEdge)
{
    ShadowCaster cube = buildCube();
    ASSERT_EQ(cube.planeCount, 12);
    EXPECT_EQ(cube.pointCount, 36);
    EXPECT_TRUE(shadowNeighboursConsistent(cube));
    for (int i = 0; i < cube.planeCount; ++i)
        for (int j = 0; j < 3; ++j) {
            const int n = cube.planes[i].neighbour[j];
            ASSERT_GE(n, 1) << "plane " << i << " edge " << j << " of a closed cube has no neighbour";
            const ShadowPlane& other = cube.planes[n - 1];
            int back = 0;
            for (int k = 0; k < 3; ++k)
                back += other.neighbour[k] == i + 1;
            EXPECT_EQ(back, 1) << "plane " << n - 1 << " does not name plane " << i << " back";
        }
    // Plane equations: unit normals along the faces, the faces one unit from the centre.
    for (const ShadowPlane& plane : cube.planes) {
        EXPECT_NEAR(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c, 1.0f, 1e-5f);
        EXPECT_NEAR(plane.d, -1.0f, 1e-5f);
        EXPECT_NEAR(plane.a, plane.normals[0][0], 1e-5f);
        EXPECT_NEAR(plane.b, plane.normals[0][1], 1e-5f);
    }
}

TEST(StencilShadowCaster, SilhouetteEdgesByLight)
{
    ShadowCaster cube = buildCube();
    struct Case {
        const char* what;
        std::array<float, 4> light;
        int visiblePlanes;
        int silhouetteEdges;
    } cases[] = {
        {"from straight above", {0.0f, 10.0f, 0.0f, 1.0f}, 2, 4},
        {"from a direction above", {0.0f, 1.0f, 0.0f, 0.0f}, 2, 4},
        {"over an edge", {10.0f, 10.0f, 0.0f, 1.0f}, 4, 6},
        {"over a corner", {10.0f, 10.0f, 10.0f, 1.0f}, 6, 6},
        {"inside the cube", {0.0f, 0.0f, 0.0f, 1.0f}, 0, 0},
    };
    for (const Case& c : cases) {
        markShadowPlanesVisible(&cube, c.light.data());
        int visible = 0;
        for (const ShadowPlane& plane : cube.planes)
            visible += plane.visible;
        EXPECT_EQ(visible, c.visiblePlanes) << c.what;
        EXPECT_EQ(countSilhouetteEdges(cube), c.silhouetteEdges) << c.what;
    }
}

TEST(StencilShadowCaster, OpenEdgesAndSharedEdges)
{
    // Two triangles of one square share its diagonal; the outer four edges are open, so lit
    // from the front all four are silhouette edges and the diagonal is not.
    const float square[18] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0};
    const float normals[18] = {};
    ShadowCaster caster;
    buildShadowCasterFromArrays(&caster, 2, square, normals);
    EXPECT_TRUE(shadowNeighboursConsistent(caster));
    EXPECT_EQ(caster.planes[0].neighbour[2], 2);
    EXPECT_EQ(caster.planes[1].neighbour[0], 1);
    const float front[4] = {0.5f, 0.5f, 5.0f, 1.0f};
    markShadowPlanesVisible(&caster, front);
    EXPECT_EQ(countSilhouetteEdges(caster), 4);
    // A third triangle on the same diagonal pairs with nothing (both sides are taken).
    const float fan[27] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 1, 1, 1};
    const float fanNormals[27] = {};
    buildShadowCasterFromArrays(&caster, 3, fan, fanNormals);
    EXPECT_TRUE(shadowNeighboursConsistent(caster));
    EXPECT_EQ(caster.planes[2].neighbour[0], 0);
}

TEST(StencilShadowCaster, UpdateStaysInsideTheBuild)
{
    // A larger model into a cube's caster: twelve planes refreshed, nothing written past them.
    ShadowCaster cube = buildCube();
    const size_t points = cube.points.size(), planes = cube.planes.size();
    Model big;
    allocModelVertexArrays(big, 15000);
    for (size_t i = 0; i < big.positions.size(); ++i)
        big.positions[i] = static_cast<float>(i % 7);
    updateShadowCaster(&cube, &big);
    EXPECT_EQ(cube.planeCount, 12);
    EXPECT_EQ(cube.pointCount, 36);
    EXPECT_EQ(cube.points.size(), points);
    EXPECT_EQ(cube.planes.size(), planes);
    EXPECT_TRUE(shadowNeighboursConsistent(cube));

    // A caster built for 15000 triangles takes the first 12000 of an update.
    ShadowCaster large;
    buildShadowCaster(&large, &big);
    updateShadowCaster(&large, &big);
    EXPECT_EQ(large.planeCount, SHADOW_CASTER_UPDATE_LIMIT);
    EXPECT_EQ(large.planes.size(), 15000u);

    // An update of the same mesh moved keeps its neighbours; a smaller one drops the ones
    // that pointed past it.
    std::vector<float> p, n;
    makeCube(1.0f, 3.0f, p, n);
    Model moved;
    allocModelVertexArrays(moved, 12);
    moved.positions = p;
    moved.normals = n;
    ShadowCaster again = buildCube();
    const ShadowCaster before = again;
    updateShadowCaster(&again, &moved);
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(again.planes[i].neighbour[j], before.planes[i].neighbour[j]);
    EXPECT_NEAR(again.planes[6].d, -4.0f, 1e-5f) << "the top face's equation follows it up to y = 4";
    moved.triangleCount = 5;
    updateShadowCaster(&again, &moved);
    EXPECT_EQ(again.planeCount, 5);
    EXPECT_TRUE(shadowNeighboursConsistent(again));
}

TEST(StencilShadowCaster, TransformIsColumnMajor)
{
    // A translation by (1, 2, 3) in GL's layout moves points and leaves directions.
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    float point[4] = {1, 1, 1, 1};
    transformVec4Stencil(m, point);
    EXPECT_FLOAT_EQ(point[0], 2);
    EXPECT_FLOAT_EQ(point[1], 3);
    EXPECT_FLOAT_EQ(point[2], 4);
    float direction[4] = {1, 1, 1, 0};
    transformVec4Stencil(m, direction);
    EXPECT_FLOAT_EQ(direction[2], 1);
    EXPECT_FLOAT_EQ(direction[3], 0);
}

constexpr int W = 1920;
constexpr int H = 1080;
constexpr float GROUND_Y = -1.5f;
const float LIGHT[4] = {0.0f, 10.0f, 0.0f, 1.0f};

// The ground plate, the cube (half size 1, centre height 1), and optionally its shadow, in
// flat colours, under the frame routine's projection.
std::vector<uint8_t> drawCubeOverGround(ShadowCaster& cube, bool withShadow)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, W, H);
    glUseProgram(0);
    glClearColor(0.2f, 0.3f, 0.5f, 1.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
    // The darkening quad covers the view from the identity modelview: the camera goes there.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 7.0, 11.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glColor3f(0.8f, 0.8f, 0.8f);
    glBegin(GL_QUADS);
    glVertex3f(-6, GROUND_Y, 5);
    glVertex3f(6, GROUND_Y, 5);
    glVertex3f(6, GROUND_Y, -7);
    glVertex3f(-6, GROUND_Y, -7);
    glEnd();
    glColor3f(0.9f, 0.1f, 0.1f);
    drawShadowCaster(cube);
    if (withShadow) {
        castStencilShadow(&cube, LIGHT);
        glDisable(GL_LIGHTING);
    }
    return readPixelsRgba(0, 0, W, H);
}

TEST(StencilShadow, CubeShadowDarkensInsideItsOutlineOnly)
{
    REQUIRE_GL_CONTEXT();
    ShadowCaster cube = buildCube(1.0f, 1.0f);
    const std::vector<uint8_t> plain = drawCubeOverGround(cube, false);
    const std::vector<uint8_t> shadowed = drawCubeOverGround(cube, true);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The top face (y = 2) seen from the light at height 10 lands on the ground scaled by
    // (10 - GROUND_Y) / (10 - 2): the outline's corners, taken to the screen.
    const double half = (10.0 - GROUND_Y) / 8.0;
    double modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    double corner[4][2];
    const double signs[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (int k = 0; k < 4; ++k) {
        double z;
        gluProject(signs[k][0] * half, GROUND_Y, signs[k][1] * half, modelview, projection, viewport, &corner[k][0],
            &corner[k][1], &z);
    }
    // Signed distance in pixels to the outline, positive inside: seen from the front the
    // corners run counter-clockwise on screen, so the inside is left of every edge.
    auto inside = [&](double x, double y) {
        double d = 1e9;
        for (int k = 0; k < 4; ++k) {
            const double* a = corner[k];
            const double* b = corner[(k + 1) % 4];
            double ex = b[0] - a[0], ey = b[1] - a[1];
            double cross = (ex * (y - a[1]) - ey * (x - a[0])) / std::hypot(ex, ey);
            d = std::min(d, cross);
        }
        return d;
    };
    int darkened = 0, insideGround = 0, outsideGround = 0, outsideChanged = 0;
    for (int y = 2; y < H; y += 4)
        for (int x = 2; x < W; x += 4) {
            const size_t i = (static_cast<size_t>(y) * W + x) * 4;
            const uint8_t* before = &plain[i];
            const uint8_t* after = &shadowed[i];
            const bool ground = before[0] == before[1] && before[0] > 150;
            if (!ground)
                continue;  // the cube and the sky
            const double d = inside(x + 0.5, y + 0.5);
            if (d > 3.0) {
                ++insideGround;
                bool dark = true;
                for (int c = 0; c < 3; ++c)
                    dark = dark && std::abs(after[c] - before[c] * 0.7) <= 2.0;
                darkened += dark;
            } else if (d < -3.0) {
                ++outsideGround;
                outsideChanged += after[0] != before[0] || after[1] != before[1] || after[2] != before[2];
            }
        }
    ASSERT_GT(insideGround, 1000) << "the shadow lies in view";
    ASSERT_GT(outsideGround, 10000);
    EXPECT_EQ(darkened, insideGround) << "shadow samples not darkened by the 0.3 black blend";
    EXPECT_EQ(outsideChanged, 0) << "ground samples outside the outline changed";
}

}  // namespace
