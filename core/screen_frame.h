// The fixed screen frame every screen-space draw works in: 1920 x 1080 pixels, y up, whatever
// the window's real size.
#pragma once

constexpr int SCREEN_WIDTH = 1920;
constexpr int SCREEN_HEIGHT = 1080;
