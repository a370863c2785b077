// The GL half of the TGA file library: numbered captures of the read buffer.
#include "gfx/tga_file.h"

#include "platform/gl_api.h"  // glReadPixels

#include <cstdlib>

int tgaCaptureScreen(const char* prefix, int x, int y, int width, int height)
{
    // A negative size would read into a buffer of no sensible size; an empty one saves a header.
    if (width < 0 || height < 0)
        return TGA_STATUS_BAD_TYPE;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(bytes > 0 ? bytes : 1));
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
