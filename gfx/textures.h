// Textures from data-folder TGA pictures, with defaults by kind, and the texture-set table.
#pragma once

#include <cstdint>

uint32_t loadTexture(const char* name);
int32_t loadTextureSet(const char* name);
