// The GL half of the stencil shadows: the caster's draw and the two-pass stencil volume with
// its darkening quad. State is left as the frame's other draws expect it afterwards.
#include "render/stencil_shadow.h"

#include "platform/gl_api.h"

#include <cstddef>

namespace {

const float* pointOf(const ShadowCaster& caster, int index)
{
    return &caster.points[static_cast<size_t>(index) * 3];
}

// One volume side: the edge P1 -> P2 and both points pushed away from the light.
void drawVolumeSide(const float* p1, const float* p2, const float light[4])
{
    const float k = SHADOW_VOLUME_EXTRUSION;
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(p1[0], p1[1], p1[2]);
    glVertex3f(p1[0] + (p1[0] - light[0]) * k, p1[1] + (p1[1] - light[1]) * k, p1[2] + (p1[2] - light[2]) * k);
    glVertex3f(p2[0], p2[1], p2[2]);
    glVertex3f(p2[0] + (p2[0] - light[0]) * k, p2[1] + (p2[1] - light[1]) * k, p2[2] + (p2[2] - light[2]) * k);
    glEnd();
}

void drawSilhouetteSides(const ShadowCaster& caster, const float light[4])
{
    forEachSilhouetteEdge(caster, [&caster, light](const ShadowPlane& plane, int j) {
        drawVolumeSide(pointOf(caster, plane.pointIndex[j]), pointOf(caster, plane.pointIndex[(j + 1) % 3]), light);
    });
}

}  // namespace

void drawShadowCaster(const ShadowCaster& caster)
{
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < caster.planeCount; ++i) {
        const ShadowPlane& plane = caster.planes[static_cast<size_t>(i)];
        for (int k = 0; k < 3; ++k) {
            glNormal3fv(plane.normals[k]);
            glVertex3fv(pointOf(caster, plane.pointIndex[k]));
        }
    }
    glEnd();
}

void castStencilShadow(ShadowCaster* caster, const float light[4])
{
    markShadowPlanesVisible(caster, light);

    glDepthRange(0.0, 1.0);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LESS);
    glEnable(GL_STENCIL_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFFu);
    glFrontFace(GL_CCW);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    // The sides alone: a unit square at the caster's origin drawn after each side would count
    // up where nothing counts it down again, and show as a dark triangle wherever it is seen.
    drawSilhouetteSides(*caster, light);

    // The faces turned from the light close the volume where the caster itself stands.
    glFrontFace(GL_CW);
    glStencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
    glDepthRange(0.0, 1.0);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < caster->planeCount; ++i) {
        const ShadowPlane& plane = caster->planes[static_cast<size_t>(i)];
        if (plane.visible)
            continue;
        for (int k = 0; k < 3; ++k)
            glVertex3fv(pointOf(*caster, plane.pointIndex[k]));
    }
    glEnd();
    glEnable(GL_CULL_FACE);

    glDepthFunc(GL_LESS);
    // Both passes use the full depth range: pushing the back sides to 0.35..1 made them fail
    // the depth test just outside the outline, which then stayed shadowed.
    glDepthRange(0.0, 1.0);
    glFrontFace(GL_CW);
    glStencilOp(GL_KEEP, GL_KEEP, GL_DECR);
    drawSilhouetteSides(*caster, light);

    glFrontFace(GL_CCW);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthRange(0.0, 1.0);
    glEnable(GL_STENCIL_TEST);
    glColor4f(0.0f, 0.0f, 0.0f, 0.3f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(-0.1f, 0.1f, -0.1f);
    glVertex3f(-0.1f, -0.1f, -0.1f);
    glVertex3f(0.1f, 0.1f, -0.1f);
    glVertex3f(0.1f, -0.1f, -0.1f);
    glEnd();
    glPopMatrix();

    glDisable(GL_BLEND);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glDisable(GL_STENCIL_TEST);
    glShadeModel(GL_SMOOTH);
}

void transformVec4Stencil(const float m[16], float v[4])
{
    float r[4];
    for (int row = 0; row < 4; ++row)
        r[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    for (int row = 0; row < 4; ++row)
        v[row] = r[row];
}
