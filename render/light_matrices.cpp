#include "render/light_matrices.h"

#include "gfx/shadow_map.h"  // depthMVP, depthBiasMVP, lightVector
#include "platform/gl_api.h"

#include <cmath>

float sf = 0.05f;
float sfz = 0.015f;
float xsc = 1.0f;
float ysc = 2.0f;
float zsc = 2.0f;
// The props sit about 4 units behind the tiles and spread over the whole view, so their light
// box is about three times as wide and deep as the tiles' (sf 0.05, sfz 0.015): wide enough to
// hold the props' shadows, small enough to keep the shadow map's resolution on them.
float sfbg = 0.15f;
float sfzbg = 0.05f;

// Texture-space bias: x, y, z scaled by 0.5, then moved by 0.5 (column-major).
static const float BIAS_MATRIX[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1};
// Below this length a vector has no usable direction.
static constexpr float DIRECTION_EPSILON = 1e-6f;

// out = a x b, all column-major; out must not alias a or b.
static void multiplyColumnMajor(const float a[16], const float b[16], float out[16])
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[4 * k + r] * b[4 * c + k];
            out[4 * c + r] = sum;
        }
}

static void cross(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

static float length3(const float v[3])
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

static float dot3(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Right-handed look-at from `eye` to the origin, column-major.
static void lookAtOrigin(const float eye[3], float out[16])
{
    float f[3] = {-eye[0], -eye[1], -eye[2]};
    float fl = length3(f);
    if (fl < DIRECTION_EPSILON) {
        f[0] = 0.0f;
        f[1] = 0.0f;
        f[2] = -1.0f;
    } else {
        for (float& x : f)
            x /= fl;
    }
    const float up[3] = {0.0f, 1.0f, 0.0f};
    float s[3];
    cross(f, up, s);
    float sl = length3(s);
    if (sl < DIRECTION_EPSILON) {
        // Looking straight up or down: any horizontal up vector will do.
        const float altUp[3] = {0.0f, 0.0f, -1.0f};
        cross(f, altUp, s);
        sl = length3(s);
    }
    for (float& x : s)
        x /= sl;
    float u[3];
    cross(s, f, u);

    out[0] = s[0];
    out[4] = s[1];
    out[8] = s[2];
    out[12] = -dot3(s, eye);
    out[1] = u[0];
    out[5] = u[1];
    out[9] = u[2];
    out[13] = -dot3(u, eye);
    out[2] = -f[0];
    out[6] = -f[1];
    out[10] = -f[2];
    out[14] = dot3(f, eye);
    out[3] = 0.0f;
    out[7] = 0.0f;
    out[11] = 0.0f;
    out[15] = 1.0f;
}

// The game's tuning keys step the box scales by 0.001 through 0 and past it. A box this thin
// already shows no shadow; keeping the scale at least this far from 0 keeps the projection's
// divisions finite.
static constexpr float MIN_BOX_SCALE = 1e-4f;

static float usableBoxScale(float scale)
{
    if (!std::isfinite(scale))
        return MIN_BOX_SCALE;
    if (std::fabs(scale) < MIN_BOX_SCALE)
        return std::signbit(scale) ? -MIN_BOX_SCALE : MIN_BOX_SCALE;
    return scale;
}

void lightSpaceMatrices(const float modelview[16], const float light[3], float boxScale, float depthScale,
                        float outDepthMVP[16], float outDepthBiasMVP[16])
{
    boxScale = usableBoxScale(boxScale);
    depthScale = usableBoxScale(depthScale);
    float left = -150.0f * boxScale, right = 150.0f * boxScale;
    float bottom = -150.0f * boxScale, top = 150.0f * boxScale;
    float nearZ = -600.0f * depthScale, farZ = 600.0f * depthScale;
    float projection[16] = {};
    projection[0] = 2.0f / (right - left);
    projection[5] = 2.0f / (top - bottom);
    projection[10] = -2.0f / (farZ - nearZ);
    projection[12] = -(right + left) / (right - left);
    projection[13] = -(top + bottom) / (top - bottom);
    projection[14] = -(farZ + nearZ) / (farZ - nearZ);
    projection[15] = 1.0f;

    float view[16];
    lookAtOrigin(light, view);
    float projectionView[16];
    multiplyColumnMajor(projection, view, projectionView);
    multiplyColumnMajor(projectionView, modelview, outDepthMVP);
    if (outDepthBiasMVP)
        multiplyColumnMajor(BIAS_MATRIX, outDepthMVP, outDepthBiasMVP);
}

static void computeLightSpace(bool withBias)
{
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    const float light[3] = {xsc, ysc, zsc};
    lightSpaceMatrices(modelview, light, sf, sfz, depthMVP, withBias ? depthBiasMVP : nullptr);
    lightVector[0] = xsc;
    lightVector[1] = ysc;
    lightVector[2] = zsc;
    lightVector[3] = 1.0f;
}

void computeLightMatrices()
{
    computeLightSpace(true);
}

void computeDepthMVPAndLightVector()
{
    computeLightSpace(false);
}
