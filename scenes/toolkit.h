// The scenes' shared toolkit: shader rectangles in the fixed 1920 x 1080 screen frame (y up),
// a three-angle vector rotation, the six-face sky box around mainCamera, the beat countdown,
// the overscan border, and a keyed camera path that nothing in the timeline runs.
// Units: beatCountdown in 60 Hz frames, radialBlurBorder in screen pixels, rotationAngles in
// 1/2000 radian, keyPathTime in seconds since sceneStartMs.
#pragma once

#include "gfx/uniform_table.h"

#include <cstdint>

constexpr int SKY_FACE_COUNT = 6;
constexpr int CAMERA_KEY_COUNT = 12;

struct RotationVector {
    float x, y, z;
};

// One key of the camera path; `spare` is carried with the key and never read.
struct CameraKey {
    float eye[3];
    float centre[3];
    float up[3];
    float spare;
};

extern float beatCountdown;     // set on a beat, counted down by frameDt to 0
extern float radialBlurBorder;  // the palette pass covers (-b, -b) to (1920 + b, 1080 + b)

extern RotationVector rotationAngles;  // about x, y, z in 1/2000 radian
extern RotationVector rotationInput;   // overwritten with the intermediate result
extern RotationVector rotationOutput;

// Sky face slots: "sky3.tga", "sky2.tga", "sky5.tga", "sky4.tga", "sky1.tga", "sky6.tga".
extern uint32_t skyTextures[SKY_FACE_COUNT];
extern const char* const SKY_TEXTURE_FILES[SKY_FACE_COUNT];

// The polka effect's high-pass program; 0 while that effect is not built.
extern uint32_t highpassProgram;
extern ColorMapUniforms highpassUniforms;

extern const CameraKey cameraKeys[CAMERA_KEY_COUNT];
extern float pathCamera[9];  // eye, centre, up
// The eye and centre of the path camera, last frame's then this frame's, each from centre z
// down to eye x.
constexpr int PATH_CAMERA_HISTORY_VALUES = 6;
extern float pathCameraHistory[2 * PATH_CAMERA_HISTORY_VALUES];
extern float keyPathTime;

// Full-screen pass rectangle drawn with the program bound at the call; leaves blending on and
// depth test and culling enabled.
void drawScreenRect(float x0, float y0, float x1, float y1);
// The same with (s0, t0) at the corner (x0, y0) and (s1, t1) at (x1, y1).
void drawScreenRectUv(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1);
// A textured rectangle with no program, in the current colour.
void drawTexturedRect(int x, int y, int width, int height, int texture);

void rotateVectorByAngles();

void loadSkyTextures();
// Expects the perspective and the camera's look-at in the projection matrix; leaves the
// modelview at the camera's look-at and the depth buffer cleared.
void drawSkyBox();

float lerpFloat(float a, float b, float t);
void blendCameraKeys(int keyA, int keyB, float elapsed, float duration);
void runCameraKeyPath();
void advanceAngle(float from, float to, int mode, float speedPerFrame, float* value);
