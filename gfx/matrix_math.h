// The small math kit of the skinned-model path: Euler angles to rotation matrices through shared
// work matrices, and the quaternion routines the frame-blending draws interpolate bones with.
//
// Matrices are 16 floats stored row by row: element (row r, column c) is at 4r + c, rotations act
// on column vectors and a translation sits in elements 3, 7 and 11. Euler angles are in degrees;
// quaternion angles in radians.
#pragma once

// A rotation as x, y, z (vector part) and w (scalar part). Nothing normalises it.
struct Quaternion {
    float x;
    float y;
    float z;
    float w;
};

// Shared scratch, overwritten by every call: copy workMatrix out before the next call.
extern float workEuler[3];       // angles about X, Y and Z in degrees: input of rotationFromEuler
extern float workTranslation[3]; // input of translationMatrix
extern float workMatrix[16];     // result of every builder below
extern float workRotX[16];
extern float workRotY[16];
extern float workRotZ[16];
extern float workTempA[16]; // right operand of multiplyWorkMatrices
extern float workTempB[16]; // left operand of multiplyWorkMatrices

// Axis numbers 0 = X, 1 = Y, 2 = Z.
extern const int eulerProductOrder[3]; // rotationFromEuler multiplies R[o0] x R[o1] x R[o2]
extern const int eulerAxisOrder[3];    // which stored Euler component the skinned draws take
extern const int QUAT_NEXT_INDEX[3];   // cyclic next axis for quatFromMatrix

// m = the 4 x 4 identity.
void setIdentity(float m[16]);
// workMatrix = RotY(y) x RotZ(z) x RotX(x) from workEuler: X first, then Z, then Y.
void rotationFromEuler();
// workMatrix = workTempB x workTempA.
void multiplyWorkMatrices();
void quatFromMatrix(const float m[16], Quaternion& out);
// Shorter-arc spherical interpolation; the result is not normalised.
void quatSlerp(const Quaternion& q1, const Quaternion& q2, float t, Quaternion& out);
void quatToMatrix(const Quaternion& q, float out[16]);
// Hamilton product out = a b.
void quatMultiply(const Quaternion& a, const Quaternion& b, Quaternion& out);
void quatFromEuler(float roll, float pitch, float yaw, Quaternion& out);
// workMatrix = identity with workTranslation in elements 3, 7 and 11.
void translationMatrix();
// Inverts workMatrix in place; a singular matrix (determinant 0) is left as it is.
void invertWorkMatrix();
float degToRad(float degrees);
float radToDeg(float radians);
// a - b x trunc(a / b): the result has the sign of a.
float floatMod(float a, float b);
