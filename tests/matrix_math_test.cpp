#include "gfx/matrix_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

const float EPS = 1e-6f;

struct Mat {
    double m[16];
};

Mat identityMat()
{
    Mat r = {};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0;
    return r;
}

Mat multiply(const Mat& a, const Mat& b)
{
    Mat r = {};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[4 * i + j] += a.m[4 * i + k] * b.m[4 * k + j];
    return r;
}

// Axis rotations for column vectors, built here independently of the module.
Mat axisRotation(int axis, double degrees)
{
    double a = degrees * M_PI / 180.0;
    double c = std::cos(a);
    double s = std::sin(a);
    Mat r = identityMat();
    int p = (axis + 1) % 3;
    int q = (axis + 2) % 3;
    r.m[4 * p + p] = c;
    r.m[4 * p + q] = -s;
    r.m[4 * q + p] = s;
    r.m[4 * q + q] = c;
    return r;
}

Mat eulerMatrix(float x, float y, float z)
{
    workEuler[0] = x;
    workEuler[1] = y;
    workEuler[2] = z;
    rotationFromEuler();
    Mat r;
    for (int i = 0; i < 16; ++i)
        r.m[i] = workMatrix[i];
    return r;
}

void expectMatNear(const Mat& actual, const Mat& expected, double tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

void expectQuatNear(const Quaternion& q, float x, float y, float z, float w, float tolerance)
{
    EXPECT_NEAR(q.x, x, tolerance);
    EXPECT_NEAR(q.y, y, tolerance);
    EXPECT_NEAR(q.z, z, tolerance);
    EXPECT_NEAR(q.w, w, tolerance);
}

struct EulerCase {
    float angles[3];
    Mat expected;
};

TEST(MatrixEuler, QuarterTurnsAboutEachAxis)
{
    const EulerCase cases[] = {
        {{90, 0, 0}, {{1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1}}},
        {{0, 90, 0}, {{0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1}}},
        {{0, 0, 90}, {{0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}},
        {{0, 0, 0}, identityMat()},
    };
    for (const EulerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angles[0] << " " << c.angles[1] << " " << c.angles[2]);
        expectMatNear(eulerMatrix(c.angles[0], c.angles[1], c.angles[2]), c.expected, EPS);
    }
}

TEST(MatrixEuler, RotatesAboutXThenZThenY)
{
    Mat m = eulerMatrix(10, 20, 30);
    Mat yzx = multiply(multiply(axisRotation(1, 20), axisRotation(2, 30)), axisRotation(0, 10));
    Mat xyz = multiply(multiply(axisRotation(0, 10), axisRotation(1, 20)), axisRotation(2, 30));
    expectMatNear(m, yzx, 1e-6);
    double largest = 0;
    for (int i = 0; i < 16; ++i)
        largest = std::max(largest, std::fabs(m.m[i] - xyz.m[i]));
    EXPECT_GT(largest, 0.05);
    // The axis matrices of the last call stay readable.
    EXPECT_NEAR(workRotZ[1], -0.5f, EPS);
    EXPECT_NEAR(workRotX[9], std::sin(10 * M_PI / 180), EPS);
}

TEST(MatrixEuler, TranslationMatrixPutsOffsetInTheLastColumn)
{
    workTranslation[0] = 1.5f;
    workTranslation[1] = -2.0f;
    workTranslation[2] = 3.25f;
    translationMatrix();
    const float expected[16] = {1, 0, 0, 1.5f, 0, 1, 0, -2.0f, 0, 0, 1, 3.25f, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(workMatrix[i], expected[i]) << i;
}

TEST(MatrixInverse, InverseTimesMatrixIsIdentity)
{
    Mat a = eulerMatrix(33, -71, 12);
    a.m[3] = 4;
    a.m[7] = -5;
    a.m[11] = 0.5;
    a.m[0] *= 2; // not only a rotation
    for (int i = 0; i < 16; ++i)
        workMatrix[i] = static_cast<float>(a.m[i]);
    invertWorkMatrix();
    Mat inv;
    for (int i = 0; i < 16; ++i)
        inv.m[i] = workMatrix[i];
    expectMatNear(multiply(a, inv), identityMat(), 1e-5);
}

TEST(MatrixInverse, SingularMatrixIsLeftAsItIs)
{
    float singular[16] = {1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(workMatrix, singular, sizeof(singular));
    invertWorkMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(workMatrix[i], singular[i]);
}

struct QuatFromMatrixCase {
    float diagonal[4];
    Quaternion expected;
};

TEST(MatrixQuaternion, FromDiagonalMatrices)
{
    const QuatFromMatrixCase cases[] = {
        {{1, 1, 1, 1}, {0, 0, 0, 1}},
        {{1, -1, -1, 1}, {1, 0, 0, 0}},
        {{-1, 1, -1, 1}, {0, 1, 0, 0}},
        {{-1, -1, 1, 1}, {0, 0, 1, 0}},
    };
    for (const QuatFromMatrixCase& c : cases) {
        float m[16] = {};
        for (int i = 0; i < 4; ++i)
            m[5 * i] = c.diagonal[i];
        Quaternion q;
        quatFromMatrix(m, q);
        SCOPED_TRACE(testing::Message() << c.diagonal[0] << " " << c.diagonal[1] << " " << c.diagonal[2]);
        expectQuatNear(q, c.expected.x, c.expected.y, c.expected.z, c.expected.w, EPS);
    }
}

TEST(MatrixQuaternion, ToMatrixInvertsFromMatrix)
{
    const float angles[][3] = {{10, 20, 30}, {170, -45, 95}, {0, 179, 0}, {-90, 0, 180}};
    for (const auto& a : angles) {
        Mat m = eulerMatrix(a[0], a[1], a[2]);
        Quaternion q;
        quatFromMatrix(workMatrix, q);
        float back[16];
        quatToMatrix(q, back);
        Mat b;
        for (int i = 0; i < 16; ++i)
            b.m[i] = back[i];
        SCOPED_TRACE(testing::Message() << a[0] << " " << a[1] << " " << a[2]);
        expectMatNear(b, m, 1e-5);
    }
}

TEST(MatrixQuaternion, SlerpTakesTheShorterArc)
{
    Quaternion a = {0, 0, 0, 1};
    Quaternion b = {0, 0, -0.7071068f, -0.7071068f};
    Quaternion q;
    quatSlerp(a, b, 1.0f, q);
    expectQuatNear(q, 0, 0, 0.7071068f, 0.7071068f, EPS);
    quatSlerp(a, b, 0.5f, q);
    expectQuatNear(q, 0, 0, 0.3826834f, 0.9238795f, EPS);
    quatSlerp(a, b, 0.0f, q);
    expectQuatNear(q, 0, 0, 0, 1, EPS);
}

TEST(MatrixQuaternion, SlerpOfEqualInputsReturnsTheInput)
{
    Quaternion a = {0.5f, -0.5f, 0.5f, 0.5f};
    for (float t : {0.0f, 0.25f, 0.5f, 1.0f}) {
        Quaternion q;
        quatSlerp(a, a, t, q);
        EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.w));
        expectQuatNear(q, a.x, a.y, a.z, a.w, EPS);
    }
}

TEST(MatrixQuaternion, SlerpBetweenEulerPosesEndsOnBothPoses)
{
    Mat first = eulerMatrix(20, 40, -60);
    Quaternion q1;
    quatFromMatrix(workMatrix, q1);
    Mat second = eulerMatrix(-110, 5, 75);
    Quaternion q2;
    quatFromMatrix(workMatrix, q2);
    const struct {
        float t;
        const Mat* expected;
    } ends[] = {{0.0f, &first}, {1.0f, &second}};
    for (const auto& end : ends) {
        Quaternion q;
        quatSlerp(q1, q2, end.t, q);
        float back[16];
        quatToMatrix(q, back);
        Mat b;
        for (int i = 0; i < 16; ++i)
            b.m[i] = back[i];
        SCOPED_TRACE(end.t);
        expectMatNear(b, *end.expected, 1e-5);
    }
}

TEST(MatrixQuaternion, MultiplyIsTheHamiltonProduct)
{
    const Quaternion pairs[][2] = {
        {{1, 2, 3, 4}, {-0.5f, 0.25f, 2, 1}},
        {{0, 0, 0, 1}, {0.3f, -0.4f, 0.5f, 0.7f}},
        {{0.7071068f, 0, 0, 0.7071068f}, {0, 0.7071068f, 0, 0.7071068f}},
    };
    for (const auto& p : pairs) {
        const Quaternion& a = p[0];
        const Quaternion& b = p[1];
        Quaternion q;
        quatMultiply(a, b, q);
        expectQuatNear(q, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                       a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
                       1e-5f);
    }
}

TEST(MatrixQuaternion, FromEulerUsesHalfAngles)
{
    Quaternion q;
    quatFromEuler(static_cast<float>(M_PI / 2), 0, 0, q);
    expectQuatNear(q, 0.7071068f, 0, 0, 0.7071068f, EPS);
    quatFromEuler(0, 0, static_cast<float>(M_PI), q);
    expectQuatNear(q, 0, 0, 1, 0, EPS);
}

TEST(MatrixScalars, AngleConversionsAndFloatMod)
{
    EXPECT_NEAR(degToRad(180.0f), static_cast<float>(M_PI), EPS);
    EXPECT_NEAR(radToDeg(static_cast<float>(M_PI / 2)), 90.0f, 1e-4f);
    const struct {
        float a, b, expected;
    } mods[] = {{-7, 3, -1}, {7, 3, 1}, {7, -3, 1}, {-7.5f, 2, -1.5f}, {6, 3, 0}};
    for (const auto& m : mods)
        EXPECT_FLOAT_EQ(floatMod(m.a, m.b), m.expected) << m.a << " mod " << m.b;
}

} // namespace
