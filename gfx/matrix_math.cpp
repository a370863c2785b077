#include "gfx/matrix_math.h"

#include <cmath>
#include <cstring>

float workEuler[3] = {};
float workTranslation[3] = {};
float workMatrix[16] = {};
float workRotX[16] = {};
float workRotY[16] = {};
float workRotZ[16] = {};
float workTempA[16] = {};
float workTempB[16] = {};

const int eulerProductOrder[3] = {1, 2, 0};
const int eulerAxisOrder[3] = {0, 1, 2};
const int QUAT_NEXT_INDEX[3] = {1, 2, 0};

// The degree factor is a float constant: bone poses must match the ones the data was tuned with.
static const float DEG_TO_RAD_F = 0.017453292f;
static const int MATRIX_ELEMENTS = 16;

void setIdentity(float m[16])
{
    std::memset(m, 0, sizeof(float) * MATRIX_ELEMENTS);
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

static void angleCosSin(float degrees, float& c, float& s)
{
    double radians = static_cast<double>(degrees * DEG_TO_RAD_F);
    c = static_cast<float>(std::cos(radians));
    s = static_cast<float>(std::sin(radians));
}

void rotationFromEuler()
{
    float c;
    float s;

    angleCosSin(workEuler[0], c, s);
    setIdentity(workRotX);
    workRotX[5] = c;
    workRotX[6] = -s;
    workRotX[9] = s;
    workRotX[10] = c;

    angleCosSin(workEuler[1], c, s);
    setIdentity(workRotY);
    workRotY[0] = c;
    workRotY[2] = s;
    workRotY[8] = -s;
    workRotY[10] = c;

    angleCosSin(workEuler[2], c, s);
    setIdentity(workRotZ);
    workRotZ[0] = c;
    workRotZ[1] = -s;
    workRotZ[4] = s;
    workRotZ[5] = c;

    const float* axes[3] = {workRotX, workRotY, workRotZ};
    std::memcpy(workTempB, axes[eulerProductOrder[0]], sizeof(workTempB));
    std::memcpy(workTempA, axes[eulerProductOrder[1]], sizeof(workTempA));
    multiplyWorkMatrices();
    std::memcpy(workTempB, workMatrix, sizeof(workTempB));
    std::memcpy(workTempA, axes[eulerProductOrder[2]], sizeof(workTempA));
    multiplyWorkMatrices();
}

void multiplyWorkMatrices()
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += workTempB[4 * r + k] * workTempA[4 * k + c];
            workMatrix[4 * r + c] = sum;
        }
    }
}

void quatFromMatrix(const float m[16], Quaternion& out)
{
    auto at = [m](int a, int b) { return static_cast<long double>(m[4 * a + b]); };
    float tr = m[0] + m[5] + m[10];
    if (tr > 0.0f) {
        long double s = std::sqrt(static_cast<long double>(tr) + 1.0L);
        out.w = static_cast<float>(s / 2.0L);
        s = 0.5L / s;
        out.x = static_cast<float>((at(1, 2) - at(2, 1)) * s);
        out.y = static_cast<float>((at(2, 0) - at(0, 2)) * s);
        out.z = static_cast<float>((at(0, 1) - at(1, 0)) * s);
        return;
    }
    int i = 0;
    if (m[5] > m[0])
        i = 1;
    if (m[10] > m[4 * i + i])
        i = 2;
    int j = QUAT_NEXT_INDEX[i];
    int k = QUAT_NEXT_INDEX[j];
    long double s = std::sqrt(at(i, i) - (at(j, j) + at(k, k)) + 1.0L);
    long double q[3];
    q[i] = s / 2.0L;
    if (s != 0.0L)
        s = 0.5L / s;
    long double w = (at(j, k) - at(k, j)) * s;
    q[j] = (at(i, j) + at(j, i)) * s;
    q[k] = (at(i, k) + at(k, i)) * s;
    out.x = static_cast<float>(q[0]);
    out.y = static_cast<float>(q[1]);
    out.z = static_cast<float>(q[2]);
    out.w = static_cast<float>(w);
}

