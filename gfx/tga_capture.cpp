// The GL half of the TGA file library: numbered captures of the read buffer.
#include "gfx/tga_file.h"

#include "platform/gl_api.h"  // glReadPixels

#include <cstdlib>

int tgaCaptureScreen(const char* prefix, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return TGA_STATUS_BAD_TYPE;
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(width) * height * 4));
    if (!pixels)
        return TGA_STATUS_NO_MEMORY;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    const int result = tgaSaveNumbered(prefix, width, height, 32, pixels);
    // The save takes the pixels over only when it succeeds.
    if (result != TGA_STATUS_OK)
        std::free(pixels);
    return result;
}
