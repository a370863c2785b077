#pragma once

#include <cstdint>
#include <string>

// Writes RGBA8 pixels stored bottom row first (as OpenGL reads them) as a PNG.
bool writePngBottomUp(const std::string& path, int width, int height, const uint8_t* rgba);