void quatSlerp(const Quaternion& q1, const Quaternion& q2, float t, Quaternion& out)
{
    // Copies first: out may be one of the inputs.
    Quaternion a = q1;
    Quaternion b = q2;
    float d = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (d < 0.0f) {
        d = -d;
        b.x = -b.x;
        b.y = -b.y;
        b.z = -b.z;
        b.w = -b.w;
    }
    double s0;
    double s1;
    if (1.0f - d > 0.0f) {
        double omega = std::acos(static_cast<double>(d));
        double sinom = std::sin(omega);
        s0 = std::sin((1.0 - t) * omega) / sinom;
        s1 = std::sin(t * omega) / sinom;
    } else {
        s0 = 1.0 - t;
        s1 = t;
    }
    out.x = static_cast<float>(s0 * a.x + s1 * b.x);
    out.y = static_cast<float>(s0 * a.y + s1 * b.y);
    out.z = static_cast<float>(s0 * a.z + s1 * b.z);
    out.w = static_cast<float>(s0 * a.w + s1 * b.w);
}

void quatToMatrix(const Quaternion& q, float out[16])
{
    float x = q.x;
    float y = q.y;
    float z = q.z;
    float w = q.w;
    std::memset(out, 0, sizeof(float) * MATRIX_ELEMENTS);
    out[0] = 1.0f - 2.0f * (y * y + z * z);
    out[1] = 2.0f * (x * y + w * z);
    out[2] = 2.0f * (x * z - w * y);
    out[4] = 2.0f * (x * y - w * z);
    out[5] = 1.0f - 2.0f * (x * x + z * z);
    out[6] = 2.0f * (y * z + w * x);
    out[8] = 2.0f * (x * z + w * y);
    out[9] = 2.0f * (y * z - w * x);
    out[10] = 1.0f - 2.0f * (x * x + y * y);
    out[15] = 1.0f;
}

void quatMultiply(const Quaternion& a, const Quaternion& b, Quaternion& out)
{
    // Eight products instead of sixteen.
    float p1 = (a.w + a.x) * (b.w + b.x);
    float p2 = (a.z - a.y) * (b.y - b.z);
    float p3 = (a.w - a.x) * (b.y + b.z);
    float p4 = (a.y + a.z) * (b.w - b.x);
    float p5 = (a.x + a.z) * (b.x + b.y);
    float p6 = (a.x - a.z) * (b.x - b.y);
    float p7 = (a.w + a.y) * (b.w - b.z);
    float p8 = (a.w - a.y) * (b.w + b.z);
    Quaternion r;
    r.w = p2 + (-p5 - p6 + p7 + p8) / 2.0f;
    r.x = p1 - (p5 + p6 + p7 + p8) / 2.0f;
    r.y = p3 + (p5 - p6 + p7 - p8) / 2.0f;
    r.z = p4 + (p5 - p6 - p7 + p8) / 2.0f;
    out = r;
}

void quatFromEuler(float roll, float pitch, float yaw, Quaternion& out)
{
    float cr = std::cos(roll / 2.0f);
    float sr = std::sin(roll / 2.0f);
    float cp = std::cos(pitch / 2.0f);
    float sp = std::sin(pitch / 2.0f);
    float cy = std::cos(yaw / 2.0f);
    float sy = std::sin(yaw / 2.0f);
    out.w = cr * cp * cy + sr * sp * sy;
    out.x = sr * cp * cy - cr * sp * sy;
    out.y = cr * sp * cy + sr * cp * sy;
    out.z = cr * cp * sy - sr * sp * cy;
}

void translationMatrix()
{
    setIdentity(workMatrix);
    workMatrix[3] = workTranslation[0];
    workMatrix[7] = workTranslation[1];
    workMatrix[11] = workTranslation[2];
}

// Determinant of the 3 x 3 matrix left when row `row` and column `col` are struck out.
static float minor3(const float m[16], int row, int col)
{
    int rows[3];
    int cols[3];
    for (int i = 0, r = 0, c = 0; i < 4; ++i) {
        if (i != row)
            rows[r++] = i;
        if (i != col)
            cols[c++] = i;
    }
    auto e = [&](int r, int c) { return m[4 * rows[r] + cols[c]]; };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) - e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

void invertWorkMatrix()
{
    float cofactor[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            cofactor[4 * r + c] = (((r + c) & 1) ? -1.0f : 1.0f) * minor3(workMatrix, r, c);
    float det = 0.0f;
    for (int c = 0; c < 4; ++c)
        det += workMatrix[c] * cofactor[c];
    if (det == 0.0f)
        return;
    float inv = 1.0f / det;
    // The adjugate is the transposed cofactor matrix.
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            workMatrix[4 * r + c] = cofactor[4 * c + r] * inv;
}

float degToRad(float degrees)
{
    return static_cast<float>(static_cast<double>(degrees) * 0.017453292519943295);
}

float radToDeg(float radians)
{
    return static_cast<float>(static_cast<double>(radians) * 57.29577951308232);
}

float floatMod(float a, float b)
{
    return a - b * std::trunc(a / b);
}
