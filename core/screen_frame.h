// The fixed screen frame every screen-space draw works in: 1920 x 1080 pixels, y up, whatever
// the window's real size. The screen render targets, viewports and orthographic frames all use it.
#pragma once

constexpr int SCREEN_WIDTH = 1920;
constexpr int SCREEN_HEIGHT = 1080;
// The same size as floats, for vertex positions and screen-space arithmetic.
constexpr float SCREEN_W = static_cast<float>(SCREEN_WIDTH);
constexpr float SCREEN_H = static_cast<float>(SCREEN_HEIGHT);

// The perspective most 3D views share: the frame's aspect and the near plane, as the float values
// they have always been, widened to double for gluPerspective.
constexpr double FRAME_ASPECT = static_cast<double>(16.0f / 9.0f);
constexpr double FRAME_NEAR_PLANE = static_cast<double>(0.1f);
