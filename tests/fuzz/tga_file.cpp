// Fuzz target: the TGA file library's header and pixel reading over arbitrary bytes, then grey
// conversion of what loaded. A success must hold exactly the picture's bytes, taken from the
// file with red and blue swapped; any failure must leave no pixels.
#include "gfx/tga_file.h"
#include "tests/fuzz/fuzz_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    TgaFileInfo info = {};
    tgaReadHeader(file, info);
    if (info.status == TGA_STATUS_OK)
        tgaReadPixels(file, info);
    std::fclose(file);
    if ((info.status == TGA_STATUS_OK) != (info.data != nullptr))
        std::abort();
    if (info.status != TGA_STATUS_OK)
        return 0;
    if (info.width <= 0 || info.height <= 0)
        std::abort();
    const size_t bytesPerPixel = info.bpp / 8;
    const size_t pixels = static_cast<size_t>(info.width) * static_cast<size_t>(info.height);
    if (size < TGA_FILE_HEADER_BYTES + pixels * bytesPerPixel)
        std::abort();
    const uint8_t* stored = data + TGA_FILE_HEADER_BYTES;
    const uint8_t* end = info.data + pixels * bytesPerPixel;
    for (const uint8_t* p = info.data; p != end; p += bytesPerPixel, stored += bytesPerPixel) {
        if (bytesPerPixel == 1 ? p[0] != stored[0]
                               : p[0] != stored[2] || p[1] != stored[1] || p[2] != stored[0] ||
                                     (bytesPerPixel == 4 && p[3] != stored[3]))
            std::abort();
    }
    tgaConvertToGrey(info);
    if (info.bpp != 8)
        std::abort();
    requireAddressable(info.data, pixels);
    std::free(info.data);
    return 0;
}
