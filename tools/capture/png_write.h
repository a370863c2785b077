#pragma once

#include <cstdint>
#include <string>

// Writes RGBA8 pixels stored bottom row first (as OpenGL reads them) as a PNG: under PATH.tmp,
// renamed to PATH once every write and the close succeeded; false (and no file) otherwise.
bool writePngBottomUp(const std::string& path, int width, int height, const uint8_t* rgba);
