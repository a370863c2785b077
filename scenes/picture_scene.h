// The opening scene's module values and the steps its draw is made of, for the tests.
//
// Conventions: the three pictures are 256 x 256 RGBA byte arrays, pixel (x, y) at byte
// 4 (x + 256 y), rows bottom first as read back from GL; every byte counts as byte / 256.
// Quad coordinates: a pixel's unscaled grid position (x, y) is multiplied by 1/48 across and
// 1/108 up; colours may exceed 1 (GL clamps them).
#pragma once

#include "scenes/toolkit.h"  // CameraKey

#include <cstdint>

constexpr int PICTURE_SIDE = 256;
constexpr int PICTURE_PIXEL_COUNT = PICTURE_SIDE * PICTURE_SIDE;
constexpr int PICTURE_BYTES = PICTURE_PIXEL_COUNT * 4;
constexpr int PICTURE_TEXTURE_COUNT = 4;  // picture, first map, second map, white pixel
constexpr int PICTURE_IMAGE_COUNT = 3;    // the first three are read back
constexpr int PICTURE_CAMERA_KEY_COUNT = 2;

extern uint32_t pictureTextures[PICTURE_TEXTURE_COUNT];
// Null until initPictureScene; afterwards each holds PICTURE_BYTES bytes.
extern uint8_t* picturePixels[PICTURE_IMAGE_COUNT];
extern float pictureCameraBlend;
extern const CameraKey pictureCameraKeys[PICTURE_CAMERA_KEY_COUNT];
// The program that places the quads on the GPU from static copies of the pictures; 0 draws
// them in immediate mode instead (same picture).
extern uint32_t pictureQuadProgram;

// The seven values of one frame.
struct PictureAnimation {
    float driftX, driftY, push, brightness, mapBlend;  // 0..1
    float columnShift;                                 // 0..255
    float turn;                                        // degrees
};

// One pixel's quad: colour, left/right x, bottom/top y, z of the left and right edge.
struct PictureQuad {
    float colour[4];
    float left, right, bottom, top;
    float zLeft, zRight;
};

// Reads level 0 of `texture` as RGBA bytes into `pixels` (PICTURE_BYTES). A texture that is
// not 256 x 256 is refused with a message and leaves `pixels` alone; false then.
bool readBackPicture(uint32_t texture, const char* name, uint8_t* pixels);

// The frozen values of the two-second hold.
PictureAnimation pictureHoldAnimation();
// The tweens from sceneStartMs after the hold.
PictureAnimation pictureAnimationNow();
// The index of the pixel that follows `index` in row order, the last pixel for itself.
int nextPictureIndex(int index);
// The second map's column sampled for column x under a column shift.
int shiftedPictureColumn(int x, float columnShift);
// The quad of pixel (x, y) from picturePixels.
void computePictureQuad(const PictureAnimation& a, int x, int y, PictureQuad& quad);

// The quads of a frame under the current matrices, by pictureQuadProgram or immediate mode.
void drawPictureQuads(const PictureAnimation& a);
void drawPictureQuadsImmediate(const PictureAnimation& a);

// Blends the two picture camera keys into pathCamera; applies nothing. Nothing calls it.
void blendPictureCamera();
