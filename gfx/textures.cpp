#include "gfx/textures.h"

// Placeholder until the picture readers land: no texture.
uint32_t loadTexture(const char* /*name*/)
{
    return 0;
}

int32_t loadTextureSet(const char* /*name*/)
{
    return 0;
}
